#pragma once
// One item of a menu: caption ("-" for a separator), state, image, shortcut, sub-items, and the
// measure and draw events an owner-drawn menu calls.
#include "Events.h"
#include "TCanvas.h"
#include "TComponent.h"

#include <string>
#include <vector>

class TMenu;
class TMenuItem;

using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const char* ClassName() const override { return "TMenuItem"; }
    bool HasPublished(const char* name) const override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; Changed(); }
    bool IsLine() const { return m_caption == "-"; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; Changed(); }
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked) { m_checked = checked; }
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault) { m_default = isDefault; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; Changed(); }
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index) { m_imageIndex = index; }
    WORD ShortCut() const { return m_shortCut; }
    void SetShortCut(WORD shortCut) { m_shortCut = shortCut; }
    // The shortcut as a menu shows it ("Ctrl+O"); empty without one.
    std::string ShortCutText() const;

    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem* Items(int index) const { return m_items[static_cast<size_t>(index)]; }
    TMenuItem* Parent() const { return m_parentItem; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    // The menu this item belongs to, following parents up.
    TMenu* GetParentMenu() const
    {
        const TMenuItem* i = this;
        while (i->m_parentItem)
            i = i->m_parentItem;
        return i->m_menu;
    }

    virtual void Click();
    // What the menu system asks of an owner-drawn item.
    void MeasureItem(TCanvas& canvas, int& width, int& height);
    void DrawItem(TCanvas& canvas, const RECT& rect, bool selected);

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnAdvancedDrawItem;

private:
    friend class TMenu;

    // Tells the menu holding this item that it changed (its own state, or its sub-items), so
    // what shows the menu follows it.
    void Changed();

    std::string m_caption;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_default = false;
    bool m_visible = true;
    int m_imageIndex = -1;
    WORD m_shortCut = 0;
    std::vector<TMenuItem*> m_items;
    TMenuItem* m_parentItem = nullptr;
    TMenu* m_menu = nullptr;            // set on a menu's root item
};
