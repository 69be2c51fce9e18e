#include "TToolButton.h"

#include "TMenuItem.h"
#include "TToolBar.h"

namespace {
const char* const kPublished[] = {"Grouped", "AutoSize", "MenuItem", "Tag", "Down", nullptr};
}

bool TToolButton::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TGraphicControl::HasPublished(name);
}

void TToolButton::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (TToolBar* bar = ToolBar())
        bar->ArrangeButtons();
}

void TToolButton::SetMenuItem(TMenuItem* item)
{
    ReferTo(m_menuItem, item);
    if (item) {
        SetCaption(item->Caption());
        SetEnabled(item->Enabled());
    }
}

void TToolButton::SetDown(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    Invalidate();
}

TToolBar* TToolButton::ToolBar() const
{
    return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::Click()
{
    TGraphicControl::Click();
    if (TToolBar* bar = ToolBar())
        bar->ButtonClicked(this);
}

void TToolButton::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == m_menuItem)
        m_menuItem = nullptr;
}
