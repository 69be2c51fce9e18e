#pragma once
// Lays a dialog out in dialog units computed for a given DPI from its template's own font, so the
// dialog keeps the geometry its template meant whatever font the system would substitute. Lives
// for one dialog initialisation: the destructor gives the dialog and its controls their old font
// back, the geometry stays.
#include <windows.h>

#include <string>

class CDlgFontScaler {
public:
    CDlgFontScaler() = default;
    ~CDlgFontScaler() { Restore(); }
    CDlgFontScaler(const CDlgFontScaler&) = delete;
    CDlgFontScaler& operator=(const CDlgFontScaler&) = delete;

    void Apply(HINSTANCE instance, HWND dialog, UINT templateId, double dpi);
    void Restore();

    struct TemplateFont {
        int pointSize = 8;
        int weight = FW_NORMAL;
        bool italic = false;
        std::wstring face = L"Tahoma";
        bool hasMenu = false;
    };
    // The template's font; 8-point "Tahoma" at weight 400 without DS_SETFONT.
    static TemplateFont GetTemplateFont(const void* dialogTemplate);

    bool IsApplied() const { return m_hWnd != nullptr; }

private:
    const void* LoadTemplate() const;
    // Every child the template names, in order, until one is missing: fn(child, item).
    template <typename Fn> void WalkItems(const void* dialogTemplate, Fn fn) const;

    UINT m_templateId = 0;
    HINSTANCE m_instance = nullptr;
    HWND m_hWnd = nullptr;
    HFONT m_newFont = nullptr;
    HFONT m_oldFont = nullptr;
};

// Average character size of a font: height = tmHeight, width = (cx / 26 + 1) / 2 with cx the extent
// of the 52 letters a-z A-Z. The old font is selected back.
SIZE GetAverageCharSize(HDC dc, HFONT font);
int AverageCharWidthFromExtent(int extent52);

// Dialog units to pixels the way the scaler rounds: v * base / units + 0.5, truncated.
int ScaleDialogUnits(int value, int base, int units);
