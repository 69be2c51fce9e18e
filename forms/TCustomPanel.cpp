#include "TCustomPanel.h"

namespace {
const char* const kPublished[] = {"Alignment", "BorderWidth", nullptr};
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner)
{
    m_width = 185;
    m_height = 41;
}

bool TCustomPanel::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomControl::HasPublished(name);
}

void TCustomPanel::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    Invalidate();
}

void TCustomPanel::Paint()
{
    RECT r = ClientRect();
    m_canvas.SetBrushColor(m_color);
    m_canvas.FillRect(r);
    m_canvas.SetBrushStyle(bsClear);
    UINT flags = DT_SINGLELINE | DT_VCENTER |
                 (m_alignment == taCenter ? DT_CENTER : m_alignment == taRightJustify ? DT_RIGHT : DT_LEFT);
    m_canvas.DrawText(m_caption, r, flags);
}
