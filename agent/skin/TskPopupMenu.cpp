#include "TskPopupMenu.h"

#include "CheckMarkImages.h"
#include "MenuHelpers.h"
#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "TskFileTheme.h"

namespace {

const char* const kPublished[] = {
    "OwnerDraw", "FileTheme", "UIStyle", "MenuItemHeight", "SeparatorHeight", "BarWidth", "BarColor",
    "BarToColor", "Color", "SeparatorColor", "SelectedBorderColor", "SelectedColor", "SelectedFontColor",
    "FontColor", "BorderColor", "FlatMenu", "FontName", "FontSize", "FontCharset", "UseSystemFont", nullptr};

constexpr int kStyleBarWidth = 26;
constexpr TColor kDisabledFontColor = 8421504;
constexpr TColor kSeparatorGrey = 8684164;
const char kMacMenuBar[] = "MACOS_MENU_BAR";
const char kMacMenuSelect[] = "MACOS_MENU_SELECT";
constexpr int kMacSeparatorPictureHeight = 12;
constexpr int kMacItemPictureHeight = 20;

void StretchResource(TCanvas& canvas, const RECT& rect, const char* name, int height)
{
    TBitmap picture;
    if (!picture.LoadFromResourceName(nullptr, name))
        return;
    picture.SetHeight(height);
    canvas.StretchDraw(rect, picture);
}

}  // namespace

TskPopupMenu::TskPopupMenu(TComponent* owner) : TPopupMenu(owner)
{
    SetUIStyle(DefaultUIStyle(owner));
}

bool TskPopupMenu::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TPopupMenu::HasPublished(name);
}

void TskPopupMenu::SetFileTheme(TskFileTheme* theme)
{
    ReferTo(m_fileTheme, theme);
    SetUIStyle(m_uiStyle);
}

void TskPopupMenu::SetMenuItemHeight(int height)
{
    if (m_uiStyle != MacOS)
        m_menuItemHeight = height;
}

void TskPopupMenu::SetSeparatorHeight(int height)
{
    if (m_uiStyle != MacOS)
        m_separatorHeight = height;
}

bool TskPopupMenu::ServedBySkin() const
{
    TskUIStyle resolved;
    return UsesFileTheme(m_fileTheme, m_uiStyle, resolved);
}

void TskPopupMenu::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    m_barWidth = kStyleBarWidth;
    if (style == MacOS) {
        m_menuItemHeight = 20;
        m_separatorHeight = 12;
        m_separatorColor = clBlack;
    } else {
        m_menuItemHeight = 21;
        m_separatorHeight = 5;
        m_separatorColor = kSeparatorGrey;
    }
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, style, resolved)) {
        m_barColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_LEFTBARSTARTCOLOR));
        m_barToColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_LEFTBARENDCOLOR));
        m_color = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_MENUITEMCOLOR));
        m_fontColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_MENUITEMFONTCOLOR));
        m_selectedBorderColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_SELECTEDMENUBORDERCOLOR));
        m_selectedColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_SELECTEDMENUCOLOR));
        m_selectedFontColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_SELECTEDMENUFONTCOLOR));
    } else {
        m_barColor = m_barToColor = BuiltInColor(resolved, posMenuSideBar);
        m_color = BuiltInColor(resolved, posMenuItem);
        m_fontColor = BuiltInColor(resolved, posMenuFont);
        m_selectedBorderColor = BuiltInColor(resolved, posSelectedMenuBorder);
        m_selectedColor = BuiltInColor(resolved, posSelectedMenu);
        m_selectedFontColor = BuiltInColor(resolved, posSelectedMenuFont);
    }
}

void TskPopupMenu::HookItem(TMenuItem* item)
{
    HookMenuItems(
        item, [this](TObject* s, TCanvas& c, int& w, int& h) { MeasureItem(s, c, w, h); },
        [this](TObject* s, TCanvas& c, const RECT& r, bool sel) { DrawItem(s, c, r, sel); });
}

void TskPopupMenu::Loaded()
{
    TPopupMenu::Loaded();
    for (int i = 0; i < Items()->Count(); ++i)
        HookItem(Items()->Items(i));
}

void TskPopupMenu::Notification(TComponent* component, TOperation operation)
{
    TPopupMenu::Notification(component, operation);
    if (operation == opRemove && component && component == m_fileTheme) {
        m_fileTheme = nullptr;
        SetUIStyle(Indigo);
    } else if (operation == opInsert && component && component != Items()) {
        if (auto* item = dynamic_cast<TMenuItem*>(component))
            HookItem(item);
    }
}

void TskPopupMenu::MeasureItem(TObject* sender, TCanvas& canvas, int& width, int& height)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item)
        return;
    if (item->IsLine()) {
        height = m_separatorHeight;
    } else {
        int textHeight = canvas.TextHeight(item->Caption());
        height = textHeight > m_menuItemHeight ? textHeight : m_menuItemHeight;
    }
    width = canvas.TextWidth(item->Caption()) + canvas.TextWidth(item->ShortCutText()) + m_barWidth + 40;
}

void TskPopupMenu::DrawBar(TCanvas& canvas, const RECT& bar)
{
    if (m_barWidth == 0)
        return;
    if (m_barColor == m_barToColor)
        FillRectColor(canvas, bar, m_barColor);
    else
        DrawHorizontalGradient(canvas, bar, m_barColor, m_barToColor);
}

void TskPopupMenu::DrawItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item)
        return;
    bool ltr = DrawsLeftToRight();
    RECT bar = ltr ? RECT{rect.left, rect.top, rect.left + m_barWidth, rect.bottom}
                   : RECT{rect.right - m_barWidth, rect.top, rect.right, rect.bottom};
    RECT rest = ltr ? RECT{rect.left + m_barWidth, rect.top, rect.right, rect.bottom}
                    : RECT{rect.left, rect.top, rect.right - m_barWidth, rect.bottom};

    if (m_flatMenu) {
        TColor line = ServedBySkin() ? static_cast<TColor>(m_fileTheme->GetColor(SKIN2_FORMCOLOR))
                                     : BuiltInColor(m_uiStyle == FromThemeFile ? Indigo : m_uiStyle, posFormColor);
        DrawFlatMenuBorder(WindowFromDC(canvas.Handle()), clBlack, line);
    }
    if (item->IsLine()) {
        if (m_uiStyle == MacOS) {
            StretchResource(canvas, rect, kMacMenuBar, kMacSeparatorPictureHeight);
        } else {
            DrawBar(canvas, bar);
            FillRectColor(canvas, rest, m_color);
            DrawSeparatorLine(canvas, rect, m_separatorColor, ltr, m_barWidth);
        }
        return;
    }
    bool enabled = item->Enabled();
    if (selected && enabled) {
        if (m_uiStyle == MacOS) {
            StretchResource(canvas, rect, kMacMenuSelect, kMacItemPictureHeight);
        } else {
            FillRectColor(canvas, rect, m_selectedColor);
            FrameRectColor(canvas, rect, m_selectedBorderColor);
        }
    } else if (m_uiStyle == MacOS) {
        StretchResource(canvas, rect, kMacMenuBar, kMacItemPictureHeight);
    } else {
        DrawBar(canvas, bar);
        FillRectColor(canvas, rest, m_color);
    }

    TFont& font = canvas.Font();
    if (m_useSystemFont) {
        UseSystemMenuFont(font);
    } else {
        font.SetName(m_fontName);
        font.SetSize(m_fontSize);
        font.SetCharset(m_fontCharset);
    }
    canvas.SetBrushStyle(bsClear);
    font.SetColor(!enabled ? kDisabledFontColor : selected ? m_selectedFontColor : m_fontColor);
    font.SetBold(item->Default());

    RECT caption = ltr ? RECT{rect.left + m_barWidth + 4, rect.top, rect.right, rect.bottom}
                       : RECT{rect.left + m_barWidth, rect.top, rect.right - 4, rect.bottom};
    canvas.DrawText(item->Caption(), caption, DT_SINGLELINE | DT_VCENTER | (ltr ? DT_LEFT : DT_RIGHT));
    std::string shortcut = item->ShortCutText();
    if (!shortcut.empty()) {
        RECT r = ltr ? RECT{rect.right - canvas.TextWidth(shortcut) - 16, rect.top, rect.right, rect.bottom}
                     : RECT{rect.left + m_barWidth + 4, rect.top, rect.right, rect.bottom};
        canvas.DrawText(shortcut, r, DT_SINGLELINE | DT_VCENTER);
    }

    int x = ltr ? rect.left + 4 : rect.right - 20;
    TImageList* images = Images();
    bool validImage = item->ImageIndex() != -1 && images && item->ImageIndex() < images->Count();
    if (item->Checked()) {
        if (validImage) {
            FrameRectColor(canvas, RECT{x - 2, rect.top + 1, x + 17, rect.top + 20}, clBlack);
            FillRectColor(canvas, RECT{x - 1, rect.top + 2, x + 16, rect.top + 19}, m_selectedColor);
        } else {
            CheckMarkImages().Draw(canvas, x, rect.top + 3, 0, enabled);
        }
    }
    if (validImage)
        images->Draw(canvas, x, rect.top + 3, item->ImageIndex(), enabled);
}
