#include "TskCustomButton.h"

#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "TCustomForm.h"
#include "TImageList.h"
#include "TskFileTheme.h"

namespace {

const char* const kPublished[] = {"BiDiMode", "Anchors", "ParentColor", "PopupMenu", "ShowHint", "Visible",
                                  "ParentShowHint", "ParentBiDiMode", "ParentFont", "TabStop", "OnEnter",
                                  "OnExit", nullptr};

constexpr int kBlankPictureWidth = 74;
constexpr int kBlankPictureHeight = 21;
constexpr int kButtonStripFrames = 3;
constexpr TColor kEmbossLight = RGB(255, 255, 255);
constexpr TColor kEmbossGrey = RGB(128, 128, 128);

}  // namespace

std::string TrimCaption(const std::string& caption)
{
    size_t b = 0, e = caption.size();
    while (b < e && static_cast<unsigned char>(caption[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(caption[e - 1]) <= ' ')
        --e;
    return caption.substr(b, e - b);
}

TskCustomButton::TskCustomButton(TComponent* owner) : TCustomControl(owner)
{
    m_width = 75;
    m_height = 25;
    m_caption.clear();
    SetTabStop(true);
    m_uiStyle = DefaultUIStyle(owner);
}

TskCustomButton::~TskCustomButton() = default;

bool TskCustomButton::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomControl::HasPublished(name);
}

void TskCustomButton::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    // It holds no child controls; its window text is the caption.
    params.style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    params.className = "SequoraSkinButton";
}

void TskCustomButton::WndCreated()
{
    m_active = m_default;
}

void TskCustomButton::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    UpdateAutoSize();
    Invalidate();
}

void TskCustomButton::SetCaption(const std::string& caption)
{
    m_caption = caption;
    if (HandleAllocated())
        SetWindowTextA(m_handle, caption.c_str());
    CaptionChanged();
    Invalidate();
}

void TskCustomButton::SetDefault(bool isDefault)
{
    m_default = isDefault;
    if (!HandleAllocated())
        return;
    // Every button of the form recomputes whether Enter presses it.
    if (TCustomForm* form = ParentForm())
        form->BroadcastFocusChanged(form->ActiveControl());
}

void TskCustomButton::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    TransparentChanged();
}

void TskCustomButton::TransparentChanged()
{
    m_pictureTransparent = m_transparent;
    Invalidate();
}

void TskCustomButton::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    UIStyleChanged();
    Invalidate();
}

void TskCustomButton::SetFileTheme(TskFileTheme* theme)
{
    ReferTo(m_fileTheme, theme);
    Invalidate();
}

void TskCustomButton::SetEnabled(bool enabled)
{
    TCustomControl::SetEnabled(enabled);   // runs EnabledChanged and repaints
}

void TskCustomButton::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component && component == m_fileTheme) {
        m_fileTheme = nullptr;
        SetUIStyle(Indigo);
    }
}

void TskCustomButton::FontChanged()
{
    m_canvas.Font().Assign(m_font);
    TCustomControl::FontChanged();
}

void TskCustomButton::UpdateAutoSize()
{
    if (!m_autoSize)
        return;
    TBitmap strip;
    LoadBuiltInBitmap(m_uiStyle, posButtonStrip, strip);
    int w = strip.Empty() ? kBlankPictureWidth * kButtonStripFrames : strip.Width();
    int h = strip.Empty() ? kBlankPictureHeight : strip.Height();
    SetBounds(m_left, m_top, w / kButtonStripFrames, h);
}

bool TskCustomButton::StripFrame(int frame, TBitmap& picture)
{
    TPicture result;
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, m_uiStyle, resolved))
        m_fileTheme->GetBitmapFrame(SKIN2_BUTTON, &result, frame, kButtonStripFrames);
    else
        GetBuiltInBitmap(resolved, posButtonStrip, &result, frame, kButtonStripFrames);
    if (result.Graphic())
        picture.Assign(*result.Graphic());
    return true;
}

bool TskCustomButton::GetNormalPicture(TBitmap& picture) { return StripFrame(1, picture); }
bool TskCustomButton::GetMouseOnPicture(TBitmap& picture) { return StripFrame(2, picture); }
bool TskCustomButton::GetMouseDownPicture(TBitmap& picture) { return StripFrame(3, picture); }
bool TskCustomButton::GetDisabledPicture(TBitmap& picture) { return StripFrame(1, picture); }

void TskCustomButton::DrawPicture(TCanvas& canvas, TBitmap& picture)
{
    if (picture.Empty())
        return;
    TImageList list(nullptr, picture.Width(), picture.Height());
    if (m_pictureTransparent)
        list.AddMasked(picture, picture.TransparentColor());
    else
        list.Add(picture);
    list.Draw(canvas, 0, 0, 0, m_enabled);
}

void TskCustomButton::DrawFocusMark(TCanvas& canvas)
{
    RECT r = ClientRect();
    InflateRect(&r, -m_focusedRectMargin, -m_focusedRectMargin);
    canvas.SetBrushStyle(bsSolid);
    canvas.DrawFocusRect(r);
}

void TskCustomButton::DrawCaptionText(TCanvas& canvas, RECT target)
{
    RECT measured = target;
    canvas.DrawText(m_caption, measured, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    int mw = measured.right - measured.left;
    int mh = measured.bottom - measured.top;
    // Integer division truncating toward zero, as the layout has always been computed.
    OffsetRect(&measured, ((target.right - target.left) - mw) / 2, ((target.bottom - target.top) - mh) / 2);
    canvas.DrawText(m_caption, measured, DT_CENTER);
}

void TskCustomButton::DrawCaption(TCanvas& canvas)
{
    canvas.SetBrushStyle(bsClear);
    RECT target = ClientRect();
    canvas.Font().Assign(m_font);
    if (!m_enabled) {
        RECT shifted = target;
        OffsetRect(&shifted, 1, 1);
        canvas.Font().SetColor(kEmbossLight);
        DrawCaptionText(canvas, shifted);
        canvas.Font().SetColor(kEmbossGrey);
        DrawCaptionText(canvas, target);
    } else if (m_mouseDown) {
        OffsetRect(&target, 1, 1);
        DrawCaptionText(canvas, target);
    } else {
        DrawCaptionText(canvas, target);
    }
}

void TskCustomButton::Paint()
{
    TBitmap buffer;
    TBitmap state;
    bool fetched;
    if (m_enabled)
        fetched = m_mouseDown ? GetMouseDownPicture(state) : m_mouseOn ? GetMouseOnPicture(state) : GetNormalPicture(state);
    else
        fetched = GetDisabledPicture(state);
    if (!fetched)
        state.SetSize(kBlankPictureWidth, kBlankPictureHeight);
    state.SetTransparent(m_pictureTransparent);
    buffer.SetSize(m_width, m_height);
    if (buffer.Empty())
        return;
    TCanvas& canvas = buffer.Canvas();
    if (m_transparent) {
        DrawParentBackground(canvas, this);
    } else {
        canvas.SetBrushColor(m_color);
        canvas.FillRect(ClientRect());
    }
    DrawPicture(canvas, state);
    state.Clear();
    if (Focused() && TabStop())
        DrawFocusMark(canvas);
    canvas.Font().Assign(m_font);
    m_canvas.Font().Assign(m_font);
    if (!TrimCaption(m_caption).empty())
        DrawCaption(canvas);
    RECT client = ClientRect();
    BitBlt(m_canvas.Handle(), 0, 0, client.right, client.bottom, buffer.DC(), 0, 0, SRCCOPY);
}

void TskCustomButton::Click()
{
    if (m_mouseDown) {
        FreeRepeatTimer();
        m_mouseDown = false;
        Invalidate();
    }
    if (TCustomForm* form = ParentForm())
        form->SetModalResult(m_modalResult);
    TCustomControl::Click();
}

void TskCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        m_mouseDown = true;
        if (!m_repeatTimer) {
            m_repeatTimer = std::make_unique<TWindowTimer>();
            m_repeatTimer->OnTimer = [this] {
                if (OnMouseContinuouslyDown)
                    OnMouseContinuouslyDown(this);
            };
            m_repeatTimer->Start(m_repeatInterval > 0 ? m_repeatInterval : 0);
        }
        if (TabStop() && CanFocus())
            SetFocus();     // may fail while the form is hidden; that is fine
        Invalidate();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TskCustomButton::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (x < 0 || y < 0 || x > m_width || y > m_height) {
        if (m_mouseOn || m_mouseDown) {
            m_mouseOn = false;
            m_mouseDown = false;
            Invalidate();
        }
    }
}

void TskCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    // A release that gave no click leaves the button unpressed too.
    if (button == mbLeft && m_mouseDown) {
        m_mouseDown = false;
        FreeRepeatTimer();
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TskCustomButton::MouseEnter()
{
    if (ComponentState() & csDesigning)
        return;
    m_mouseOn = true;
    Invalidate();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TskCustomButton::MouseLeave()
{
    m_mouseOn = false;
    m_mouseDown = false;
    FreeRepeatTimer();
    Invalidate();
    if (OnMouseExit)
        OnMouseExit(this);
}

void TskCustomButton::CancelMode()
{
    m_mouseOn = false;
    m_mouseDown = false;
    FreeRepeatTimer();
    Invalidate();
}

bool TskCustomButton::DialogKey(WORD key, TShiftState shift)
{
    bool pressesMe = (key == VK_RETURN && m_active) || (key == VK_ESCAPE && m_cancel);
    if (pressesMe && !(shift & (ssShift | ssCtrl | ssAlt)) && CanFocus()) {
        Click();
        return true;
    }
    return false;
}

bool TskCustomButton::DialogChar(char ch, TShiftState shift)
{
    if (!IsAccelerator(ch, m_caption))
        return false;
    bool skinnedFocus = SendMessageA(GetFocus(), WM_SKINBUTTON_QUERY, 0, 0) == 1;
    if (!(shift & ssAlt) && !skinnedFocus)
        return false;
    if (m_parent && m_parent->Enabled() && m_enabled && m_visible) {
        Click();
        return true;
    }
    return false;
}

void TskCustomButton::FocusChanged(TWinControl*)
{
    m_active = m_default;
    Invalidate();
}

LRESULT TskCustomButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SKINBUTTON_QUERY:
        return 1;
    case WM_SETTEXT: {
        // A window text set from outside becomes the caption.
        LRESULT r = TCustomControl::WndProc(message, wParam, lParam);
        m_caption = lParam ? reinterpret_cast<const char*>(lParam) : "";
        CaptionChanged();
        Invalidate();
        return r;
    }
    case WM_KEYDOWN: {
        LRESULT r = TCustomControl::WndProc(message, wParam, lParam);
        if ((wParam == VK_SPACE || wParam == VK_RETURN) && Focused() && m_enabled) {
            m_mouseDown = true;
            Invalidate();
        }
        return r;
    }
    case WM_KEYUP: {
        LRESULT r = TCustomControl::WndProc(message, wParam, lParam);
        if ((wParam == VK_SPACE || wParam == VK_RETURN) && Focused() && m_mouseDown && m_enabled) {
            m_mouseDown = false;
            Invalidate();
            Click();
        }
        return r;
    }
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}
