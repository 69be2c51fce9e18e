#pragma once
// The generic skinned button: a windowed control drawn off-screen from one picture per state
// (normal, hover, pressed, disabled) with a centred caption; pressed by the mouse, by Space or
// Enter while focused, by Enter as the Default button, by Escape as the Cancel button and by its
// accelerator; it hands its ModalResult to its form on every click.
#include "ISkinThemed.h"
#include "TCustomControl.h"
#include "TWindowTimer.h"

#include <memory>

// Asked of the focused window: 1 means a skinned button has the focus.
constexpr UINT WM_SKINBUTTON_QUERY = WM_APP + 3000;

class TskCustomButton : public TCustomControl, public ISkinThemed {
public:
    explicit TskCustomButton(TComponent* owner);
    ~TskCustomButton() override;

    const char* ClassName() const override { return "TskCustomButton"; }
    bool HasPublished(const char* name) const override;

    void SetAutoSize(bool autoSize) override;
    void SetCaption(const std::string& caption) override;
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool cancel) { m_cancel = cancel; }
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    TskUIStyle UIStyle() const override { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style) override;
    TskFileTheme* FileTheme() const override { return m_fileTheme; }
    void SetFileTheme(TskFileTheme* theme) override;
    bool PictureTransparent() const { return m_pictureTransparent; }
    int MouseContinuouslyDownInterval() const { return m_repeatInterval; }
    void SetMouseContinuouslyDownInterval(int ms) { m_repeatInterval = ms; }
    int FocusedRectMargin() const { return m_focusedRectMargin; }
    void SetFocusedRectMargin(int margin) { m_focusedRectMargin = margin; }
    bool Active() const { return m_active; }
    bool MouseOn() const { return m_mouseOn; }
    bool MouseIsDown() const { return m_mouseDown; }
    TWindowTimer* RepeatTimer() const { return m_repeatTimer.get(); }
    void SetEnabled(bool enabled) override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnMouseContinuouslyDown;

    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void CancelMode() override;
    bool DialogKey(WORD key, TShiftState shift) override;
    bool DialogChar(char ch, TShiftState shift) override;
    void FocusChanged(TWinControl* focused) override;
    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void UpdateAutoSize();
    virtual void CaptionChanged() {}
    void FontChanged() override;
    virtual void TransparentChanged();
    void EnabledChanged() override {}
    virtual void UIStyleChanged() {}
    virtual void DrawPicture(TCanvas& canvas, TBitmap& picture);
    virtual void DrawCaption(TCanvas& canvas);
    virtual void DrawFocusMark(TCanvas& canvas);
    // Each fills `picture` with the look of one state; false when the picture cannot be had.
    virtual bool GetNormalPicture(TBitmap& picture);
    virtual bool GetMouseOnPicture(TBitmap& picture);
    virtual bool GetMouseDownPicture(TBitmap& picture);
    virtual bool GetDisabledPicture(TBitmap& picture);

    void CreateParams(TCreateParams& params) override;
    void WndCreated() override;
    void Paint() override;
    void FocusEntered() override { Invalidate(); }
    void FocusLeft() override { Invalidate(); }
    LRESULT EraseBackground(HDC) override { return 1; }
    bool StripFrame(int frame, TBitmap& picture);
    void FreeRepeatTimer() { m_repeatTimer.reset(); }
    void DrawCaptionText(TCanvas& canvas, RECT target);

    bool m_cancel = false;
    bool m_default = false;
    bool m_transparent = false;
    int m_modalResult = 0;
    TskUIStyle m_uiStyle = Indigo;
    TskFileTheme* m_fileTheme = nullptr;
    bool m_pictureTransparent = false;
    std::unique_ptr<TWindowTimer> m_repeatTimer;
    int m_repeatInterval = 100;
    int m_focusedRectMargin = 2;
    bool m_active = false;
    bool m_mouseOn = false;
    bool m_mouseDown = false;
};

// The caption without leading and trailing blanks and control characters.
std::string TrimCaption(const std::string& caption);
