#pragma once
// The menu bar of a skinned form: a flat, wrapping tool bar with one button per top-level item of
// the form's main menu, painted in the form's style; a button drops its item's menu down.
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
    // Captions and enabled states from the items again.
    void RefreshButtons();
    void UpdateFont(TskMainMenu* menu);

    void ButtonClicked(TToolButton* button) override;
    bool DialogChar(char ch, TShiftState shift) override;

protected:
    void PaintBackground(TCanvas& canvas, const RECT& rect) override;
    void PaintButton(TCanvas& canvas, TToolButton* button, const RECT& rect, bool hot) override;

private:
    TskForm* m_form;
    TskMainMenu* m_menu = nullptr;
};
