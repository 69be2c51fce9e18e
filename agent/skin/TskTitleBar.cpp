#include "TskTitleBar.h"

#include "GdiObject.h"
#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "TApplication.h"
#include "TCustomForm.h"
#include "TPopupMenu.h"
#include "TskFileTheme.h"
#include "TskTitleBarPopupMenu.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kPublished[] = {
    "Custom", "FileTheme", "UIStyle", "AutoSize", "Sections", "Buttons", "ButtonInterval", "Caption", "Font",
    "FormActive", "LeftBtnXOffset", "RightBtnXOffset", "DrawAppIcon", "RoundCorner", "RoundCornerBottom",
    "InactiveCaptionColor", "OnCustomBtnsClick", "OnHelpBtnClick", nullptr};

// Positions of the built-in table only the title bar reads.
enum : int {
    posTitleButtonsTransparent = 6,
    posLeftButtonOffset = 7,
    posRightButtonOffset = 8,
    posTitleButtonTop = 9,
    posTitleLeft = 10,
    posTitleClient = 11,
    posTitleRight = 12,
    posMinFormWidth = 13,
    posRoundCorner = 14,
};

constexpr int kTitleButtonFrames = 18;
constexpr int kMinFormHeight = 50;
constexpr int kDefaultBorderBuiltIn = 3;
constexpr int kDefaultBorderSkin = 4;
constexpr int kIconSize = 16;
constexpr int kCaptionAfterIcon = 21;
constexpr int kCaptionAfterBox = 5;
constexpr int kCaptionWithoutBox = 6;
constexpr int kCapSecExtra = 17;
constexpr int kRightToLeftCaptionGap = 10;

// The first of the three frames (normal, mouse-on, mouse-down) of each kind in the strip.
int FirstFrame(TskTitleBarBtnType type, bool maximized)
{
    switch (type) {
    case skControlBox: return 1;
    case skHelp: return 4;
    case skMax: return maximized ? 10 : 7;
    case skMin: return 13;
    case skClose: return 16;
    default: return 0;
    }
}

}  // namespace

TskTitleBar::TskTitleBar(TComponent* owner)
    : TCustomPanel(owner), m_sections(this), m_buttons(this),
      m_inactiveCaptionColor(kSystemColorFlag | COLOR_INACTIVECAPTIONTEXT),
      m_systemMenu(new TskTitleBarPopupMenu(this))
{
    m_align = alTop;
    m_uiStyle = DefaultUIStyle(owner);
    m_font.SetName("Tahoma");
    m_font.SetBold(true);
    m_font.SetColor(clWhite);
    m_parentFont = false;
    m_caption.clear();
    const TskTitleBarBtnType initial[] = {skControlBox, skClose, skMax, skMin};
    m_buttons.BeginUpdate();
    for (TskTitleBarBtnType type : initial)
        m_buttons.Add()->SetButtonType(type);
    m_buttons.EndUpdate();
    m_titlePicture.SetPixelFormat(pf24bit);
    m_background.SetPixelFormat(pf24bit);
    ApplyStyle(false);
}

TskTitleBar::~TskTitleBar()
{
    // The system menu is an owned component; it goes before the collections it reads.
    MarkDestroying();
    DestroyComponents();
}

bool TskTitleBar::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomPanel::HasPublished(name);
}

void TskTitleBar::CreateParams(TCreateParams& params)
{
    TCustomPanel::CreateParams(params);
    params.className = "SequoraSkinTitleBar";
    params.classStyle |= CS_DBLCLKS;
}

bool TskTitleBar::InSkinnedForm() const
{
    return m_parent && std::strcmp(m_parent->ClassName(), "TskForm") == 0;
}

int TskTitleBar::FormBorder() const
{
    if (!InSkinnedForm())
        return 0;
    LRESULT border = m_parent->HandleAllocated() ? SendMessageA(m_parent->Handle(), SKM_GETBORDERWIDTH, 0, 0) : 0;
    if (border > 0)
        return static_cast<int>(border);
    TskUIStyle resolved;
    return UsesFileTheme(m_fileTheme, m_uiStyle, resolved) ? kDefaultBorderSkin : kDefaultBorderBuiltIn;
}

void TskTitleBar::SetFileTheme(TskFileTheme* theme)
{
    ReferTo(m_fileTheme, theme);
    ApplyStyle(true);
}

void TskTitleBar::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    ApplyStyle(false);
}

void TskTitleBar::SetParent(TWinControl* parent)
{
    TCustomPanel::SetParent(parent);
    if (parent)
        SetBiDiMode(parent->BiDiMode());
}

void TskTitleBar::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    ApplyAutoSize();
}

void TskTitleBar::SetButtonInterval(int interval)
{
    m_buttonInterval = interval;
    Invalidate();
}

void TskTitleBar::SetFormActive(bool active)
{
    if (active == m_formActive)
        return;
    m_formActive = active;
    Invalidate();
}

void TskTitleBar::SetLeftBtnXOffset(int offset)
{
    m_leftBtnXOffset = offset;
    Invalidate();
}

void TskTitleBar::SetRightBtnXOffset(int offset)
{
    m_rightBtnXOffset = offset;
    Invalidate();
}

void TskTitleBar::SetDrawAppIcon(bool draw)
{
    m_drawAppIcon = draw;
    Invalidate();
}

void TskTitleBar::SetInactiveCaptionColor(TColor color)
{
    m_inactiveCaptionColor = color;
    Invalidate();
}

void TskTitleBar::ApplyStyle(bool fromThemeFile)
{
    if (m_custom)
        return;
    TskUIStyle resolved;
    bool skin = UsesFileTheme(m_fileTheme, m_uiStyle, resolved);
    m_sections.BeginUpdate();
    m_sections.Clear();
    if (skin)
        BuildSkinSections();
    else
        BuildBuiltInSections(resolved);
    m_sections.EndUpdate();
    for (int i = 0; i < m_buttons.Count(); ++i)
        ApplyButtonPictures(m_buttons.Items(i));
    m_systemMenu->SetFileTheme(m_fileTheme);
    m_systemMenu->SetUIStyle(m_uiStyle);
    if (!fromThemeFile) {
        TColor color = clWhite;
        if (skin)
            color = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_TITLEFONTCOLOR));
        else if (resolved == MacOS)
            color = clBlack;
        m_font.SetColor(color);
        m_parentFont = false;
    }
    m_autoSize = true;
    ApplyAutoSize();
    Invalidate();
}

void TskTitleBar::BuildBuiltInSections(TskUIStyle style)
{
    TskTitleBarSection* left = m_sections.Add();
    GetBuiltInBitmap(style, posTitleLeft, &left->Picture(), 0, 0);
    left->SetAutoSize(true);
    TskTitleBarSection* right = m_sections.Add();
    GetBuiltInBitmap(style, posTitleRight, &right->Picture(), 0, 0);
    right->SetAutoSize(true);
    right->SetAlign(skRight);
    TskTitleBarSection* client = m_sections.Add();
    GetBuiltInBitmap(style, posTitleClient, &client->Picture(), 0, 0);
    client->SetAlign(skClient);
    m_leftBtnXOffset = static_cast<int>(BuiltInInteger(style, posLeftButtonOffset));
    m_rightBtnXOffset = static_cast<int>(BuiltInInteger(style, posRightButtonOffset));
    m_captionTop = static_cast<int>(BuiltInInteger(style, posTitleButtonTop)) + (style == Mineral ? 3 : 0);
    m_roundCorner = static_cast<int>(BuiltInInteger(style, posRoundCorner));
    m_roundCornerBottom = 0;
    m_workColor = BuiltInColor(style, posFormColor);
    if (TCustomForm* form = ParentForm())
        form->SetMinSize(static_cast<int>(BuiltInInteger(style, posMinFormWidth)), kMinFormHeight);
}

void TskTitleBar::BuildSkinSections()
{
    bool five = m_fileTheme->GetBool(SKIN2_TITLEFIVESECT) != 0;
    auto add = [&](int key, TskTitleBarAlign align, bool autoSize, bool capSec) {
        TskTitleBarSection* s = m_sections.Add();
        m_fileTheme->GetBitmapFrame(key, &s->Picture(), 0, 0);
        if (align != skLeft)
            s->SetAlign(align);
        if (autoSize)
            s->SetAutoSize(true);
        s->SetCapSec(capSec);
    };
    add(SKIN2_TITLEBAR1, skLeft, true, false);
    add(SKIN2_TITLEBAR2, five ? skLeft : skClient, false, five);
    add(SKIN2_TITLEBAR3, five ? skLeft : skRight, true, false);
    if (five) {
        add(SKIN2_TITLEBAR4, skClient, false, false);
        add(SKIN2_TITLEBAR5, skRight, true, false);
    }
    m_leftBtnXOffset = static_cast<int>(m_fileTheme->GetInteger(SKIN2_TITLEBARICONPOSX));
    m_rightBtnXOffset = static_cast<int>(m_fileTheme->GetInteger(SKIN2_TITLEBARBUTTONPOSX));
    m_captionTop = static_cast<int>(m_fileTheme->GetInteger(SKIN2_TITLEBARCAPTIONTOP));
    m_workColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_FORMCOLOR));
    int width = 0;
    for (int i = 0; i < m_sections.Count(); ++i)
        width += m_sections.Items(i)->Picture().Width();
    for (int i = 0; i < m_buttons.Count(); ++i) {
        TskTitleBarButton* b = m_buttons.Items(i);
        if (b->Visible() && b->PicNormal().Graphic())
            width += b->PicNormal().Width() + m_buttonInterval + 1;
    }
    if (TCustomForm* form = ParentForm())
        form->SetMinSize(width, kMinFormHeight);
}

void TskTitleBar::ApplyButtonPictures(TskTitleBarButton* button)
{
    TskUIStyle resolved;
    bool skin = UsesFileTheme(m_fileTheme, m_uiStyle, resolved);
    int first = FirstFrame(button->ButtonType(), FormMaximized());
    int shift = InSkinnedForm() ? kTitleBarOverlap : 0;
    TPicture* pictures[] = {&button->PicNormal(), &button->PicMouseOn(), &button->PicMouseDown()};
    button->SetUIStyle(m_uiStyle);
    if (first == 0)
        return;     // a custom button keeps the pictures it was given
    for (int i = 0; i < 3; ++i) {
        if (skin)
            m_fileTheme->GetBitmapFrame(SKIN2_TITLEBUTTONS, pictures[i], first + i, kTitleButtonFrames);
        else
            GetBuiltInBitmap(resolved, posTitleButtonStrip, pictures[i], first + i, kTitleButtonFrames);
    }
    if (skin) {
        button->SetTransparent(m_fileTheme->GetBool(SKIN2_TITLEBTNTRANS) != 0);
        int top = button->ButtonType() == skControlBox ? SKIN2_TITLEBARICONPOSY : SKIN2_TITLEBARBUTTONPOSY;
        button->SetTop(static_cast<int>(m_fileTheme->GetInteger(top)) - shift);
    } else {
        button->SetTransparent(BuiltInFlag(resolved, posTitleButtonsTransparent) != 0);
        button->SetTop(static_cast<int>(BuiltInInteger(resolved, posTitleButtonTop)) - shift);
    }
}

void TskTitleBar::UpdateMaximizePictures()
{
    for (int i = 0; i < m_buttons.Count(); ++i)
        if (m_buttons.Items(i)->ButtonType() == skMax)
            ApplyButtonPictures(m_buttons.Items(i));
    Invalidate();
}

void TskTitleBar::ApplyAutoSize()
{
    if (m_sections.Count() == 0) {
        m_autoSize = false;
        return;
    }
    if (!m_autoSize)
        return;
    int h = m_sections.Items(0)->Picture().Height();
    if (h <= 0)
        return;
    if (InSkinnedForm())
        h -= kTitleBarOverlap;
    SetBounds(m_left, m_top, m_width, h);
}

TBitmap* TskTitleBar::WorkBitmap(int number)
{
    if (number == -1)
        return &m_titlePicture;
    if (number == -2)
        return &m_background;
    return nullptr;
}

void TskTitleBar::PrepareWorkBitmaps()
{
    int wantWidth = m_width + 2 * FormBorder();
    int wantHeight = m_height + (InSkinnedForm() ? kTitleBarOverlap : 0);
    if (m_titlePicture.Width() == wantWidth && m_titlePicture.Height() == wantHeight)
        return;
    TBitmap scratch;
    scratch.SetSize(1, 1);
    Layout(scratch.Canvas());
}

bool TskTitleBar::HasVisibleButton(TskTitleBarBtnType type) const
{
    for (int i = 0; i < m_buttons.Count(); ++i)
        if (m_buttons.Items(i)->Visible() && m_buttons.Items(i)->ButtonType() == type)
            return true;
    return false;
}

TskTitleBarButton* TskTitleBar::ControlBox() const
{
    for (int i = 0; i < m_buttons.Count(); ++i)
        if (m_buttons.Items(i)->Visible() && m_buttons.Items(i)->ButtonType() == skControlBox)
            return m_buttons.Items(i);
    return nullptr;
}

void TskTitleBar::Layout(TCanvas& canvas)
{
    int border = FormBorder();
    int overlap = InSkinnedForm() ? kTitleBarOverlap : 0;
    int layoutWidth = m_width + 2 * border;
    int layoutHeight = m_height + overlap;

    // Buttons, from the right edge inward, in strip coordinates.
    int x = m_width + border - m_rightBtnXOffset - 1 - border;
    int buttonsLeft = m_width;
    for (int i = 0; i < m_buttons.Count(); ++i) {
        TskTitleBarButton* b = m_buttons.Items(i);
        b->SetDrawnBounds(RECT{0, 0, 0, 0});
        if (!b->Visible() || !b->HasPictures() || b->ButtonType() == skControlBox)
            continue;
        int w = b->PicNormal().Width();
        x -= b->ButtonType() == skClose ? w : w + m_buttonInterval + 1;
        if (x + w > m_width)
            x = m_width - w;
        b->SetDrawnBounds(RECT{x, b->Top(), x + w, b->Top() + b->PicNormal().Height()});
        buttonsLeft = std::min(buttonsLeft, x);
    }
    // The control box, at the left.
    m_captionLeft = kCaptionWithoutBox;
    if (TskTitleBarButton* box = ControlBox()) {
        int bx = std::max(0, m_leftBtnXOffset - border - kTitleBarOverlap);
        if (m_drawAppIcon) {
            box->SetDrawnBounds(RECT{bx + 3, box->Top(), bx + 3 + kIconSize, box->Top() + kIconSize});
            m_captionLeft = bx + 3 + kCaptionAfterIcon;
        } else if (box->HasPictures()) {
            int w = box->PicNormal().Width();
            box->SetDrawnBounds(RECT{bx, box->Top() - 1, bx + w, box->Top() - 1 + box->PicNormal().Height()});
            m_captionLeft = bx + w + kCaptionAfterBox;
        }
    }
    canvas.Font().Assign(m_font);
    m_shownCaption = EllipsizeText(canvas, m_caption, buttonsLeft - m_captionLeft);
    int captionWidth = canvas.TextWidth(m_shownCaption);

    // Sections over the wider layout.
    m_titlePicture.SetSize(layoutWidth, layoutHeight);
    m_background.SetSize(layoutWidth, layoutHeight);
    if (m_titlePicture.Empty())
        return;
    TCanvas& title = m_titlePicture.Canvas();
    title.SetBrushColor(m_color);
    title.FillRect(RECT{0, 0, layoutWidth, layoutHeight});
    m_background.Canvas().SetBrushColor(m_workColor);
    m_background.Canvas().FillRect(RECT{0, 0, layoutWidth, layoutHeight});
    std::vector<RECT> places(static_cast<size_t>(m_sections.Count()), RECT{0, 0, 0, 0});
    int left = 0, right = layoutWidth;
    int previousWidth = 0;
    for (int i = 0; i < m_sections.Count(); ++i) {
        TskTitleBarSection* s = m_sections.Items(i);
        int w = s->Width();
        if (s->CapSec())
            w = std::max(0, captionWidth + m_leftBtnXOffset + kCapSecExtra - previousWidth);
        if (s->Align() == skLeft) {
            places[static_cast<size_t>(i)] = RECT{left, 0, left + w, layoutHeight};
            left += w;
        } else if (s->Align() == skRight) {
            places[static_cast<size_t>(i)] = RECT{right - w, 0, right, layoutHeight};
            right -= w;
        }
        previousWidth = w;
    }
    for (int i = 0; i < m_sections.Count(); ++i)
        if (m_sections.Items(i)->Align() == skClient)
            places[static_cast<size_t>(i)] = RECT{left, 0, std::max(left, right), layoutHeight};
    for (int i = 0; i < m_sections.Count(); ++i) {
        TskTitleBarSection* s = m_sections.Items(i);
        TBitmap* picture = s->Picture().Graphic();
        const RECT& r = places[static_cast<size_t>(i)];
        if (!picture || r.right <= r.left)
            continue;
        picture->SetTransparent(false);
        if (s->Stretch() || s->CapSec()) {
            title.StretchDraw(r, *picture);
        } else {
            const GdiRegion clip(CreateRectRgn(r.left, r.top, r.right, r.bottom));
            SelectClipRgn(title.Handle(), clip.Get());
            title.Draw(r.left, 0, *picture);
            SelectClipRgn(title.Handle(), nullptr);
        }
    }
}

void TskTitleBar::Paint()
{
    if (m_width <= 0 || m_height <= 0)
        return;
    TBitmap buffer;
    buffer.SetSize(m_width, m_height);
    TCanvas& canvas = buffer.Canvas();
    Layout(canvas);
    int border = FormBorder();
    int overlap = InSkinnedForm() ? kTitleBarOverlap : 0;
    BitBlt(canvas.Handle(), 0, 0, m_width, m_height, m_titlePicture.DC(), border, overlap, SRCCOPY);
    canvas.SetBrushStyle(bsClear);

    for (int i = 0; i < m_buttons.Count(); ++i) {
        TskTitleBarButton* b = m_buttons.Items(i);
        const RECT& r = b->Bounds();
        if (r.right <= r.left)
            continue;
        if (b->ButtonType() == skControlBox && m_drawAppIcon) {
            // The form's own small icon, else the system's application icon (neither is ours to free).
            TCustomForm* form = ParentForm();
            HICON icon = form && form->HandleAllocated()
                             ? reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_SMALL, 0))
                             : nullptr;
            if (!icon)
                icon = LoadIconA(nullptr, IDI_APPLICATION);
            if (icon)
                DrawIconEx(canvas.Handle(), r.left, r.top, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
            continue;
        }
        TPicture& picture = (i == m_hot && i == m_pressed) ? b->PicMouseDown()
                            : (i == m_hot && m_pressed < 0) ? b->PicMouseOn()
                                                             : b->PicNormal();
        if (TBitmap* g = picture.Graphic()) {
            g->SetTransparent(b->Transparent());
            canvas.Draw(r.left, r.top, *g);
        }
    }

    canvas.Font().Assign(m_font);
    if (!m_formActive)
        canvas.Font().SetColor(m_inactiveCaptionColor);
    int buttonsLeft = m_width;
    for (int i = 0; i < m_buttons.Count(); ++i) {
        const RECT& r = m_buttons.Items(i)->Bounds();
        if (r.right > r.left && m_buttons.Items(i)->ButtonType() != skControlBox)
            buttonsLeft = std::min(buttonsLeft, static_cast<int>(r.left));
    }
    if (UseRightToLeftLayout()) {
        RECT r = {m_captionLeft, m_captionTop - overlap, buttonsLeft - kRightToLeftCaptionGap, m_height};
        canvas.DrawText(m_shownCaption, r, DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX);
    } else {
        canvas.TextOut(m_captionLeft, m_captionTop - overlap, m_shownCaption);
    }
    BitBlt(m_canvas.Handle(), 0, 0, m_width, m_height, buffer.DC(), 0, 0, SRCCOPY);
}

int TskTitleBar::ButtonAt(int x, int y) const
{
    for (int i = 0; i < m_buttons.Count(); ++i) {
        const RECT& r = m_buttons.Items(i)->Bounds();
        if (r.right > r.left && x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return i;
    }
    return -1;
}

bool TskTitleBar::FormMaximized() const
{
    TCustomForm* form = ParentForm();
    if (InSkinnedForm())
        return form && form->HandleAllocated() && IsZoomed(form->Handle());
    return m_maximized;
}

void TskTitleBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPanel::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    int hit = ButtonAt(x, y);
    if (hit >= 0) {
        m_pressed = hit;
        m_hot = hit;
        Invalidate();
        return;
    }
    TCustomForm* form = ParentForm();
    if (form && form->HandleAllocated() && !FormMaximized()) {
        ReleaseCapture();
        POINT p = {x, y};
        ClientToScreen(m_handle, &p);
        SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
    }
}

void TskTitleBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomPanel::MouseMove(shift, x, y);
    int hit = ButtonAt(x, y);
    if (hit != m_hot) {
        m_hot = hit;
        Invalidate();
    }
}

void TskTitleBar::MouseLeave()
{
    m_hot = -1;
    Invalidate();
}

void TskTitleBar::CancelMode()
{
    m_pressed = -1;
    Invalidate();
}

void TskTitleBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPanel::MouseUp(button, shift, x, y);
    if (button != mbLeft)
        return;
    int pressed = m_pressed;
    m_pressed = -1;
    Invalidate();
    if (pressed >= 0 && pressed < m_buttons.Count() && ButtonAt(x, y) == pressed)
        ClickButton(m_buttons.Items(pressed));
}

void TskTitleBar::ClickButton(TskTitleBarButton* button)
{
    int index = button->Index();
    TskTitleBarBtnType type = button->ButtonType();
    ButtonAction(button);
    if (type == skCustom && OnCustomBtnsClick)
        OnCustomBtnsClick(this, index);
    else if (type == skHelp && OnHelpBtnClick)
        OnHelpBtnClick(this, index);
}

void TskTitleBar::MinimizeForm()
{
    TCustomForm* form = ParentForm();
    if (!form || !form->HandleAllocated())
        return;
    if (Application && Application->MainForm() == form)
        SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else
        ShowWindow(form->Handle(), SW_MINIMIZE);
}

void TskTitleBar::CloseForm()
{
    if (TCustomForm* form = ParentForm())
        form->Close();
}

void TskTitleBar::ButtonAction(TskTitleBarButton* button)
{
    TCustomForm* form = ParentForm();
    switch (button->ButtonType()) {
    case skMax:
        if (!form || !form->HandleAllocated())
            break;
        if (InSkinnedForm()) {
            ShowWindow(form->Handle(), IsZoomed(form->Handle()) ? SW_RESTORE : SW_MAXIMIZE);
        } else if (m_maximized) {
            m_maximized = false;
            SetControlBounds(form, m_restoreBounds);
        } else {
            m_restoreBounds = form->BoundsRect();
            m_maximized = true;
            RECT area = GetWorkArea();
            SetControlBounds(form, RECT{area.left - 2, area.top - 2, area.right + 2, area.bottom - 1});
        }
        UpdateMaximizePictures();
        break;
    case skMin:
        MinimizeForm();
        break;
    case skClose:
        CloseForm();
        break;
    case skControlBox: {
        POINT p = {0, m_height};
        if (m_handle)
            ClientToScreen(m_handle, &p);
        if (button->ControlBoxMenu())
            button->ControlBoxMenu()->Popup(p.x, p.y);
        else
            ShowSystemMenu(p.x, p.y);
        break;
    }
    default:
        break;
    }
}

void TskTitleBar::ShowSystemMenu(int x, int y)
{
    m_systemMenu->Popup(x, y);
}

void TskTitleBar::Notification(TComponent* component, TOperation operation)
{
    TCustomPanel::Notification(component, operation);
    if (operation != opRemove || !component)
        return;
    if (component == m_fileTheme) {
        m_fileTheme = nullptr;
        SetUIStyle(Indigo);
    }
    for (int i = 0; i < m_buttons.Count(); ++i)
        if (m_buttons.Items(i)->ControlBoxMenu() == component)
            m_buttons.Items(i)->SetControlBoxMenu(nullptr);
}

LRESULT TskTitleBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDBLCLK: {
        int hit = ButtonAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        if (hit < 0) {
            for (int i = 0; i < m_buttons.Count(); ++i)
                if (m_buttons.Items(i)->Visible() && m_buttons.Items(i)->ButtonType() == skMax) {
                    ButtonAction(m_buttons.Items(i));
                    break;
                }
            return 0;
        }
        if (m_buttons.Items(hit)->ButtonType() == skControlBox) {
            CloseForm();
            return 0;
        }
        break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
        if (TCustomForm* form = ParentForm())
            if (form->HandleAllocated())
                return SendMessageA(form->Handle(), message, wParam, lParam);
        break;
    default:
        break;
    }
    return TCustomPanel::WndProc(message, wParam, lParam);
}
