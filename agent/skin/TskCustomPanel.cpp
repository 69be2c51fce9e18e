#include "TskCustomPanel.h"

#include "SkinHelpers.h"
#include "WindowDC.h"

namespace {

std::string Trimmed(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return text.substr(b, e - b);
}

}  // namespace

TskCustomPanel::TskCustomPanel(TComponent* owner) : TCustomPanel(owner)
{
    m_picture.OnChange = [this] { PictureChanged(); };
}

void TskCustomPanel::SetPicture(const TPicture* picture)
{
    m_picture.Assign(picture);     // runs PictureChanged
}

void TskCustomPanel::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    if (TBitmap* graphic = m_picture.Graphic())
        graphic->SetTransparent(transparent);
    Invalidate();
}

void TskCustomPanel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_picture.Graphic())
        ApplyAutoSize();
}

void TskCustomPanel::SetDrawStyle(TskDrawStyle style)
{
    m_drawStyle = style;
    PaintBackground();
    Invalidate();
}

void TskCustomPanel::SetCaptionPosition(int x, int y)
{
    m_captionX = x;
    m_captionY = y;
    Invalidate();
}

void TskCustomPanel::ApplyAutoSize()
{
    TBitmap* graphic = m_picture.Graphic();
    if (!graphic || !m_autoSize)
        return;
    int w = m_width;
    int h = m_height;
    if (m_align != alTop && m_align != alBottom && m_align != alClient)
        w = graphic->Width();
    if (m_align != alLeft && m_align != alRight && m_align != alClient)
        h = graphic->Height();
    SetBounds(m_left, m_top, w, h);
}

void TskCustomPanel::PictureChanged()
{
    if (TBitmap* graphic = m_picture.Graphic()) {
        if (m_autoSize)
            ApplyAutoSize();
        if (graphic->Transparent() != m_transparent)
            graphic->SetTransparent(m_transparent);
    }
    PaintBackground();
    Invalidate();
}

void TskCustomPanel::PaintBackground()
{
    // Only a panel living in a window outside the form layer fills itself here.
    if (!ParentWindow() || !HandleAllocated())
        return;
    WindowDC dc(m_handle);
    TCanvas canvas(dc.Get());
    canvas.SetBrushColor(m_color);
    canvas.FillRect(ClientRect());
}

void TskCustomPanel::Paint()
{
    RECT client = ClientRect();
    int w = client.right - client.left;
    int h = client.bottom - client.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap buffer;
    buffer.SetSize(w, h);
    TCanvas& canvas = buffer.Canvas();
    if (m_transparent)
        DrawParentBackground(canvas, this);
    if (TBitmap* graphic = m_picture.Graphic()) {
        if (m_drawStyle == skStretch)
            canvas.StretchDraw(client, *graphic);
        else if (m_drawStyle == skTile)
            TilePicture(canvas, m_picture, client);
        else
            canvas.Draw(0, 0, *graphic);
    } else if (!m_transparent) {
        canvas.SetBrushColor(m_color);
        canvas.FillRect(client);
    }
    canvas.SetBrushStyle(bsClear);
    if (!Trimmed(m_caption).empty()) {
        canvas.Font().Assign(m_font);
        if (m_captionX == -1 && m_captionY == -1) {
            UINT flags = DT_SINGLELINE | DT_VCENTER |
                         (m_alignment == taCenter ? DT_CENTER : m_alignment == taRightJustify ? DT_RIGHT : DT_LEFT);
            RECT r = client;
            canvas.DrawText(m_caption, r, flags);
        } else {
            canvas.TextOut(m_captionX, m_captionY, m_caption);
        }
    }
    BitBlt(m_canvas.Handle(), 0, 0, w, h, buffer.DC(), 0, 0, SRCCOPY);
}

LRESULT TskCustomPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND && !m_eraseBackground)
        return 1;       // painting covers everything; erasing first would only flicker
    return TCustomPanel::WndProc(message, wParam, lParam);
}
