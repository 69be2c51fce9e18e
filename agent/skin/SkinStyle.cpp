#include "SkinStyle.h"

#include "ISkinThemed.h"
#include "SkinHelpers.h"
#include "TControl.h"
#include "TCustomForm.h"
#include "TWinControl.h"
#include "TskFileTheme.h"

#include <cstring>

namespace {

struct Row {
    TskBuiltInKind kind;
    long values[5];             // MacOS, WinXP, Indigo, Mineral, Glacier
    const char* names[5];
};

#define BMP(element) \
    bkBitmap, {0, 0, 0, 0, 0}, { "MACOS_" element, "WINXP_" element, "INDIGO_" element, "MINERAL_" element, "GLACIER_" element }
#define COL(a, b, c, d, e) bkColor, {a, b, c, d, e}, { nullptr, nullptr, nullptr, nullptr, nullptr }
#define INT(a, b, c, d, e) bkInteger, {a, b, c, d, e}, { nullptr, nullptr, nullptr, nullptr, nullptr }
#define FLAG(a, b, c, d, e) bkFlag, {a, b, c, d, e}, { nullptr, nullptr, nullptr, nullptr, nullptr }
#define EMPTY_BMP bkBitmap, {0, 0, 0, 0, 0}, { "", "", "", "", "" }

const Row kTable[kBuiltInPositions] = {
    {BMP("BUTTON")},                                                                  // 1
    {FLAG(1, 0, 0, 0, 1)},                                                            // 2
    {BMP("CHECKBOX")},                                                                // 3
    {BMP("RADIOBUTTON")},                                                             // 4
    {BMP("TITLEBTN")},                                                                // 5
    {FLAG(0, 0, 0, 1, 1)},                                                            // 6
    {INT(3, 2, 0, 0, 4)},                                                             // 7
    {INT(-2, -2, 0, 0, -3)},                                                          // 8
    {INT(4, 5, 2, 2, 6)},                                                             // 9
    {BMP("TITLE_LEFT")},                                                              // 10
    {BMP("TITLE_CLIENT")},                                                            // 11
    {BMP("TITLE_RIGHT")},                                                             // 12
    {INT(130, 150, 130, 130, 270)},                                                   // 13
    {INT(0, 13, 0, 0, 11)},                                                           // 14
    {COL(RGB(231, 231, 231), RGB(239, 235, 222), RGB(232, 232, 232), RGB(251, 251, 251), RGB(231, 231, 231))},
    {COL(RGB(127, 127, 127), RGB(0, 44, 200), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0))},                   // 16
    {INT(1, 3, 1, 1, 1)},                                                             // 17
    {COL(RGB(57, 115, 196), RGB(49, 105, 198), RGB(68, 74, 160), RGB(45, 48, 196), RGB(94, 94, 236))},      // 18
    {COL(RGB(57, 115, 196), RGB(198, 211, 239), RGB(68, 74, 160), RGB(45, 48, 196), RGB(94, 94, 236))},     // 19
    {COL(RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255))},    // 20
    {COL(RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(231, 231, 231))},    // 21
    {COL(RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0))},                             // 22
    {COL(RGB(0, 0, 0), RGB(214, 211, 206), RGB(214, 211, 206), RGB(214, 211, 206), RGB(214, 211, 206))},    // 23
    {BMP("PROGRESSBAR")},                                                             // 24
    {COL(RGB(127, 127, 127), RGB(104, 104, 104), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0))},                 // 25
    {COL(0, 0, 0, 0, 0)},                                                             // 26
    {COL(0, 0, 0, 0, 0)},                                                             // 27
    {BMP("TRACKBAR")},                                                                // 28
    {BMP("TRACKBARSLIDER")},                                                          // 29
    {BMP("TRACKBARVSLIDER")},                                                         // 30
    {COL(0, 0, 0, 0, 0)},                                                             // 31
    {BMP("SCROLLBAR")},                                                               // 32
    {BMP("SCROLLBARBUTTON")},                                                         // 33
    {BMP("CHECKLIST")},                                                               // 34
    {COL(0, 0, 0, 0, 0)},                                                             // 35
    {COL(0, 0, 0, 0, 0)},                                                             // 36
    {COL(0, 0, 0, 0, 0)},                                                             // 37
    {bkBitmap, {0, 0, 0, 0, 0}, {"MACOS_SCROLLBUTTON", "WINXP_SCROLLBUTTON", "MORE_SCROLLBUTTON", "MORE_SCROLLBUTTON", "MORE_SCROLLBUTTON"}},
    {BMP("TAB")},                                                                     // 39
    {BMP("TABLINE")},                                                                 // 40
    {BMP("SIDECHANNELBAR")},                                                          // 41
    {BMP("SIDECHANNELTITLE")},                                                        // 42
    {EMPTY_BMP},                                                                      // 43
    {COL(0, 0, 0, 0, 0)},                                                             // 44
    {EMPTY_BMP},                                                                      // 45
    {EMPTY_BMP},                                                                      // 46
    {INT(0, 0, 0, 0, 0)},                                                             // 47
    {COL(0, 0, 0, 0, 0)},                                                             // 48
};

#undef BMP
#undef COL
#undef INT
#undef FLAG
#undef EMPTY_BMP

}  // namespace

TskUIStyle DefaultUIStyle(TComponent* owner)
{
    auto* form = dynamic_cast<TWinControl*>(owner);
    if (form && static_cast<TComponent*>(form->ParentForm()) == owner) {
        for (int i = 0; i < form->ControlCount(); ++i) {
            TControl* c = form->Controls(i);
            if (std::strcmp(c->ClassName(), "TskForm") == 0)
                if (auto* themed = dynamic_cast<ISkinThemed*>(c))
                    return themed->UIStyle();
        }
    }
    return Indigo;
}

bool UsesFileTheme(TskFileTheme* theme, TskUIStyle style, TskUIStyle& resolved)
{
    resolved = style;
    if (style != FromThemeFile)
        return false;
    if (theme && theme->CanUse())
        return true;
    resolved = Indigo;
    return false;
}

TskBuiltInEntry BuiltInEntry(TskUIStyle style, int position)
{
    if (style < MacOS || style > Glacier || position < 1 || position > kBuiltInPositions)
        return TskBuiltInEntry{bkInteger, -1, nullptr};
    const Row& row = kTable[position - 1];
    int s = style - MacOS;
    return TskBuiltInEntry{row.kind, row.values[s], row.names[s]};
}

COLORREF BuiltInColor(TskUIStyle style, int position)
{
    TskBuiltInEntry e = BuiltInEntry(style, position);
    return e.kind == bkColor ? static_cast<COLORREF>(e.value) : 0;
}

long BuiltInFlag(TskUIStyle style, int position)
{
    TskBuiltInEntry e = BuiltInEntry(style, position);
    return e.kind == bkFlag ? e.value : 0;
}

long BuiltInInteger(TskUIStyle style, int position)
{
    TskBuiltInEntry e = BuiltInEntry(style, position);
    return e.kind == bkInteger ? e.value : -1;
}

void LoadBuiltInBitmap(TskUIStyle style, int position, TBitmap& bitmap)
{
    TskBuiltInEntry e = BuiltInEntry(style, position);
    if (e.kind == bkBitmap && e.name && *e.name)
        bitmap.LoadFromResourceName(nullptr, e.name);
}

void GetBuiltInBitmap(TskUIStyle style, int position, TPicture* picture, int index, int count)
{
    if (!picture)
        return;
    TBitmap whole;
    LoadBuiltInBitmap(style, position, whole);
    if (whole.Empty())
        return;
    if (count == 0) {
        picture->Assign(&whole);
        return;
    }
    TBitmap frame;
    CutBitmapPart(whole, frame, count, index);
    picture->Assign(&frame);
}
