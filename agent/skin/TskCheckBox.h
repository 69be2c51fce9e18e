#pragma once
// A self-drawn check box: its tick glyph comes from the style's check-box strip (or a skin file),
// its caption beside it; a click, Space or Enter released on it, or its accelerator toggles it.
#include "ISkinThemed.h"
#include "TCustomControl.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TskCheckBox : public TCustomControl, public ISkinThemed {
public:
    explicit TskCheckBox(TComponent* owner);

    const char* ClassName() const override { return "TskCheckBox"; }
    bool HasPublished(const char* name) const override;

    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    TCheckBoxState State() const { return m_checked ? cbChecked : cbUnchecked; }
    void SetState(TCheckBoxState state) { SetChecked(state == cbChecked); }
    TskUIStyle UIStyle() const override { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style) override;
    TskFileTheme* FileTheme() const override { return m_fileTheme; }
    void SetFileTheme(TskFileTheme* theme) override;
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    void SetAutoSize(bool autoSize) override;

    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DialogChar(char ch, TShiftState shift) override;
    void FocusChanged(TWinControl*) override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual bool WantsFocusMark() { return TabStop() && Focused(); }
    virtual bool GlyphTransparent() { return false; }
    virtual int BuiltInGlyphRow() { return 3; }
    virtual int ThemeGlyphKey() { return 16; }
    virtual void DoCheckedClick();
    virtual void BeforeToggle() {}
    virtual void Toggle();
    virtual bool KeyToggles() { return true; }

    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void FocusEntered() override { Invalidate(); }
    void FocusLeft() override { Invalidate(); }
    LRESULT EraseBackground(HDC) override { return 1; }

private:
    bool m_checked = false;
    TskUIStyle m_uiStyle = Indigo;
    TskFileTheme* m_fileTheme = nullptr;
    bool m_transparent = false;
};
