#pragma once
// A top-level form: border style, start position, client size, size constraints, OnCreate /
// OnShow / OnClose, Show / Hide / Close, ShowModal with ModalResult, the active control, and the
// keyboard routing that gives Enter / Escape to the Default / Cancel buttons and accelerator
// characters to the controls.
#include "TCustomEdit.h"
#include "TWinControl.h"

enum TPosition { poDesigned, poDesktopCenter, poMainFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    const char* ClassName() const override { return "TCustomForm"; }
    bool HasPublished(const char* name) const override;

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style) { m_borderStyle = style; }
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition position) { m_position = position; }
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetMinSize(int width, int height) { m_minWidth = width; m_minHeight = height; }
    int MinWidth() const { return m_minWidth; }
    int MinHeight() const { return m_minHeight; }
    bool Scaled() const { return false; }

    // Ends the building of the form: `Loaded` on every component, then OnCreate.
    void FinishBuilding();

    void SetVisible(bool visible) override;
    void Close();
    TModalResult ShowModal();
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult result) { m_modalResult = result; }
    bool IsModal() const { return m_modal; }
    bool Active() const { return m_active; }

    TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* control);
    // A control of this form took the focus: remembered, and every control is told.
    void FocusControlChanged(TWinControl* focused);
    // Moves the focus to the next (or previous) control that takes it, in tab order.
    void SelectNext(bool forward);

    // Keyboard routing: true when a control took the key or character.
    bool DialogKeyPressed(WORD key, TShiftState shift);
    bool DialogCharTyped(char ch, TShiftState shift);

    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TCloseEvent OnClose;

protected:
    void CreateParams(TCreateParams& params) override;
    void DoShow();
    void PlaceAtShow();

    TBorderStyle m_borderStyle = bsSizeable;
    TPosition m_position = poDesigned;
    int m_minWidth = 0;
    int m_minHeight = 0;
    TModalResult m_modalResult = mrNone;
    bool m_modal = false;
    bool m_active = false;
    bool m_placed = false;
    TWinControl* m_activeControl = nullptr;
};
