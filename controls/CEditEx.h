#pragma once
// An edit control on its own white background, whatever colours its parent hands out.
#include "CBrush.h"
#include "CEdit.h"

class CEditEx : public CEdit {
public:
    static constexpr COLORREF kBackground = 0x00FFFFFF;

    CEditEx();
    HBRUSH GetBackgroundBrush() const { return m_brush; }

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brush;
};
