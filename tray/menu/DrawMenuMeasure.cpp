// The measure painters: how wide and high an owner-drawn item is in each look.
#include <algorithm>

#include "CDrawMenu.h"
#include "CFont.h"
#include "CSelectGuard.h"
#include "DrawMenuPaint.h"

namespace {

enum class MeasureLook { XP, Wide, Classic };

constexpr UINT_PTR SYSTEM_COMMAND_FIRST = 0xF000;
constexpr UINT_PTR SYSTEM_COMMAND_LAST = 0xF150;

SIZE TextSize(const CString& text, const LOGFONTA& logFont)
{
    CFont font;
    font.CreateFontIndirect(&logFont);
    HDC screen = ::GetDC(nullptr);
    SIZE size = {};
    {
        CSelectGuard select(screen, font.GetSafeHandle());
        ::GetTextExtentPoint32A(screen, text, text.GetLength(), &size);
    }
    ::ReleaseDC(nullptr, screen);
    return size;
}

bool HasMnemonic(const CString& text)
{
    return text.Find('&') >= 0;
}

// One item of the menu `menu`, without the system-command pairing.
void MeasureOne(CDrawMenu* menu, CDrawMenuItemData* record, LPMEASUREITEMSTRUCT measure, BOOL bar, MeasureLook look)
{
    if (record->m_nFlags & MF_SEPARATOR) {
        if (!(record->m_nTitleStyle & TITLE_RECORD)) {
            measure->itemWidth = 3;
            measure->itemHeight = 3;
            return;
        }
        LOGFONTA logFont = g_MenuLogFont;
        logFont.lfEscapement = 0;
        logFont.lfOrientation = 0;
        const SIZE text = TextSize(record->GetDisplayText(menu->m_hAccel), logFont);
        int imageWidth = 0, imageHeight = 0;
        if (record->m_pImageList && record->m_nImageIndex != -1) {
            GetImageListIconSize(record->m_pImageList, &imageWidth, &imageHeight);
            if (imageWidth || imageHeight) {
                imageWidth += 2;
                imageHeight += 2;
            }
        }
        int width, height;
        if (record->m_nTitleStyle & TITLE_VERTICAL) {
            width = std::max<int>(imageWidth, text.cy);
            // Wine's menus keep the check column the system would take off here.
            if (!g_bWine)
                width -= ::GetSystemMetrics(SM_CXMENUCHECK);
            height = 0;
            if (record->m_nTitleStyle & TITLE_LINES)
                width += 8;
            else if (record->m_nTitleStyle & TITLE_ROUND)
                width += 4;
        } else {
            width = imageWidth + text.cx;
            height = std::max<int>(imageHeight, text.cy);
            if (record->m_nTitleStyle & TITLE_LINES)
                height += 8;
        }
        measure->itemWidth = static_cast<UINT>(std::max(width, 0));
        measure->itemHeight = static_cast<UINT>(height);
        return;
    }

    CString text = record->GetDisplayText(menu->m_hAccel);
    if (look != MeasureLook::Classic)
        text.Replace("\t", "nnn");
    LOGFONTA logFont = SystemMenuLogFont();
    if (record->m_nID == ::GetMenuDefaultItem(menu->m_hMenu, FALSE, 0))
        logFont.lfWeight = FW_BOLD;
    const SIZE size = TextSize(text, logFont);
    const int h = ::GetSystemMetrics(SM_CYMENU);
    int width, height;
    if (look == MeasureLook::XP) {
        if (bar) {
            width = HasMnemonic(text) ? size.cx - 6 : size.cx;
            height = std::max(h, menu->m_nImageHeight + 2);
        } else {
            width = ((record->m_nFlags & MF_POPUP) ? h : h / 2) + menu->m_nImageWidth + size.cx + 6;
            height = h > menu->m_nImageHeight + 8 ? h : menu->m_nImageHeight + 7;
        }
    } else {
        if (bar)
            width = HasMnemonic(text) ? size.cx - ::GetSystemMetrics(SM_CXMENUCHECK) / 2 : size.cx;
        else
            width = size.cx + 2 * menu->m_nImageWidth + 2;
        height = std::max(h, menu->m_nImageHeight + (look == MeasureLook::Wide ? 6 : 4));
    }
    measure->itemWidth = static_cast<UINT>(std::max(width, 0));
    measure->itemHeight = static_cast<UINT>(std::max<int>(height, size.cy));
}

void Measure(CDrawMenu* menu, LPMEASUREITEMSTRUCT measure, BOOL bar, MeasureLook look)
{
    CDrawMenuItemData* record = ItemDataOf(measure->itemData);
    if (!record)
        return;
    MeasureOne(menu, record, measure, bar, look);
    const UINT_PTR command = record->m_nID & 0xFFF0;
    if (command < SYSTEM_COMMAND_FIRST || command > SYSTEM_COMMAND_LAST)
        return;
    // A system command takes the width of the item after it as well, so the pair lines up.
    const int count = menu->GetItemDataCount();
    int at = 0;
    while (at < count && menu->m_itemData[at] != record)
        ++at;
    for (int next = at + 1; next < count; ++next) {
        CDrawMenuItemData* other = menu->m_itemData[next];
        if (!other || !other->m_nID)
            continue;
        const UINT width = measure->itemWidth;
        MEASUREITEMSTRUCT pair = *measure;
        pair.itemData = reinterpret_cast<ULONG_PTR>(other);
        MeasureOne(menu, other, &pair, bar, look);
        measure->itemWidth = std::max(width, pair.itemWidth);
        break;
    }
    measure->itemHeight = static_cast<UINT>(::GetSystemMetrics(SM_CYMENU));
}

}  // namespace

void CDrawMenu::MeasureItemXP(LPMEASUREITEMSTRUCT measure, BOOL bar)
{
    Measure(this, measure, bar, MeasureLook::XP);
}

void CDrawMenu::MeasureItemWide(LPMEASUREITEMSTRUCT measure, BOOL bar)
{
    Measure(this, measure, bar, MeasureLook::Wide);
}

void CDrawMenu::MeasureItemClassic(LPMEASUREITEMSTRUCT measure, BOOL bar)
{
    Measure(this, measure, bar, MeasureLook::Classic);
}
