#pragma once
// A drop-down list painted entirely from bitmaps: a left end, a stretched middle and a right-hand
// arrow whose image follows the state, with the selected text over them. The bitmaps are loaded
// at each paint and freed after it. The box is as high as its bitmaps, and whenever the native
// control paints its selection field itself (a new selection, focus, the list closing) the bitmaps
// and the text go back over it.
#include "CComboBox.h"

class CBitComboBox : public CComboBox {
public:
    static constexpr int kArrowAreaWidth = 20;
    static constexpr int kTextIndent = 3;
    static constexpr DWORD kCreateStyleRemove = 0xC;
    static constexpr DWORD kCreateStyleAdd = CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;

    // Stores the ids in this argument order and fits the box to the left end's height (the native
    // control would keep its own, taller box and leave a band under the bitmaps).
    void SetBitmaps(UINT left, UINT middle, UINT arrowNormal, UINT arrowHover, UINT arrowPressed, UINT arrowDisabled);
    // Four more ids for owners that keep them with the control; nothing draws them.
    void SetExtraBitmaps(UINT a, UINT b, UINT c, UINT d);
    const UINT* GetExtraBitmaps() const { return m_extra; }

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;
    using CComboBox::Create;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    BOOL IsPressed() const { return m_bPressed; }
    // The arrow image for the state: disabled wins over pressed, pressed over hover.
    UINT ArrowId(BOOL enabled) const;
    // What WM_PAINT draws, into any DC (client coordinates).
    void PaintTo(HDC dc);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseLeave();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    CRect ArrowArea() const;
    void FitToBitmaps();
    // Paints over what the native control just drew of its selection field.
    void RepaintNow();

    UINT m_nLeft = 0;
    UINT m_nArrowNormal = 0;
    UINT m_nArrowHover = 0;
    UINT m_nArrowPressed = 0;
    UINT m_nArrowDisabled = 0;
    UINT m_nMiddle = 0;
    UINT m_extra[4] = {};
    BOOL m_bHovering = FALSE;
    BOOL m_bPressed = FALSE;
    bool m_bFitting = false;
};
