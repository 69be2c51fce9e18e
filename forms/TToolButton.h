#pragma once
// One button of a tool bar: a caption, enabled state, grouping and sizing, the menu item it drops
// down, and a tag. The tool bar lays it out and paints it.
#include "TGraphicControl.h"

class TMenuItem;
class TToolBar;

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* owner) : TGraphicControl(owner) {}

    const char* ClassName() const override { return "TToolButton"; }
    bool HasPublished(const char* name) const override;

    bool Grouped() const { return m_grouped; }
    void SetGrouped(bool grouped) { m_grouped = grouped; }
    void SetAutoSize(bool autoSize) override;
    TMenuItem* MenuItem() const { return m_menuItem; }
    void SetMenuItem(TMenuItem* item);
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    bool Down() const { return m_down; }
    void SetDown(bool down);

    // The tool bar this button sits on, or null.
    TToolBar* ToolBar() const;
    void Click() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool m_grouped = false;
    TMenuItem* m_menuItem = nullptr;
    int m_tag = 0;
    bool m_down = false;
};
