#pragma once
// A label drawn straight onto its parent's background: the text only, transparent, in a colour of
// the owner's choice, grey when disabled; it can fit itself to its text and act as a link that
// turns red under the mouse.
#include "CStatic.h"

class CTransparentStatic : public CStatic {
public:
    static constexpr COLORREF kDisabledColor = 0x00A1A6A7;
    static constexpr COLORREF kLinkHoverColor = 0x000000FF;
    static constexpr UINT_PTR kHoverTimer = 1;
    static constexpr UINT kHoverTimerMs = 50;
    static constexpr int kAutoSizeExtraWidth = 8;

    void SetTextColor(COLORREF color) { m_crText = color; }
    // Enables or disables it and has the parent paint the area under it again.
    void Enable(BOOL enable);
    void SetAutoSize(BOOL autoSize);
    void AutoSize();
    void SetLinkMode(BOOL linkMode);
    int GetWidth() const;

    BOOL IsHovering() const { return m_bHover; }

    // The colour the text is painted in.
    static COLORREF TextColorFor(BOOL enabled, BOOL linkMode, BOOL hovering, COLORREF field);
    // DrawText flags for a static's style.
    static UINT DrawTextFlagsFor(DWORD style);

protected:
    void PreSubclassWindow() override;
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bTransparent = TRUE;
    COLORREF m_crText = 0x00000000;
    BOOL m_bLinkMode = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bAutoSize = FALSE;
};
