#include "TCustomControl.h"

void TCustomControl::PaintWindow(HDC dc)
{
    HDC previous = m_canvas.Handle();
    m_canvas.SetHandle(dc);
    m_canvas.Font().Assign(m_font);
    Paint();
    m_canvas.SetHandle(previous);
}
