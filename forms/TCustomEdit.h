#pragma once
// A single-line edit over the system EDIT class: text, password character, length limit,
// read-only, select-all on entry, and OnChange from the edit's own change notification.
#include "GdiObject.h"
#include "TWinControl.h"

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);

    const char* ClassName() const override { return "TCustomEdit"; }
    bool HasPublished(const char* name) const override;

    std::string Text() const override;
    void SetText(const std::string& text) override;
    char PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char ch);
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);       // 0: no limit
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    void SetColor(TColor color) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndCreated() override;
    void CommandNotify(WORD code) override;
    HBRUSH ControlColor(HDC dc) override;
    void FocusEntered() override;
    virtual void Change();

    char m_passwordChar = 0;
    int m_maxLength = 0;
    bool m_readOnly = false;
    bool m_autoSelect = true;
    TBorderStyle m_borderStyle = bsSingle;
    GdiBrush m_brush;
};
