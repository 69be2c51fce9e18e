#pragma once
// A form's main menu: top-level items whose sub-items drop down, shortcut keys that reach the
// items while the form is active, and the automatic hot-key setting its drop-downs take.
#include "Events.h"
#include "TMenu.h"

enum TMenuAutoFlag { maAutomatic, maManual };

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}

    const char* ClassName() const override { return "TMainMenu"; }
    bool HasPublished(const char* name) const override;

    // Automatic: at each drop-down, an item without an access key of its own ('&' before a letter)
    // is given the first letter or digit of its caption that no sibling's key takes.
    TMenuAutoFlag AutoHotkeys() const { return m_autoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag flag) { m_autoHotkeys = flag; }

    // Clicks the enabled item whose shortcut is this key with these modifiers; true when one was.
    bool IsShortCut(WORD key, TShiftState shift);
    // Shows the sub-items of the top-level `item` as a drop-down at a screen point; returns when it
    // is closed.
    // A key typed in it picks the enabled item whose access key it is, owner-drawn items too.
    void DropDown(TMenuItem* item, int x, int y);

private:
    TMenuAutoFlag m_autoHotkeys = maAutomatic;
};
