#include "TskTitleBarPopupMenu.h"

#include "TskTitleBar.h"

namespace {
constexpr int kRightToLeftShift = 176;     // the menu's width, so it opens leftwards of the point
}

TskTitleBarPopupMenu::TskTitleBarPopupMenu(TskTitleBar* titleBar) : TskPopupMenu(titleBar), m_titleBar(titleBar)
{
    m_minimize = AddItem("Mi&nimize");
    m_maximize = AddItem("Ma&ximize/Restore");
    AddItem("-");
    m_close = AddItem("&Close");
    m_minimize->OnClick = MethodOf(this, &TskTitleBarPopupMenu::MinimizeClick);
    m_maximize->OnClick = MethodOf(this, &TskTitleBarPopupMenu::MaximizeClick);
    m_close->OnClick = MethodOf(this, &TskTitleBarPopupMenu::CloseClick);
}

TMenuItem* TskTitleBarPopupMenu::AddItem(const char* caption)
{
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    Items()->Add(item);
    return item;
}

void TskTitleBarPopupMenu::UpdateItems()
{
    m_minimize->SetEnabled(m_titleBar->HasVisibleButton(skMin));
    m_maximize->SetEnabled(m_titleBar->HasVisibleButton(skMax));
    m_close->SetEnabled(m_titleBar->HasVisibleButton(skClose));
}

void TskTitleBarPopupMenu::Popup(int x, int y)
{
    UpdateItems();
    if (m_titleBar->UseRightToLeftLayout())
        x += kRightToLeftShift;
    TskPopupMenu::Popup(x, y);
}

void TskTitleBarPopupMenu::MinimizeClick(TObject*)
{
    m_titleBar->MinimizeForm();
}

void TskTitleBarPopupMenu::MaximizeClick(TObject*)
{
    TskTitleBarButtons& buttons = m_titleBar->Buttons();
    for (int i = 0; i < buttons.Count(); ++i)
        if (buttons.Items(i)->Visible() && buttons.Items(i)->ButtonType() == skMax)
            m_titleBar->ButtonAction(buttons.Items(i));
}

void TskTitleBarPopupMenu::CloseClick(TObject*)
{
    m_titleBar->CloseForm();
}
