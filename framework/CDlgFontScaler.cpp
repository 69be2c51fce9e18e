#include "CDlgFontScaler.h"

#include "DialogTemplate.h"

namespace {

constexpr DWORD kSetFont = 0x40;        // DS_SETFONT
constexpr WORD kLargestPointSize = 0x7FFF;
const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

}  // namespace

int AverageCharWidthFromExtent(int extent52)
{
    return (extent52 / 26 + 1) / 2;
}

int ScaleDialogUnits(int value, int base, int units)
{
    return static_cast<int>(static_cast<double>(value) * base / units + 0.5);
}

SIZE GetAverageCharSize(HDC dc, HFONT font)
{
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, kAlphabet, 52, &extent);
    ::SelectObject(dc, old);
    SIZE size;
    size.cx = AverageCharWidthFromExtent(extent.cx);
    size.cy = metrics.tmHeight;
    return size;
}

CDlgFontScaler::TemplateFont CDlgFontScaler::GetTemplateFont(const void* dialogTemplate)
{
    TemplateFont font;
    const DialogTemplateInfo info = ReadDialogTemplateInfo(dialogTemplate, 18);
    font.hasMenu = info.hasMenu;
    if (!(info.style & kSetFont))
        return font;
    font.pointSize = info.pointSize;
    if (info.extended) {
        font.weight = info.weight;
        font.italic = info.italic;
    }
    font.face = info.face;
    return font;
}

const void* CDlgFontScaler::LoadTemplate() const
{
    HRSRC found = ::FindResourceA(m_instance, MAKEINTRESOURCEA(m_templateId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? ::LoadResource(m_instance, found) : nullptr;
    return loaded ? ::LockResource(loaded) : nullptr;
}

template <typename Fn> void CDlgFontScaler::WalkItems(const void* dialogTemplate, Fn fn) const
{
    const bool extended = IsExtendedDialogTemplate(dialogTemplate);
    const int count = GetDlgTemplateItemCount(dialogTemplate);
    const BYTE* item = GetFirstDlgTemplateItem(dialogTemplate);
    HWND child = nullptr;
    for (int i = 0; i < count; ++i) {
        DialogTemplateItem entry;
        item = ReadDialogTemplateItem(item, extended, entry);
        child = ::GetWindow(i == 0 ? m_hWnd : child, i == 0 ? GW_CHILD : GW_HWNDNEXT);
        while (child && static_cast<DWORD>(::GetDlgCtrlID(child)) != entry.id)
            child = ::GetWindow(child, GW_HWNDNEXT);
        if (!child)
            return;               // the dialog lacks this item: the rest keep their own layout
        fn(child, entry);
    }
}

void CDlgFontScaler::Apply(HINSTANCE instance, HWND dialog, UINT templateId, double dpi)
{
    if (IsApplied())
        Restore();
    m_templateId = templateId;
    m_instance = instance;
    const void* dialogTemplate = LoadTemplate();
    if (!dialogTemplate || !dialog)
        return;
    m_hWnd = dialog;

    TemplateFont font = GetTemplateFont(dialogTemplate);
    if (font.pointSize < 0 || font.pointSize > kLargestPointSize)
        font.pointSize = static_cast<short>(-font.pointSize);
    const int height = -static_cast<int>(font.pointSize * dpi / 72.0 + 0.5);
    m_newFont = ::CreateFontW(height, 0, 0, 0, font.weight, font.italic, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                              font.face.c_str());
    m_oldFont = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    ::SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(m_newFont), TRUE);

    // Measured inside a paint pair: the dialog is not shown yet, so nothing is lost.
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(dialog, &paint);
    const SIZE base = GetAverageCharSize(dc, m_newFont);
    ::EndPaint(dialog, &paint);

    const DialogTemplateInfo info = ReadDialogTemplateInfo(dialogTemplate, 18);
    RECT rect;
    ::GetClientRect(dialog, &rect);
    rect.right = rect.left + ScaleDialogUnits(info.cx, base.cx, 4);
    rect.bottom = rect.top + ScaleDialogUnits(info.cy, base.cy, 8);
    ::AdjustWindowRectEx(&rect, info.style, font.hasMenu, info.exStyle);
    ::MoveWindow(dialog, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);

    HFONT newFont = m_newFont;
    WalkItems(dialogTemplate, [&](HWND child, const DialogTemplateItem& item) {
        ::MoveWindow(child, ScaleDialogUnits(item.x, base.cx, 4), ScaleDialogUnits(item.y, base.cy, 8),
                     ScaleDialogUnits(item.cx, base.cx, 4), ScaleDialogUnits(item.cy, base.cy, 8), TRUE);
        ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), TRUE);
    });
}

void CDlgFontScaler::Restore()
{
    if (!IsApplied())
        return;
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_oldFont), TRUE);
    if (const void* dialogTemplate = LoadTemplate()) {
        HFONT oldFont = m_oldFont;
        WalkItems(dialogTemplate, [&](HWND child, const DialogTemplateItem&) {
            ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(oldFont), TRUE);
        });
    }
    if (m_newFont)
        ::DeleteObject(m_newFont);
    m_hWnd = nullptr;
    m_newFont = nullptr;
    m_oldFont = nullptr;
}
