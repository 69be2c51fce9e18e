#include "TMenuItem.h"

#include "TMenu.h"

#include <algorithm>

namespace {
const char* const kPublished[] = {"Caption", "Enabled", "Checked", "Default", "Visible", "ImageIndex",
                                  "ShortCut", "OnClick", "OnMeasureItem", "OnAdvancedDrawItem", nullptr};
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem()
{
    for (TMenuItem* child : m_items)
        child->m_parentItem = nullptr;
    m_items.clear();
    if (m_parentItem)
        m_parentItem->Remove(this);
}

bool TMenuItem::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TComponent::HasPublished(name);
}

std::string TMenuItem::ShortCutText() const
{
    if (!m_shortCut)
        return std::string();
    std::string text;
    if (m_shortCut & 0x2000)
        text += "Shift+";
    if (m_shortCut & 0x4000)
        text += "Ctrl+";
    if (m_shortCut & 0x8000)
        text += "Alt+";
    UINT scan = MapVirtualKeyA(m_shortCut & 0xFF, MAPVK_VK_TO_VSC);
    char name[64] = {};
    if (GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof name) > 0)
        text += name;
    else
        text += static_cast<char>(m_shortCut & 0xFF);
    return text;
}

void TMenuItem::Add(TMenuItem* item)
{
    if (!item || item == this)
        return;
    if (item->m_parentItem)
        item->m_parentItem->Remove(item);
    m_items.push_back(item);
    item->m_parentItem = this;
    if (TMenu* menu = GetParentMenu())
        menu->ItemsChanged(item);
}

void TMenuItem::Remove(TMenuItem* item)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
    if (item && item->m_parentItem == this)
        item->m_parentItem = nullptr;
    Changed();
}

void TMenuItem::Changed()
{
    if (TMenu* menu = GetParentMenu())
        menu->ItemsChanged(this);
}

void TMenuItem::Click()
{
    if (OnClick && m_enabled)
        OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height)
{
    if (OnMeasureItem) {
        OnMeasureItem(this, canvas, width, height);
        return;
    }
    width = canvas.TextWidth(m_caption) + 16;
    height = IsLine() ? 8 : canvas.TextHeight("W") + 4;
}

void TMenuItem::DrawItem(TCanvas& canvas, const RECT& rect, bool selected)
{
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, canvas, rect, selected);
        return;
    }
    canvas.SetBrushColor(selected ? clHighlight : clWindow);
    canvas.FillRect(rect);
    RECT r = rect;
    r.left += 4;
    canvas.SetBrushStyle(bsClear);
    canvas.DrawText(m_caption, r, DT_SINGLELINE | DT_VCENTER);
}
