#include "TToolBar.h"

#include "TBitmap.h"
#include "TToolButton.h"

namespace {

const char* const kPublished[] = {"Flat", "EdgeBorders", "ShowCaptions", "Wrapable", "AutoSize", "ButtonHeight",
                                  nullptr};
constexpr int kCaptionPadding = 16;     // room around an auto-sized button's caption
constexpr int kPlainButtonWidth = 23;

}  // namespace

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner)
{
    m_align = alTop;
    m_height = 29;
}

bool TToolBar::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomControl::HasPublished(name);
}

void TToolBar::SetButtonHeight(int height)
{
    m_buttonHeight = height;
    ArrangeButtons();
}

int TToolBar::ButtonCount() const
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i)))
            ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)))
            if (index-- == 0)
                return b;
    return nullptr;
}

int TToolBar::ButtonWidthFor(TToolButton* button)
{
    if (!m_showCaptions || !button->AutoSize())
        return kPlainButtonWidth;
    TBitmap measure;
    measure.SetSize(1, 1);
    TCanvas& canvas = measure.Canvas();
    canvas.Font().Assign(m_font);
    RECT r = {0, 0, 0, 0};
    canvas.DrawText(button->Caption(), r, DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left + kCaptionPadding;
}

void TToolBar::ArrangeButtons()
{
    if (m_arranging)
        return;
    m_arranging = true;
    int x = 0, y = 0;
    int limit = m_width > 0 ? m_width : 0x7FFF;
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (!b->Visible())
            continue;
        int w = ButtonWidthFor(b);
        if (m_wrapable && x > 0 && x + w > limit) {
            x = 0;
            y += m_buttonHeight;
        }
        b->SetBounds(x, y, w, m_buttonHeight);
        x += w;
    }
    if (m_autoSize) {
        int rows = ButtonCount() > 0 ? y + m_buttonHeight : m_buttonHeight;
        if (rows != m_height)
            SetBounds(m_left, m_top, m_width, rows);
    }
    m_arranging = false;
    Invalidate();
}

void TToolBar::Resized()
{
    ArrangeButtons();
}

TToolButton* TToolBar::ButtonAt(int x, int y) const
{
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        RECT r = b->BoundsRect();
        if (b->Visible() && x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return b;
    }
    return nullptr;
}

void TToolBar::SetHotButton(TToolButton* button)
{
    if (button == m_hot)
        return;
    m_hot = button;
    Invalidate();
}

void TToolBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    TToolButton* b = ButtonAt(x, y);
    SetHotButton(b && b->Enabled() ? b : nullptr);
}

void TToolBar::MouseLeave()
{
    SetHotButton(nullptr);
}

LRESULT TToolBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;       // the paint covers it all
    return TCustomControl::WndProc(message, wParam, lParam);
}

void TToolBar::PaintBackground(TCanvas& canvas, const RECT& rect)
{
    canvas.SetBrushColor(m_color);
    canvas.FillRect(rect);
}

void TToolBar::PaintButton(TCanvas& canvas, TToolButton* button, const RECT& rect, bool hot)
{
    if (hot || button->Down()) {
        canvas.SetBrushColor(clHighlight);
        canvas.FrameRect(rect);
    }
    RECT r = rect;
    canvas.SetBrushStyle(bsClear);
    canvas.Font().SetColor(button->Enabled() ? clWindowText : clGray);
    canvas.DrawText(button->Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void TToolBar::Paint()
{
    RECT client = ClientRect();
    int w = client.right - client.left;
    int h = client.bottom - client.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap buffer;
    buffer.SetSize(w, h);
    TCanvas& canvas = buffer.Canvas();
    canvas.Font().Assign(m_font);
    PaintBackground(canvas, client);
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (b->Visible())
            PaintButton(canvas, b, b->BoundsRect(), b == m_hot);
    }
    BitBlt(m_canvas.Handle(), 0, 0, w, h, buffer.DC(), 0, 0, SRCCOPY);
}
