#pragma once
// The menu bar of a skinned form: a flat, wrapping tool bar with one button per top-level item of
// the form's main menu, painted in the form's style; a button drops its item's menu down.
// A command run from a click may change the menu or take the menu off the form: what would free
// the clicked button or the bar itself waits until the click's message has been handled.
#include "TToolBar.h"

class TskForm;
class TskMainMenu;

// The tag a button carries from being drawn hot until its next paint.
constexpr int kMenuBarHotTag = 888;

class TskMenuBar : public TToolBar {
public:
    TskMenuBar(TComponent* owner, TskForm* form);

    const char* ClassName() const override { return "TskMenuBar"; }

    TskForm* Form() const { return m_form; }
    // Frees the old buttons and makes one per top-level item of the menu.
    void RebuildButtons(TskMainMenu* menu);
    // Captions, enabled states and visibility from the items again; new buttons when the menu's
    // top-level items are no longer the ones the buttons show.
    void RefreshButtons();
    void UpdateFont(TskMainMenu* menu);
    // Takes the bar off its form: freed at once, or hidden and freed once a running click returns.
    void Release();

    void ButtonClicked(TToolButton* button) override;
    bool DialogChar(char ch, TShiftState shift) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void PaintBackground(TCanvas& canvas, const RECT& rect) override;
    void PaintButton(TCanvas& canvas, TToolButton* button, const RECT& rect, bool hot) override;

private:
    bool ShowsItemsOf(TskMainMenu* menu) const;

    TskForm* m_form;
    TskMainMenu* m_menu = nullptr;
    int m_clicks = 0;                   // clicks running their item's commands, nested
    bool m_rebuildPending = false;      // asked for during a click
    bool m_released = false;
};
