#include "TskForm.h"

#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "TApplicationEvents.h"
#include "TCustomForm.h"
#include "TskFileTheme.h"
#include "TskMainMenu.h"
#include "TskMenuBar.h"
#include "WindowDC.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kPublished[] = {
    "TitleBarCustom", "FileTheme", "UIStyle", "UIStyleAutoUpdateSub", "BorderColor", "BorderWidth",
    "TitleBarVisible", "BiDiMode", "Color", "Caption", "FormPanel", "TitleBarButtons", "TitleBarSections",
    "TitleBarDrawAppIcon", "Font", "Menu", "MenuBarColor", "MenuBarToColor", "MenuBarHeight", "RoundCorner",
    "RoundCornerBottom", "PopupMenu", "Version", "InactiveCaptionColor", "OnTitleBarCustomBtnsClick",
    "OnTitleBarHelpBtnClick", "OnMouseDown", "OnMouseMove", "OnClick", "OnMouseUp", nullptr};

const char kHostProperty[] = "SequoraSkinForm";
// The procedure under ours, kept on the window while ours stays in the chain only to pass the
// messages on: a skinned form went while another subclass stood above it.
const char kPassOnProperty[] = "SequoraSkinFormPassOn";
const char kFormPanelIsForm[] = "Sorry, you can't select the Form assign to FormPanel property";

// Notifications of the form framework after which the system caption may have come back.
constexpr UINT kFrameworkNotices[] = {0xB033, 0xB03A, 0xBE10};
// What a multiple-document main form would answer with its frame sizes (nothing here answers).
constexpr UINT kAskFrameBottom = 0x87D0;
constexpr UINT kAskFrameLeft = 0x87D1;

constexpr int kLargestFrame = 12;
constexpr int kFallbackFrame = 4;
constexpr int kSkinBorderAtLeast = 4;
constexpr int kHiddenTitleTop = 1;

// Positions of the built-in table the skinned form reads.
enum : int { posRoundCorner = 14, posFrameLineWidth = 17 };

int FrameOrFallback(int measured)
{
    return measured < 0 || measured > kLargestFrame ? kFallbackFrame : measured;
}

bool IsChildOf(HWND window, HWND ancestor)
{
    for (; window; window = GetParent(window))
        if (window == ancestor)
            return true;
    return false;
}

}  // namespace

TskForm::TskForm(TComponent* owner) : TCustomPanel(owner)
{
    auto* form = dynamic_cast<TCustomForm*>(owner);
    if (form) {
        for (int i = 0; i < form->ControlCount(); ++i)
            if (std::strcmp(form->Controls(i)->ClassName(), "TskForm") == 0)
                return;     // one skinned frame a form: this one stays a plain panel
    }
    m_frame.SetPixelFormat(pf24bit);
    m_titleBar = new TskTitleBar(this);
    m_titleBar->SetParent(this);
    m_menuBarColor = m_menuBarToColor = m_color;
    m_caption = " ";
    m_align = alClient;
    if (!form)
        return;
    m_host = form;

    // A frame the system paints round a single or tool window would not size; a dialog's does.
    m_formerBorderStyle = form->BorderStyle();
    if (m_formerBorderStyle == bsNone || m_formerBorderStyle == bsSingle || m_formerBorderStyle == bsToolWindow)
        form->SetBorderStyle(bsDialog);
    HWND window = form->Handle();
    m_hostWindow = window;
    if (window) {
        RECT outer, inner;
        GetWindowRect(window, &outer);
        GetClientRect(window, &inner);
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&inner), 2);
        if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
            HWND main = GetParent(window);
            m_frameBottom = FrameOrFallback(static_cast<int>(SendMessageA(main, kAskFrameBottom, 0, 0)));
            m_frameLeft = FrameOrFallback(static_cast<int>(SendMessageA(main, kAskFrameLeft, 0, 0)));
        } else {
            m_frameBottom = FrameOrFallback(outer.bottom - inner.bottom);
            m_frameLeft = FrameOrFallback(inner.left - outer.left);
        }
        m_maximizedAtCreation = IsZoomed(window) != FALSE;
    }
    form->SetBorderWidth(0);
    m_restoreBounds = form->BoundsRect();
    SetParent(form);
    m_uiStyle = Indigo;
    SetUIStyle(Indigo);
    SetCaption(form->Caption());
    if (window) {
        ::SetMenu(window, nullptr);
        RemoveCaptionStyle();
        Subclass();
    }
    m_appEvents = new TApplicationEvents(this);
    m_appEvents->OnMessage = [this](MSG& msg, bool& handled) { ApplicationMessage(msg, handled); };
    RefreshFrame();
}

TskForm::~TskForm()
{
    if (m_menu) {
        m_menu->SetForm(nullptr);
        m_menu = nullptr;
    }
    delete m_appEvents;
    m_appEvents = nullptr;
    bool hostGoing = m_host && m_host->IsDestroying();
    Unsubclass();
    // Taken off a living form: its own caption and frame come back.
    if (m_hostWindow && IsWindow(m_hostWindow) && !hostGoing) {
        LONG style = GetWindowLongA(m_hostWindow, GWL_STYLE);
        SetWindowLongA(m_hostWindow, GWL_STYLE, style | WS_CAPTION);
        SetWindowRgn(m_hostWindow, nullptr, TRUE);
        SetWindowPos(m_hostWindow, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    MarkDestroying();
    DestroyComponents();
}

bool TskForm::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TCustomPanel::HasPublished(name);
}

// --- the host window ------------------------------------------------------------------------

void TskForm::Subclass()
{
    // Ours still in the chain, passing messages on: this skinned form takes that place again, so
    // that the procedure never stands twice in the chain.
    if (auto passOn = reinterpret_cast<WNDPROC>(RemovePropA(m_hostWindow, kPassOnProperty))) {
        m_savedProc = passOn;
        SetPropA(m_hostWindow, kHostProperty, this);
        return;
    }
    SetPropA(m_hostWindow, kHostProperty, this);
    m_savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_hostWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TskForm::HostWindowProc)));
}

void TskForm::Unsubclass()
{
    if (!m_hostWindow || !m_savedProc || !IsWindow(m_hostWindow))
        return;
    RemovePropA(m_hostWindow, kHostProperty);
    if (GetWindowLongPtrA(m_hostWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TskForm::HostWindowProc))
        SetWindowLongPtrA(m_hostWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_savedProc));
    else        // a subclass above still calls ours: it passes everything on from now on
        SetPropA(m_hostWindow, kPassOnProperty, reinterpret_cast<HANDLE>(m_savedProc));
    m_savedProc = nullptr;
}

LRESULT CALLBACK TskForm::HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = static_cast<TskForm*>(GetPropA(window, kHostProperty));
    if (!form) {
        auto passOn = reinterpret_cast<WNDPROC>(GetPropA(window, kPassOnProperty));
        if (!passOn)
            return DefWindowProcA(window, message, wParam, lParam);
        // Once the subclass above has gone, ours leaves the chain too.
        bool current = GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TskForm::HostWindowProc);
        if (current || message == WM_NCDESTROY)
            RemovePropA(window, kPassOnProperty);
        if (current)
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(passOn));
        return CallWindowProcA(passOn, window, message, wParam, lParam);
    }
    try {
        if (message == WM_NCDESTROY) {
            WNDPROC saved = form->m_savedProc;
            RemovePropA(window, kHostProperty);
            form->m_savedProc = nullptr;
            form->m_hostWindow = nullptr;
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
            return CallWindowProcA(saved, window, message, wParam, lParam);
        }
        return form->HostMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT TskForm::CallHost(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(m_savedProc ? m_savedProc : DefWindowProcA, m_hostWindow, message, wParam, lParam);
}

bool TskForm::IsHostWindow(HWND window) const
{
    return m_hostWindow && IsChildOf(window, m_hostWindow);
}

void TskForm::RemoveCaptionStyle()
{
    if (!m_hostWindow)
        return;
    LONG style = GetWindowLongA(m_hostWindow, GWL_STYLE);
    if (style & WS_CAPTION)
        SetWindowLongA(m_hostWindow, GWL_STYLE, style & ~WS_CAPTION);
}

LRESULT TskForm::HostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool minimized = IsIconic(m_hostWindow) != FALSE;
    switch (message) {
    case WM_NCCALCSIZE: {
        if (minimized)
            break;
        RECT* r = reinterpret_cast<RECT*>(lParam);     // the first of the three when wParam is set
        r->left += LeftBorder();
        r->right -= RightBorder();
        r->top += TopBorder();
        r->bottom -= BottomBorder();
        if (r->right < r->left)
            r->right = r->left;
        if (r->bottom < r->top)
            r->bottom = r->top;
        return 0;
    }
    case WM_NCPAINT:
        if (minimized)
            break;
        PaintFrame();
        return 0;
    case WM_NCACTIVATE:
        if (minimized)
            break;
        m_titleBar->SetFormActive(wParam != FALSE);
        m_titleBar->Invalidate();
        PaintFrame();
        return 1;
    case WM_ACTIVATE: {
        LRESULT r = CallHost(message, wParam, lParam);
        m_titleBar->SetFormActive(LOWORD(wParam) != WA_INACTIVE);
        PaintFrame();
        return r;
    }
    case WM_KEYDOWN:
        if (m_menu && m_host && m_host->Active() && m_menu->IsShortCut(static_cast<WORD>(wParam), KeyboardShiftState()))
            return 0;
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == ' ') {
            ShowSystemMenuFromKeyboard();
            return 0;
        }
        break;
    case WM_SHOWWINDOW: {
        LRESULT r = CallHost(message, wParam, lParam);
        ::SetMenu(m_hostWindow, nullptr);
        return r;
    }
    case SKM_GETBORDERWIDTH:
        return LeftBorder();
    case WM_SIZE: {
        LRESULT r = CallHost(message, wParam, lParam);
        if (wParam == SIZE_MAXIMIZED) {
            MaximizedGeometry();
        } else if (wParam == SIZE_RESTORED && m_maximizedAtCreation) {
            m_maximizedAtCreation = false;
            SetControlBounds(m_host, m_restoreBounds);
        }
        if (m_hostWindow && (GetWindowLongA(m_hostWindow, GWL_STYLE) & WS_CHILD)) {
            m_titleBar->SetVisible(wParam != SIZE_MAXIMIZED);
            HWND client = GetParent(m_hostWindow);
            SendMessageA(client, wParam == SIZE_MAXIMIZED ? WM_MDIMAXIMIZE : WM_MDIRESTORE,
                         reinterpret_cast<WPARAM>(m_hostWindow), 0);
            SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
        }
        m_titleBar->UpdateMaximizePictures();
        if (m_host)
            m_host->Realign();
        RebuildRegion();
        RedrawWindow(m_hostWindow, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return r;
    }
    default:
        for (UINT notice : kFrameworkNotices) {
            if (message != notice)
                continue;
            LRESULT r = CallHost(message, wParam, lParam);
            if (GetWindowLongA(m_hostWindow, GWL_STYLE) & WS_CAPTION) {
                RemoveCaptionStyle();
                RefreshFrame();
            }
            return r;
        }
        break;
    }
    return CallHost(message, wParam, lParam);
}

void TskForm::MaximizedGeometry()
{
    if (m_placingMaximized || !m_hostWindow)
        return;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(m_hostWindow, MONITOR_DEFAULTTONEAREST), &info))
        return;
    RECT area = info.rcWork;
    // Wider than the work area so the side borders fall off the screen's edges.
    RECT want = {area.left - 2, area.top - 2, area.right + 2, area.bottom - 1};
    RECT now;
    GetWindowRect(m_hostWindow, &now);
    if (EqualRect(&now, &want))
        return;
    m_placingMaximized = true;
    SetWindowPos(m_hostWindow, nullptr, want.left, want.top, want.right - want.left, want.bottom - want.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_placingMaximized = false;
}

void TskForm::ApplicationMessage(MSG& msg, bool& handled)
{
    if (!IsHostWindow(msg.hwnd))
        return;
    if (msg.message == WM_SYSCHAR && msg.wParam == ' ') {
        handled = true;
        ShowSystemMenuFromKeyboard();
    } else if (msg.message == WM_KEYDOWN && m_menu && m_host && m_host->Active()) {
        handled = m_menu->IsShortCut(static_cast<WORD>(msg.wParam), KeyboardShiftState());
    }
}

void TskForm::ShowSystemMenuFromKeyboard()
{
    if (!m_hostWindow)
        return;
    RECT r;
    GetWindowRect(m_hostWindow, &r);
    int below = TopBorder() + (m_titleBar->Visible() ? m_titleBar->Height() : 0);
    m_titleBar->ShowSystemMenu(r.left, r.top + below);
}

// --- borders ----------------------------------------------------------------------------------

int TskForm::LeftBorder() const
{
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, m_uiStyle, resolved))
        return std::max(kSkinBorderAtLeast, m_skinLeft);
    return BottomBorder();
}

int TskForm::RightBorder() const
{
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, m_uiStyle, resolved))
        return std::max(kSkinBorderAtLeast, m_skinRight);
    return BottomBorder();
}

int TskForm::BottomBorder() const
{
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, m_uiStyle, resolved))
        return std::max(kSkinBorderAtLeast, m_skinBottom);
    return m_frameLineWidth == 3 ? 4 : m_frameLineWidth + 2;
}

int TskForm::TopBorder() const
{
    return TitleBarVisible() ? kTitleBarOverlap : kHiddenTitleTop;
}

// --- properties -------------------------------------------------------------------------------

void TskForm::SetFileTheme(TskFileTheme* theme)
{
    if (theme == m_fileTheme)
        return;
    if (theme && IsLoading() && m_host && theme->Owner() != m_host) {
        m_host->SetClientHeight(m_host->ClientHeight() + 3);
        m_host->SetClientWidth(m_host->ClientWidth() + 4);
    }
    ReferTo(m_fileTheme, theme);
    SetUIStyle(m_uiStyle);
}

void TskForm::SetUIStyle(TskUIStyle style)
{
    m_uiStyle = style;
    if (!m_titleBar) {
        Invalidate();       // a plain panel: no frame to restyle
        return;
    }
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, style, resolved)) {
        m_color = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_FORMCOLOR));
        m_menuBarColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_MENUBARSTARTCOLOR));
        m_menuBarToColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_MENUBARENDCOLOR));
        TBitmap* left = m_fileTheme->GetBitmap(SKIN2_FORMLEFTBORDER);
        TBitmap* right = m_fileTheme->GetBitmap(SKIN2_FORMRIGHTBORDER);
        TBitmap* bottom = m_fileTheme->GetBitmap(SKIN2_FORMBOTTOMBORDER1);
        m_skinLeft = left ? left->Width() : 0;
        m_skinRight = right ? right->Width() : 0;
        m_skinBottom = bottom ? bottom->Height() : 0;
        m_transparentColor = static_cast<TColor>(m_fileTheme->GetColor(SKIN2_TRANSCOLOR));
        m_titleNeedsRegion = m_fileTheme->GetBool(SKIN2_TITLEBARNEEDREGION) != 0;
        m_bottomNeedsRegion = m_fileTheme->GetBool(SKIN2_BOTTOMBORDERNEEDREGION) != 0;
        m_titleRegionMin = static_cast<int>(m_fileTheme->GetInteger(SKIN2_TITLEBARREGIONMINY));
        m_titleRegionMax = static_cast<int>(m_fileTheme->GetInteger(SKIN2_TITLEBARREGIONMAXY));
        m_bottomRegionMin = static_cast<int>(m_fileTheme->GetInteger(SKIN2_BOTTOMREGIONMINY));
        m_bottomRegionMax = static_cast<int>(m_fileTheme->GetInteger(SKIN2_BOTTOMREGIONMAXY));
    } else {
        m_titleBar->SetRoundCornerBottom(0);
        m_skinLeft = m_skinRight = m_skinBottom = 0;
        m_transparentColor = RGB(255, 0, 255);
        m_titleNeedsRegion = m_bottomNeedsRegion = false;
        m_borderColor = BuiltInColor(resolved, posBorderColor);
        m_frameLineWidth = static_cast<int>(BuiltInInteger(resolved, posFrameLineWidth));
        m_color = BuiltInColor(resolved, posFormColor);
        m_menuBarColor = m_menuBarToColor = m_color;
        m_titleBar->SetRoundCorner(static_cast<int>(BuiltInInteger(resolved, posRoundCorner)));
    }
    m_titleBar->SetFileTheme(m_fileTheme);
    m_titleBar->SetUIStyle(style);
    if (m_menu) {
        m_menu->SetFileTheme(m_fileTheme);
        m_menu->SetUIStyle(style);
    }
    if (m_autoUpdateSub && m_host)
        ApplyThemeToChildren(m_host, style, m_fileTheme);
    if (m_menuBar)
        m_menuBar->SetColor(m_menuBarColor);
    RefreshFrame();
    Invalidate();
    UpdateMinHeight();
}

void TskForm::UpdateMinHeight()
{
    if (!m_host)
        return;
    int height = (m_menuBar ? m_menuBarHeight : 0) + (m_titleBar->Visible() ? m_titleBar->Height() : 0) +
                 BottomBorder() + kTitleBarOverlap;
    m_host->SetMinSize(m_host->MinWidth(), height);
}

void TskForm::SetBorderColor(TColor color)
{
    m_borderColor = color;
    PaintFrame();
}

void TskForm::SetBorderWidth(int width)
{
    m_frameLineWidth = width;
    RefreshFrame();
}

void TskForm::SetTitleBarVisible(bool visible)
{
    if (!m_titleBar)
        return;
    m_titleBar->SetVisible(visible);
    RefreshFrame();
}

void TskForm::SetColor(TColor color)
{
    TCustomPanel::SetColor(color);
    PaintFrame();
}

void TskForm::SetCaption(const std::string& caption)
{
    if (!m_titleBar) {
        TCustomPanel::SetCaption(caption);
        return;
    }
    m_titleBar->SetCaption(caption);
    if (m_host)
        m_host->SetCaption(caption);
}

void TskForm::SetFormPanel(TCustomPanel* panel)
{
    if (panel == this) {
        ShowRefusal(kFormPanelIsForm);
        return;
    }
    ReferTo(m_formPanel, panel);
    if (!panel)
        return;
    panel->SetAlign(alClient);
    panel->SetCaption("");
    if (std::strcmp(panel->ClassName(), "TCustomPanel") == 0 || std::strcmp(panel->ClassName(), "TPanel") == 0)
        panel->SetBorderWidth(0);
}

void TskForm::SetMenu(TskMainMenu* menu)
{
    if (m_menu && m_menu != menu) {
        m_menu->SetForm(nullptr);
        RemoveFreeNotification(m_menu);
    }
    m_menu = menu;
    if (menu) {
        menu->SetForm(this);
        FreeNotification(menu);
        menu->SetFileTheme(m_fileTheme);
        menu->SetUIStyle(m_uiStyle);
        if (!m_menuBar) {
            m_menuBar = new TskMenuBar(this, this);
            m_menuBar->SetColor(m_menuBarColor);
            m_menuBar->SetButtonHeight(m_menuBarHeight);
            m_menuBar->SetParent(this);
        }
        RebuildMenuBar();
    } else if (m_menuBar) {
        TskMenuBar* bar = m_menuBar;
        m_menuBar = nullptr;
        bar->Release();
    }
    UpdateMinHeight();
    RefreshFrame();
}

void TskForm::RebuildMenuBar()
{
    if (m_menuBar)
        m_menuBar->RebuildButtons(m_menu);
    PaintFrame();
}

void TskForm::RefreshMenuBar()
{
    if (m_menuBar)
        m_menuBar->RefreshButtons();
    PaintFrame();
}

void TskForm::UpdateMenuBarFont()
{
    if (m_menuBar)
        m_menuBar->UpdateFont(m_menu);
}

void TskForm::SetMenuBarColor(TColor color)
{
    m_menuBarColor = color;
    if (m_menuBar)
        m_menuBar->SetColor(color);
    PaintFrame();
}

void TskForm::SetMenuBarToColor(TColor color)
{
    m_menuBarToColor = color;
    if (m_menuBar)
        m_menuBar->Invalidate();
    PaintFrame();
}

void TskForm::SetMenuBarHeight(int height)
{
    m_menuBarHeight = height;
    if (m_menuBar)
        m_menuBar->SetButtonHeight(height);
    UpdateMinHeight();
    PaintFrame();
}

void TskForm::SetRoundCorner(int corner)
{
    if (m_titleBar)
        m_titleBar->SetRoundCorner(corner);
    RebuildRegion();
}

void TskForm::SetRoundCornerBottom(int corner)
{
    if (m_titleBar)
        m_titleBar->SetRoundCornerBottom(corner);
    RebuildRegion();
}

void TskForm::Notification(TComponent* component, TOperation operation)
{
    TCustomPanel::Notification(component, operation);
    if (operation != opRemove || !component)
        return;
    if (component == m_fileTheme) {
        m_fileTheme = nullptr;
        if (m_host)
            ApplyThemeToChildren(m_host, Indigo, nullptr);
        SetUIStyle(Indigo);
    } else if (component == m_menu) {
        m_menu = nullptr;
        if (m_menuBar && !IsDestroying()) {
            TskMenuBar* bar = m_menuBar;
            m_menuBar = nullptr;
            bar->Release();
        }
    } else if (component == m_formPanel) {
        m_formPanel = nullptr;
    } else if (component == m_menuBar) {
        m_menuBar = nullptr;
    } else if (component == m_appEvents) {
        m_appEvents = nullptr;
    }
}

// --- painting ---------------------------------------------------------------------------------

void TskForm::RefreshFrame()
{
    if (!m_hostWindow)
        return;
    RemoveCaptionStyle();
    SetWindowPos(m_hostWindow, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The client area changed without the window's size: lay the form's controls out again.
    if (m_host)
        m_host->Realign();
    PaintFrame();
    RebuildRegion();
}

void TskForm::PaintFrame()
{
    if (!m_hostWindow || IsIconic(m_hostWindow))
        return;
    RECT window;
    GetWindowRect(m_hostWindow, &window);
    int w = window.right - window.left;
    int h = window.bottom - window.top;
    if (w <= 0 || h <= 0)
        return;
    m_frame.SetSize(w, h);
    if (m_frame.Empty())
        return;
    TCanvas& canvas = m_frame.Canvas();
    int left = LeftBorder(), right = RightBorder(), bottom = BottomBorder(), top = TopBorder();
    canvas.SetBrushColor(m_color);
    canvas.FillRect(RECT{0, 0, w, h});

    int titleBottom = top;
    if (m_titleBar->Visible()) {
        // The title pictures as the title bar laid them out, over the whole width (laid out
        // again first when the form's size changed before the bar painted).
        m_titleBar->PrepareWorkBitmaps();
        TBitmap* title = m_titleBar->WorkBitmap(-1);
        if (title && !title->Empty())
            BitBlt(canvas.Handle(), 0, 0, title->Width(), title->Height(), title->DC(), 0, 0, SRCCOPY);
        titleBottom = top + m_titleBar->Height();
    }
    if (m_menuBar && m_menuBar->Visible()) {
        int barHeight = m_menuBar->Height();
        RECT sides[] = {{0, titleBottom, left, titleBottom + barHeight}, {w - right, titleBottom, w, titleBottom + barHeight}};
        for (const RECT& r : sides) {
            if (m_menuBarColor != m_menuBarToColor)
                DrawVerticalGradient(canvas, r, m_menuBarColor, m_menuBarToColor);
            else {
                canvas.SetBrushColor(m_menuBarColor);
                canvas.FillRect(r);
            }
        }
    }
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, m_uiStyle, resolved)) {
        RECT leftSide = {0, titleBottom, left, h - bottom};
        RECT rightSide = {w - right, titleBottom, w, h - bottom};
        if (TBitmap* b = m_fileTheme->GetBitmap(SKIN2_FORMLEFTBORDER))
            canvas.StretchDraw(leftSide, *b);
        if (TBitmap* b = m_fileTheme->GetBitmap(SKIN2_FORMRIGHTBORDER))
            canvas.StretchDraw(rightSide, *b);
        DrawSkinBottomBorder(canvas, RECT{0, h - bottom, w, h});
    } else {
        int line = m_frameLineWidth;
        canvas.SetBrushColor(m_borderColor);
        canvas.FillRect(RECT{0, titleBottom, line, h});
        canvas.FillRect(RECT{w - line, titleBottom, w, h});
        canvas.FillRect(RECT{0, h - line, w, h});
        if (!m_titleBar->Visible())
            canvas.FillRect(RECT{0, 0, w, 1});
    }

    WindowDC dc(m_hostWindow, true);
    RECT client;
    GetClientRect(m_hostWindow, &client);
    MapWindowPoints(m_hostWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    BitBlt(dc.Get(), 0, 0, w, h, m_frame.DC(), 0, 0, SRCCOPY);
}

void TskForm::Paint()
{
    RECT client = ClientRect();
    const char* tile = m_uiStyle == MacOS ? "MACOS_FORM_BACKGROUND" : m_uiStyle == Mineral ? "MINERAL_FORM_BACKGROUND" : nullptr;
    TPicture picture;
    if (tile && picture.LoadFromResourceName(nullptr, tile)) {
        TBitmap buffer;
        buffer.SetSize(client.right, client.bottom);
        if (!buffer.Empty()) {
            TilePicture(buffer.Canvas(), picture, client);
            BitBlt(m_canvas.Handle(), 0, 0, client.right, client.bottom, buffer.DC(), 0, 0, SRCCOPY);
        }
    } else {
        m_canvas.SetBrushColor(m_color);
        m_canvas.FillRect(client);
    }
    PaintFrame();
}

LRESULT TskForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == SKM_GETBORDERWIDTH)
        return m_host ? LeftBorder() : 0;
    return TCustomPanel::WndProc(message, wParam, lParam);
}

void TskForm::DrawSkinBottomBorder(TCanvas& canvas, const RECT& edge)
{
    TBitmap* picture = m_fileTheme->GetBitmap(SKIN2_FORMBOTTOMBORDER1);
    if (!picture)
        return;
    if (m_fileTheme->GetBool(SKIN2_BOTTOMBORDERTHREESECT))
        DrawThreePartBitmap(*picture, canvas, edge, m_transparentColor, false);
    else
        canvas.StretchDraw(edge, *picture);
}

// --- the window region --------------------------------------------------------------------------

HRGN TskForm::SkinRegion(int width, int height)
{
    GdiRegion whole(CreateRectRgn(0, 0, 0, 0));
    auto addRows = [&](TBitmap* picture, int atY, int minY, int maxY, bool scan) {
        if (!picture || picture->Empty())
            return;
        HDC dc = picture->DC();
        for (int y = 0; y < picture->Height(); ++y) {
            if (!scan || y < minY || y > maxY) {
                GdiRegion row(CreateRectRgn(0, atY + y, width, atY + y + 1));
                CombineRgn(whole.Get(), whole.Get(), row.Get(), RGN_OR);
                continue;
            }
            int x = 0;
            while (x < width && x < picture->Width()) {
                while (x < width && x < picture->Width() && GetPixel(dc, x, y) == ColorToRGB(m_transparentColor))
                    ++x;
                int start = x;
                while (x < width && x < picture->Width() && GetPixel(dc, x, y) != ColorToRGB(m_transparentColor))
                    ++x;
                if (x > start) {
                    GdiRegion run(CreateRectRgn(start, atY + y, x, atY + y + 1));
                    CombineRgn(whole.Get(), whole.Get(), run.Get(), RGN_OR);
                }
            }
        }
    };
    TBitmap* title = m_titleBar->Visible() ? m_titleBar->WorkBitmap(-1) : nullptr;
    int titleHeight = title ? title->Height() : 0;
    addRows(title, 0, m_titleRegionMin, m_titleRegionMax, m_titleNeedsRegion);
    int bottom = BottomBorder();
    GdiRegion middle(CreateRectRgn(0, titleHeight, width, height - bottom));
    CombineRgn(whole.Get(), whole.Get(), middle.Get(), RGN_OR);
    // The bottom border scanned as it is painted.
    TBitmap laidBottom;
    if (m_fileTheme->GetBitmap(SKIN2_FORMBOTTOMBORDER1)) {
        laidBottom.SetSize(width, bottom);
        laidBottom.Canvas().SetBrushColor(m_transparentColor);
        laidBottom.Canvas().FillRect(RECT{0, 0, width, bottom});
        DrawSkinBottomBorder(laidBottom.Canvas(), RECT{0, 0, width, bottom});
    }
    addRows(laidBottom.Empty() ? nullptr : &laidBottom, height - bottom, m_bottomRegionMin, m_bottomRegionMax,
            m_bottomNeedsRegion);
    return whole.Release();
}

void TskForm::RebuildRegion()
{
    if (!m_hostWindow)
        return;
    RECT window;
    GetWindowRect(m_hostWindow, &window);
    int w = window.right - window.left;
    int h = window.bottom - window.top;
    GdiRegion region;
    TskUIStyle resolved;
    if (UsesFileTheme(m_fileTheme, m_uiStyle, resolved)) {
        if (m_titleNeedsRegion || m_bottomNeedsRegion)
            region.Reset(SkinRegion(w, h));
        else
            region.Reset(CreateRectRgn(0, 0, w, h));
    } else {
        int upper = RoundCorner();
        int lower = std::max(0, RoundCornerBottom());
        int half = h / 2;
        // Each half is a round rectangle reaching past the middle, cut at the middle, so the
        // corners meeting there stay square.
        region.Reset(CreateRoundRectRgn(0, 0, w + 1, half + upper + 1, upper, upper));
        GdiRegion cut(CreateRectRgn(0, 0, w, half));
        CombineRgn(region.Get(), region.Get(), cut.Get(), RGN_AND);
        GdiRegion bottom(CreateRoundRectRgn(0, half - lower, w + 1, h + 1, lower, lower));
        GdiRegion bottomCut(CreateRectRgn(0, half, w, h));
        CombineRgn(bottom.Get(), bottom.Get(), bottomCut.Get(), RGN_AND);
        CombineRgn(region.Get(), region.Get(), bottom.Get(), RGN_OR);
    }
    if (region && SetWindowRgn(m_hostWindow, region.Get(), TRUE))
        region.Release();       // the window owns it now
}
