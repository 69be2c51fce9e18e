#pragma once
// A context menu: built into a system menu at each Popup and tracked until the user picks an item
// or cancels; the picked item's OnClick runs afterwards. Owner-drawn items are measured and drawn
// through a hidden window of the program that hands WM_MEASUREITEM / WM_DRAWITEM to the items.
#include "TControl.h"
#include "TMenu.h"

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);

    const char* ClassName() const override { return "TPopupMenu"; }
    bool HasPublished(const char* name) const override;

    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool autoPopup) { m_autoPopup = autoPopup; }
    TComponent* PopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(TComponent* component) { m_popupComponent = component; }
    TBiDiMode BiDiMode() const { return m_biDiMode; }
    void SetBiDiMode(TBiDiMode mode) { m_biDiMode = mode; }

    // Shows the menu at a screen point; returns when it is closed.
    virtual void Popup(int x, int y);
    // The window that owns every popped-up menu (routes measuring and drawing to the items).
    static HWND PopupListWindow();

    TNotifyEvent OnPopup;

private:
    bool m_autoPopup = true;
    TComponent* m_popupComponent = nullptr;
    TBiDiMode m_biDiMode = bdLeftToRight;
};

// Shows the sub-items of `parent` as a menu at a screen point (TrackPopupMenu `align` flags) and
// clicks the item picked; returns when the menu is closed.
void PopupMenuItems(TMenuItem* parent, bool ownerDraw, int x, int y, UINT align);
