#include "TLabel.h"

#include "TWinControl.h"
#include "WindowDC.h"

namespace {
const char* const kPublished[] = {"AutoSize", "Transparent", nullptr};
constexpr UINT kLabelTextFlags = DT_EXPANDTABS | DT_LEFT | DT_NOCLIP;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    m_autoSize = true;
    m_width = 65;
    m_height = 13;
}

bool TLabel::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TGraphicControl::HasPublished(name);
}

void TLabel::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    AdjustSize();
}

void TLabel::FontChanged()
{
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize()
{
    if (!m_autoSize)
        return;
    WindowDC screen(nullptr);
    TCanvas canvas(screen.Get());
    canvas.Font().Assign(m_font);
    RECT r = {0, 0, 0, 0};
    std::string text = m_caption.empty() ? std::string(" ") : m_caption;
    canvas.DrawText(text, r, kLabelTextFlags | DT_CALCRECT);
    SetBounds(m_left, m_top, r.right, r.bottom);
}

void TLabel::Paint()
{
    RECT r = ClientRect();
    if (!m_transparent) {
        m_canvas.SetBrushColor(m_color);
        m_canvas.FillRect(r);
    }
    m_canvas.SetBrushStyle(bsClear);
    m_canvas.DrawText(m_caption, r, kLabelTextFlags);
}
