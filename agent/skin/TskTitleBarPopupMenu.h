#pragma once
// The system menu of a skinned title bar: minimise, maximise or restore, and close, each enabled
// only while the bar shows a button of its kind.
#include "TskPopupMenu.h"

class TskTitleBar;

class TskTitleBarPopupMenu : public TskPopupMenu {
public:
    explicit TskTitleBarPopupMenu(TskTitleBar* titleBar);

    const char* ClassName() const override { return "TskTitleBarPopupMenu"; }

    TMenuItem* MinimizeItem() const { return m_minimize; }
    TMenuItem* MaximizeItem() const { return m_maximize; }
    TMenuItem* CloseItem() const { return m_close; }

    // Enables the items for the buttons shown now, then opens.
    void Popup(int x, int y) override;
    void UpdateItems();

private:
    TMenuItem* AddItem(const char* caption);
    void MinimizeClick(TObject* sender);
    void MaximizeClick(TObject* sender);
    void CloseClick(TObject* sender);

    TskTitleBar* m_titleBar;
    TMenuItem* m_minimize;
    TMenuItem* m_maximize;
    TMenuItem* m_close;
};
