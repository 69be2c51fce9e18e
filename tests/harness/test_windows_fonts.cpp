// The faces the programs name, as this prefix draws them: each must come out as the font a Windows
// machine has under that name, or one drawn to its metrics, not the one wide face Wine falls back
// to. Every dialog's layout and every text's fit depend on it, and Marlett's pictures (the message
// boxes' close cross, the menus' check marks) on Marlett itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "GdiObject.h"
#include "MemoryDC.h"
#include "SelectGuard.h"

namespace {

// What a font request came out as: the outline font's family, or a raster font's face.
struct DrawnFace {
    std::string name;
    bool outline = false;
    TEXTMETRICA metrics = {};
    std::vector<int> widths;     // of the 52 letters
};

DrawnFace Draw(const char* face, int height, int weight)
{
    DrawnFace drawn;
    MemoryDC dc;
    GdiFont font(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face));
    SelectGuard select(dc.Get(), font.Get());
    GetTextMetricsA(dc.Get(), &drawn.metrics);
    for (const char* range : {"az", "AZ"}) {
        int widths[26] = {};
        GetCharWidth32A(dc.Get(), static_cast<UINT>(range[0]), static_cast<UINT>(range[1]), widths);
        drawn.widths.insert(drawn.widths.end(), widths, widths + 26);
    }
    const UINT size = GetOutlineTextMetricsA(dc.Get(), 0, nullptr);
    if (size) {
        std::vector<char> buffer(size);
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
        if (GetOutlineTextMetricsA(dc.Get(), size, outline)) {
            drawn.outline = true;
            drawn.name = buffer.data() + reinterpret_cast<size_t>(outline->otmpFamilyName);
            return drawn;
        }
    }
    char name[LF_FACESIZE] = {};
    GetTextFaceA(dc.Get(), sizeof name, name);
    drawn.name = name;
    return drawn;
}

// The face a request resolves to. A raster font reports the name it was asked by, so it is told
// by its metrics: the raster face that draws every letter the same.
std::string ResolvedFace(const char* face, int height, int weight)
{
    const DrawnFace drawn = Draw(face, height, weight);
    if (drawn.outline)
        return drawn.name;
    for (const char* raster : {"MS Sans Serif", "System", "Small Fonts", "Courier"}) {
        const DrawnFace known = Draw(raster, height, weight);
        if (!known.outline && known.name == raster && known.widths == drawn.widths &&
            known.metrics.tmHeight == drawn.metrics.tmHeight && known.metrics.tmAscent == drawn.metrics.tmAscent)
            return raster;
    }
    return "an unknown raster face (" + drawn.name + ")";
}

}  // namespace

TEST(WindowsFonts, TheFacesTheProgramsNameResolveToWindowsMetricFonts)
{
    struct Case {
        const char* face;
        int height, weight;
        std::set<std::string> windowsFaces;     // the face itself or one drawn to its metrics
    };
    // The dialogs' own 8-point face, the captions' and titles' bold Arial, the about box's Tahoma,
    // the tray menu's font and the symbol font of the system pictures.
    const Case cases[] = {
        {"MS Shell Dlg", -11, FW_NORMAL, {"Tahoma", "Microsoft Sans Serif", "MS Sans Serif"}},
        {"MS Shell Dlg", -12, FW_NORMAL, {"Tahoma", "Microsoft Sans Serif", "MS Sans Serif"}},
        {"Tahoma", -11, FW_NORMAL, {"Tahoma"}},
        {"Tahoma", -20, FW_BOLD, {"Tahoma"}},
        {"Arial", -16, FW_BOLD, {"Arial", "Liberation Sans"}},
        {"Arial", -20, FW_BOLD, {"Arial", "Liberation Sans"}},
        {"Microsoft Sans Serif", -13, FW_NORMAL, {"Microsoft Sans Serif", "MS Sans Serif"}},
        {"Marlett", -16, FW_NORMAL, {"Marlett"}},
    };
    for (const Case& c : cases) {
        const std::string resolved = ResolvedFace(c.face, c.height, c.weight);
        std::cout << '"' << c.face << "\" " << c.height << (c.weight == FW_BOLD ? " bold" : "") << " -> " << resolved
                  << '\n';
        EXPECT_EQ(c.windowsFaces.count(resolved), 1u)
            << '"' << c.face << "\" height " << c.height << " falls back to " << resolved;
    }
}
