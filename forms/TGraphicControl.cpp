#include "TGraphicControl.h"

#include "SavedDC.h"

void TGraphicControl::PaintAt(HDC parentDC)
{
    SavedDC saved(parentDC);
    POINT origin;
    GetViewportOrgEx(parentDC, &origin);
    SetViewportOrgEx(parentDC, origin.x + m_left, origin.y + m_top, nullptr);
    IntersectClipRect(parentDC, 0, 0, m_width, m_height);
    m_canvas.SetHandle(parentDC);
    m_canvas.Font().Assign(m_font);
    Paint();
    m_canvas.SetHandle(nullptr);
}
