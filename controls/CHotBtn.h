#pragma once
// An owner-drawn push button painted from four bitmaps (normal, pressed, hover, disabled) with its
// caption over them, placed at a rectangle its owner gives. The bitmaps belong to the owner.
#include "CButton.h"

class CHotBtn : public CButton {
public:
    static constexpr COLORREF kDefaultTextColor = 0x00FFFFFF;
    static constexpr int kCaptionTopOffset = 6;
    static constexpr DWORD kHoverTimeMs = 1;

    // FALSE, and nothing changed, when any bitmap is missing.
    BOOL SetBitmaps(HBITMAP normal, HBITMAP pressed, HBITMAP hover, HBITMAP disabled);
    void SetRect(int left, int top, int right, int bottom);
    void SetTextColor(COLORREF color) { m_crText = color; }

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    BOOL IsHovering() const { return m_bHover; }
    // The bitmap drawn over the face for an owner-draw item state.
    static HBITMAP ChooseOverlay(UINT itemState, BOOL hovering, HBITMAP normal, HBITMAP pressed, HBITMAP hover,
                                 HBITMAP disabled);

protected:
    void PreSubclassWindow() override;
    BOOL OnEraseBkgnd(CDC* dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseLeave();
    DECLARE_MESSAGE_MAP()

private:
    HBITMAP m_hNormal = nullptr;
    HBITMAP m_hPressed = nullptr;
    HBITMAP m_hHover = nullptr;
    HBITMAP m_hDisabled = nullptr;
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    bool m_rectSet = false;
    COLORREF m_crText = kDefaultTextColor;
    BOOL m_bHover = FALSE;
    BOOL m_bTracking = FALSE;
};
