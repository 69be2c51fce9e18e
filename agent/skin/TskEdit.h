#pragma once
// The skinned single-line edit: a two-pixel border drawn as one line in BorderColor around a
// line in the edit's own colour; the style gives the border colour unless the form sets one.
#include "ISkinThemed.h"
#include "TCustomEdit.h"

class TskEdit : public TCustomEdit, public ISkinThemed {
public:
    explicit TskEdit(TComponent* owner);

    const char* ClassName() const override { return "TskEdit"; }
    bool HasPublished(const char* name) const override;

    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor color);
    TskFileTheme* FileTheme() const override { return m_fileTheme; }
    void SetFileTheme(TskFileTheme* theme) override;
    TskUIStyle UIStyle() const override { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style) override;

    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void StyleApplied() {}

private:
    TColor m_borderColor = clBlack;
    TskUIStyle m_uiStyle = Indigo;
    TskFileTheme* m_fileTheme = nullptr;
};
