#include "TskMainMenu.h"

#include "MenuHelpers.h"
#include "TCustomForm.h"
#include "TskFileTheme.h"
#include "TskForm.h"

namespace {

const char* const kPublished[] = {
    "Images", "OwnerDraw", "FileTheme", "UIStyle", "MenuItemHeight", "SeparatorHeight", "BarWidth", "BarColor",
    "BarToColor", "Color", "SeparatorColor", "SelectedBorderColor", "SelectedColor", "SelectedFontColor",
    "FontColor", "BorderColor", "FlatMenu", "FontName", "FontSize", "FontCharset", "UseSystemFont", nullptr};

constexpr int kCheckMarkSize = 16;
constexpr int kGlyphOffset = 4;
constexpr int kGlyphOffsetRightToLeft = 20;
constexpr int kGlyphTop = 3;
const char kCheckMarkResource[] = "MENU_CHECKED";

}  // namespace

TskMainMenu::TskMainMenu(TComponent* owner)
    : TMainMenu(owner), m_look(nullptr), m_checkMarks(nullptr, kCheckMarkSize, kCheckMarkSize)
{
    TBitmap picture;
    if (picture.LoadFromResourceName(nullptr, kCheckMarkResource))
        m_checkMarks.AddMasked(picture, RGB(255, 255, 255));
    TMenu::SetImages(&m_checkMarks);
    m_look.SetUIStyle(DefaultUIStyle(owner));
    // The system's menu bar never shows on the form.
    if (auto* form = dynamic_cast<TCustomForm*>(owner))
        if (form->HandleAllocated())
            SetMenu(form->Handle(), nullptr);
}

bool TskMainMenu::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TMainMenu::HasPublished(name);
}

void TskMainMenu::SetImages(TImageList* images)
{
    m_userImages = images;
    TMenu::SetImages(images ? images : &m_checkMarks);
    m_look.SetImages(images);
}

void TskMainMenu::SetFileTheme(TskFileTheme* theme)
{
    m_look.SetFileTheme(theme);
    if (theme)
        FreeNotification(theme);
}

void TskMainMenu::SetUseSystemFont(bool use)
{
    m_look.SetUseSystemFont(use);
    if (m_form)
        m_form->UpdateMenuBarFont();
}

void TskMainMenu::HookItem(TMenuItem* item)
{
    HookMenuItems(
        item, [this](TObject* s, TCanvas& c, int& w, int& h) { m_look.MeasureItem(s, c, w, h); },
        [this](TObject* s, TCanvas& c, const RECT& r, bool sel) { DrawItem(s, c, r, sel); });
}

void TskMainMenu::DrawItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    TImageList* images = m_userImages;
    bool ownMark = item && item->Checked() &&
                   !(item->ImageIndex() != -1 && images && item->ImageIndex() < images->Count());
    if (!ownMark) {
        m_look.DrawItem(sender, canvas, rect, selected);
        return;
    }
    // The painter would draw the shared check mark: this menu draws its own in its place.
    item->SetChecked(false);
    m_look.DrawItem(sender, canvas, rect, selected);
    item->SetChecked(true);
    // Where the painter puts its glyph, at the left or, right to left, at the right.
    int x = m_look.DrawsLeftToRight() ? rect.left + kGlyphOffset : rect.right - kGlyphOffsetRightToLeft;
    m_checkMarks.Draw(canvas, x, rect.top + kGlyphTop, 0, item->Enabled());
}

void TskMainMenu::Loaded()
{
    TMainMenu::Loaded();
    for (int i = 0; i < Items()->Count(); ++i)
        HookItem(Items()->Items(i));
    if (m_form)
        m_form->RebuildMenuBar();
}

void TskMainMenu::ItemsChanged(TMenuItem* item)
{
    TMainMenu::ItemsChanged(item);
    HookItem(item);
    if (m_form && !IsLoading() && !IsDestroying())
        m_form->RefreshMenuBar();
}

void TskMainMenu::Notification(TComponent* component, TOperation operation)
{
    TMainMenu::Notification(component, operation);
    if (operation != opRemove || !component)
        return;
    if (component == static_cast<TComponent*>(m_look.FileTheme())) {
        m_look.SetFileTheme(nullptr);
        m_look.SetUIStyle(Indigo);
    }
    if (component == m_userImages)
        SetImages(nullptr);
}
