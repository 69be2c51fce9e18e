#include "TFont.h"

#include "WindowDC.h"

#include <cstring>

namespace {

// Pixels per inch of the screen, the same for the whole run.
int ScreenPixelsPerInch()
{
    static int ppi = [] {
        const WindowDC dc(nullptr);
        int v = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
        return v > 0 ? v : 96;
    }();
    return ppi;
}

}  // namespace

TFont::TFont() = default;

void TFont::Assign(const TFont& other)
{
    if (&other == this)
        return;
    m_name = other.m_name;
    m_height = other.m_height;
    m_bold = other.m_bold;
    m_color = other.m_color;
    m_charset = other.m_charset;
    Changed();
}

void TFont::SetName(const std::string& name)
{
    if (name != m_name) {
        m_name = name;
        Changed();
    }
}

void TFont::SetHeight(int height)
{
    if (height != m_height) {
        m_height = height;
        Changed();
    }
}

int TFont::Size() const
{
    return -MulDiv(m_height, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetBold(bool bold)
{
    if (bold != m_bold) {
        m_bold = bold;
        Changed();
    }
}

void TFont::SetColor(TColor color)
{
    if (color != m_color) {
        m_color = color;
        if (OnChange)
            OnChange();
    }
}

void TFont::SetCharset(BYTE charset)
{
    if (charset != m_charset) {
        m_charset = charset;
        Changed();
    }
}

void TFont::SetFromLogFont(const LOGFONTA& font)
{
    m_name = font.lfFaceName;
    m_height = font.lfHeight;
    m_bold = font.lfWeight >= FW_BOLD;
    m_charset = font.lfCharSet;
    Changed();
}

HFONT TFont::Handle() const
{
    if (!m_handle) {
        LOGFONTA lf = {};
        lf.lfHeight = m_height;
        lf.lfWeight = m_bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = m_charset;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        strncpy(lf.lfFaceName, m_name.c_str(), LF_FACESIZE - 1);
        m_handle.Reset(CreateFontIndirectA(&lf));
    }
    return m_handle.Get();
}

void TFont::Changed()
{
    m_handle.Reset();
    if (OnChange)
        OnChange();
}
