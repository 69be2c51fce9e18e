#include "TCustomEdit.h"

namespace {
const char* const kPublished[] = {"Text", "PasswordChar", "MaxLength", "ReadOnly", "AutoSelect", "BorderStyle",
                                  "OnChange", nullptr};
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner)
{
    m_width = 121;
    m_height = 21;
    m_color = clWindow;
    SetTabStop(true);
}

bool TCustomEdit::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TWinControl::HasPublished(name);
}

void TCustomEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.systemClass = "EDIT";
    params.style |= ES_AUTOHSCROLL | ES_LEFT;
    params.style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    if (m_passwordChar)
        params.style |= ES_PASSWORD;
    if (m_readOnly)
        params.style |= ES_READONLY;
    if (m_borderStyle == bsSingle)
        params.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::WndCreated()
{
    if (m_passwordChar)
        SendMessageA(m_handle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(m_passwordChar), 0);
    SendMessageA(m_handle, EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
}

std::string TCustomEdit::Text() const
{
    if (!m_handle)
        return m_caption;
    int length = GetWindowTextLengthA(m_handle);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(m_handle, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void TCustomEdit::SetText(const std::string& text)
{
    m_caption = text;
    if (m_handle)
        SetWindowTextA(m_handle, text.c_str());    // EN_CHANGE follows
}

void TCustomEdit::SetPasswordChar(char ch)
{
    m_passwordChar = ch;
    if (m_handle) {
        SendMessageA(m_handle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(ch), 0);
        InvalidateRect(m_handle, nullptr, TRUE);
    }
}

void TCustomEdit::SetMaxLength(int length)
{
    m_maxLength = length < 0 ? 0 : length;
    if (m_handle)
        SendMessageA(m_handle, EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
}

void TCustomEdit::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (m_handle)
        SendMessageA(m_handle, EM_SETREADONLY, readOnly, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    if (m_handle) {
        LONG ex = GetWindowLongA(m_handle, GWL_EXSTYLE);
        SetWindowLongA(m_handle, GWL_EXSTYLE, style == bsSingle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~WS_EX_CLIENTEDGE));
        SetWindowPos(m_handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void TCustomEdit::SetColor(TColor color)
{
    m_brush.Reset();
    TWinControl::SetColor(color);
}

void TCustomEdit::CommandNotify(WORD code)
{
    if (code == EN_CHANGE)
        Change();
}

void TCustomEdit::Change()
{
    if (OnChange && !IsLoading())
        OnChange(this);
}

HBRUSH TCustomEdit::ControlColor(HDC dc)
{
    SetTextColor(dc, ColorToRGB(m_font.Color()));
    SetBkColor(dc, ColorToRGB(m_color));
    if (!m_brush)
        m_brush.Reset(CreateSolidBrush(ColorToRGB(m_color)));
    return m_brush.Get();
}

void TCustomEdit::FocusEntered()
{
    if (m_autoSelect)
        SendMessageA(m_handle, EM_SETSEL, 0, -1);
}
