#include "CSkinButton.h"

#include <mmsystem.h>
#include "ShellLaunch.h"

#include <cstring>
#include <vector>

#include "CSelectGuard.h"
#include "CSharedBitmaps.h"
#include "CWinApp.h"
#include "SystemFunction.h"

namespace {

BOOL WINAPI SystemPlaySound(LPCSTR sound, HMODULE module, DWORD flags)
{
    // Sounds are rare (no button of the wizard has one): winmm loads on the first.
    static const auto playSound = SystemFunction<decltype(&::PlaySoundA)>("winmm.dll", "PlaySoundA");
    return playSound && playSound(sound, module, flags);
}

CSkinButton::PlaySoundFn g_playSound = &SystemPlaySound;

// Two colours a parent's painting is unlikely to leave everywhere: when the copy still holds
// one of them throughout, the parent did not paint itself into it.
constexpr COLORREF kSentinels[] = {RGB(1, 254, 3), RGB(254, 2, 253)};

void Draw3dRect(HDC dc, const CRect& rect, COLORREF topLeft, COLORREF bottomRight)
{
    auto line = [dc](int l, int t, int r, int b, COLORREF c) {
        HBRUSH brush = ::CreateSolidBrush(c);
        const RECT part = {l, t, r, b};
        ::FillRect(dc, &part, brush);
        ::DeleteObject(brush);
    };
    line(rect.left, rect.top, rect.right - 1, rect.top + 1, topLeft);
    line(rect.left, rect.top, rect.left + 1, rect.bottom - 1, topLeft);
    line(rect.right - 1, rect.top, rect.right, rect.bottom, bottomRight);
    line(rect.left, rect.bottom - 1, rect.right, rect.bottom, bottomRight);
}

void CopyText(char (&target)[CSkinButton::kTextMax], const char* source)
{
    ::lstrcpynA(target, source ? source : "", CSkinButton::kTextMax);
}

}  // namespace

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_CANCELMODE()
    ON_MESSAGE(WM_KILLFOCUS, CSkinButton::OnKillFocus)
    ON_MESSAGE(WM_ACTIVATE, CSkinButton::OnActivate)
    ON_MESSAGE(WM_ENABLE, CSkinButton::OnEnable)
    ON_MESSAGE(WM_GETDLGCODE, CSkinButton::OnGetDlgCode)
    ON_MESSAGE(BM_SETSTYLE, CSkinButton::OnSetStyle)
    ON_MESSAGE(BM_GETCHECK, CSkinButton::OnGetCheck)
    ON_MESSAGE(BM_SETCHECK, CSkinButton::OnSetCheck)
    ON_MESSAGE(WM_SYSCOLORCHANGE, CSkinButton::OnSysColorChange)
    ON_MESSAGE(WM_SETCURSOR, CSkinButton::OnSetCursor)
    ON_MESSAGE(WM_MENUCHAR, CSkinButton::OnMenuChar)
    ON_MESSAGE(WM_MEASUREITEM, CSkinButton::OnMeasureItem)
    ON_MESSAGE(WM_DRAWITEM, CSkinButton::OnDrawItem)
END_MESSAGE_MAP()

void CSkinButton::SetPlaySound(PlaySoundFn play)
{
    g_playSound = play ? play : &SystemPlaySound;
}

CSkinButton::CSkinButton()
{
    ResetColors(FALSE);
}

CSkinButton::~CSkinButton()
{
    ReleaseBackgroundCopy();
    FreeSet(m_unchecked);
    FreeSet(m_checked);
    FreeIcons();
    if (m_hCursor)
        ::DestroyCursor(m_hCursor);
    m_menu.DestroyMenu();
}

// --- bitmap sets -------------------------------------------------------------------------------

HBITMAP CSkinButton::MakeMask(HBITMAP image, DWORD width, DWORD height, COLORREF transparent)
{
    HBITMAP mask = ::CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, 1, nullptr);
    if (!mask)
        return nullptr;
    HDC source = ::CreateCompatibleDC(nullptr);
    HDC target = ::CreateCompatibleDC(nullptr);
    if (source && target) {
        CSelectGuard selectImage(source, image);
        CSelectGuard selectMask(target, mask);
        // Mask bits are 1 where the image has the transparent colour ...
        const COLORREF oldBack = ::SetBkColor(source, transparent);
        ::BitBlt(target, 0, 0, static_cast<int>(width), static_cast<int>(height), source, 0, 0, SRCCOPY);
        // ... and there the image turns black, so that mask AND then image OR leaves the background.
        const COLORREF oldText = ::SetTextColor(source, RGB(255, 255, 255));
        ::SetBkColor(source, RGB(0, 0, 0));
        ::BitBlt(source, 0, 0, static_cast<int>(width), static_cast<int>(height), target, 0, 0, SRCAND);
        ::SetTextColor(source, oldText);
        ::SetBkColor(source, oldBack);
    } else {
        ::DeleteObject(mask);
        mask = nullptr;
    }
    if (source)
        ::DeleteDC(source);
    if (target)
        ::DeleteDC(target);
    return mask;
}

void CSkinButton::FreeSet(BitmapEntry (&set)[kStateCount])
{
    for (BitmapEntry& entry : set) {
        if (!entry.shared && entry.image)
            CSharedBitmaps::Release(entry.image);
        entry = BitmapEntry();
    }
}

void CSkinButton::FreeIcons()
{
    for (IconEntry& icon : m_icons) {
        if (icon.icon)
            ::DestroyIcon(icon.icon);
        icon = IconEntry();
    }
}

int CSkinButton::LoadFace(HINSTANCE module, UINT id, COLORREF transparent, CSharedBitmaps::Face& face)
{
    // A DIB section, made without asking the display for its format (see CBitmap::LoadBitmap).
    HBITMAP image =
        static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info = {};
    if (!image || !::GetObjectA(image, sizeof info, &info)) {
        if (image)
            ::DeleteObject(image);
        return kBitmapLoadFailed;
    }
    const DWORD width = static_cast<DWORD>(info.bmWidth), height = static_cast<DWORD>(info.bmHeight);
    HBITMAP mask = MakeMask(image, width, height, transparent);
    if (!mask) {
        ::DeleteObject(image);
        return kMaskFailed;
    }
    face = {image, mask, width, height};
    return kBitmapsDone;
}

int CSkinButton::LoadSet(BitmapEntry (&set)[kStateCount], const UINT (&ids)[kStateCount])
{
    FreeSet(set);
    for (int i = 0; i < kStateCount; ++i) {
        if (i > 0 && ids[i] == 0) {
            set[i] = set[kStateNormal];
            set[i].shared = true;
            continue;
        }
        CSharedBitmaps::Face face;
        const int result = CSharedBitmaps::Acquire(AfxGetResourceHandle(), ids[i], kTransparentColor, &LoadFace, face);
        if (result != kBitmapsDone) {
            FreeSet(set);
            return result;
        }
        BitmapEntry& entry = set[i];
        entry.image = face.image;
        entry.width = face.width;
        entry.height = face.height;
        entry.transparent = kTransparentColor;
        entry.mask = face.mask;
    }
    if (m_hWnd)
        Invalidate(TRUE);
    return kBitmapsDone;
}

int CSkinButton::SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled)
{
    FreeIcons();
    const UINT ids[kStateCount] = {normal, hover, pressed, disabled};
    return LoadSet(m_unchecked, ids);
}

int CSkinButton::SetCheckedBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled)
{
    const UINT ids[kStateCount] = {normal, hover, pressed, disabled};
    return LoadSet(m_checked, ids);
}

// --- settings ------------------------------------------------------------------------------------

int CSkinButton::SetCheck(int check, BOOL repaint)
{
    if (m_bIsCheckBox || m_bIsRadio) {
        m_bChecked = check != 0;
        if (repaint && m_hWnd)
            Invalidate(TRUE);
    }
    return 0;
}

int CSkinButton::SetDrawBorder(BOOL enable, BOOL repaint)
{
    m_bDrawBorder = enable;
    if (repaint && m_hWnd)
        Invalidate(TRUE);
    return 0;
}

void CSkinButton::SetTransparentMode(BOOL repaint)
{
    m_bDrawTransparent = TRUE;
    ReleaseBackgroundCopy();
    if (repaint && m_hWnd)
        Invalidate(TRUE);
}

void CSkinButton::SetIcons(HICON hoverOrPressed, HICON normal)
{
    FreeIcons();
    HICON icons[2] = {hoverOrPressed, normal};
    for (int i = 0; i < 2; ++i) {
        if (!icons[i])
            continue;
        ICONINFO info = {};
        if (!::GetIconInfo(icons[i], &info))
            continue;
        BITMAP bitmap = {};
        ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        m_icons[i].icon = icons[i];
        m_icons[i].width = static_cast<DWORD>(bitmap.bmWidth);
        m_icons[i].height = static_cast<DWORD>(info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2);
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
    if (m_hWnd)
        Invalidate(TRUE);
}

void CSkinButton::SetColor(int index, COLORREF color, BOOL repaint)
{
    if (index < 0 || index >= kColorCount)
        return;
    m_crColors[index] = color;
    if (repaint && m_hWnd)
        Invalidate(TRUE);
}

COLORREF CSkinButton::GetColor(int index) const
{
    return index >= 0 && index < kColorCount ? m_crColors[index] : 0;
}

void CSkinButton::ResetColors(BOOL repaint)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < kColorCount; ++i)
        m_crColors[i] = (i % 2 == 0) ? face : text;
    if (repaint && m_hWnd)
        Invalidate(TRUE);
}

BOOL CSkinButton::SetMenu(UINT menuId, HWND commandWindow, BOOL repaint)
{
    m_menu.DestroyMenu();
    BOOL loaded = TRUE;
    if (menuId)
        loaded = m_menu.LoadMenu(menuId);
    m_hParentWndMenu = commandWindow;
    if (repaint && m_hWnd)
        Invalidate(TRUE);
    return loaded;
}

void CSkinButton::SetMenuCallback(HWND window, UINT message, LPARAM lParam)
{
    m_hCallbackWnd = window;
    m_nCallbackMsg = message;
    m_lCallbackParam = lParam;
}

void CSkinButton::SetURL(const char* url)
{
    CopyText(m_szURL, url);
}

void CSkinButton::SetSound(const char* sound, HMODULE module, BOOL hover, DWORD flags)
{
    Sound& target = hover ? m_hoverSound : m_clickSound;
    CopyText(target.name, sound);
    target.module = module;
    target.flags = flags;
}

void CSkinButton::SetBtnCursor(HCURSOR cursor)
{
    if (m_hCursor && m_hCursor != cursor)
        ::DestroyCursor(m_hCursor);
    m_hCursor = cursor;
}

void CSkinButton::PlayOne(const char* sound, HMODULE module, DWORD flags) const
{
    if (sound[0])
        g_playSound(sound, module, flags);
}

// --- attach and pre-translation ----------------------------------------------------------------

void CSkinButton::PreSubclassWindow()
{
    const DWORD style = GetStyle() & 0xFFFF;
    if (style & kCheckBoxBit)
        m_bIsCheckBox = TRUE;
    else if (style & kRadioBit)
        m_bIsRadio = TRUE;
    if ((style & kTypeMask) == BS_DEFPUSHBUTTON)
        m_bIsDefault = TRUE;
    ModifyStyle(kTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

void CSkinButton::InitToolTip()
{
    if (m_toolTip.m_hWnd)
        return;
    if (m_toolTip.Create(this, m_dwToolTipStyle)) {
        m_toolTip.Activate(FALSE);
        m_toolTip.SetMaxTipWidth(kToolTipMaxWidth);
    }
}

BOOL CSkinButton::PreTranslateMessage(MSG* msg)
{
    InitToolTip();
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(msg);
    // The second press of a double-click is a press like the first.
    if (msg->message == WM_LBUTTONDBLCLK)
        msg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(msg);
}

BOOL CSkinButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        *result = 0;
        return OnClicked();
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return TRUE;
    }
    return CButton::OnChildNotify(message, wParam, lParam, result);
}

BOOL CSkinButton::OnClicked()
{
    SetFocus();
    PlayOne(m_clickSound.name, m_clickSound.module, m_clickSound.flags);
    if (m_bIsCheckBox) {
        m_bChecked = !m_bChecked;
        Invalidate(TRUE);
        return FALSE;
    }
    if (m_menu.m_hMenu) {
        CRect window;
        GetWindowRect(&window);
        m_bMenuDisplayed = TRUE;
        Invalidate(TRUE);
        HMENU popup = m_menu.GetSubMenuHandle(0);
        if (m_hCallbackWnd)
            ::SendMessageA(m_hCallbackWnd, m_nCallbackMsg, reinterpret_cast<WPARAM>(popup), m_lCallbackParam);
        const UINT command = popup ? static_cast<UINT>(::TrackPopupMenu(popup, kMenuTrackFlags, window.left,
                                                                         window.bottom, 0, m_hWnd, nullptr))
                                   : 0;
        m_bMenuDisplayed = FALSE;
        Invalidate(TRUE);
        if (command && m_hParentWndMenu)
            ::PostMessageA(m_hParentWndMenu, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else if (m_szURL[0]) {
        SHELLEXECUTEINFOA execute = {};
        execute.cbSize = sizeof execute;
        execute.fMask = SEE_MASK_FLAG_NO_UI;
        execute.lpVerb = "open";
        execute.lpFile = m_szURL;
        execute.nShow = SW_SHOWMAXIMIZED;
        LateShellExecuteEx(&execute);
    }
    return FALSE;
}

// --- messages ------------------------------------------------------------------------------------

void CSkinButton::OnLButtonDown(UINT flags, CPoint point)
{
    CButton::OnLButtonDown(flags, point);
    if (m_bIsRadio)
        SendMessage(BM_SETCHECK, BST_CHECKED);
}

void CSkinButton::OnMouseMove(UINT flags, CPoint point)
{
    CButton::OnMouseMove(flags, point);
    POINT screen = point;
    ClientToScreen(&screen);
    HWND under = ::WindowFromPoint(screen);
    // Tracked also while the window is not the active one.
    if ((flags & MK_LBUTTON) && !m_bMouseOnButton)
        return;
    if (under == m_hWnd) {
        if (!m_bMouseOnButton) {
            m_bMouseOnButton = TRUE;
            Invalidate(TRUE);
            PlayOne(m_hoverSound.name, m_hoverSound.module, m_hoverSound.flags);
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
            ::_TrackMouseEvent(&track);
        }
    } else {
        EndHover();
    }
}

void CSkinButton::EndHover()
{
    if (m_bMouseOnButton) {
        m_bMouseOnButton = FALSE;
        Invalidate(TRUE);
    }
}

void CSkinButton::OnMouseLeave()
{
    EndHover();
}

void CSkinButton::OnCancelMode()
{
    CButton::OnCancelMode();
    EndHover();
}

LRESULT CSkinButton::OnKillFocus(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    EndHover();
    return result;
}

LRESULT CSkinButton::OnActivate(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    if (LOWORD(wParam) == WA_INACTIVE)
        EndHover();
    return result;
}

LRESULT CSkinButton::OnEnable(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    if (!wParam) {
        // A disabled button cannot keep the keyboard: the next tab item takes it, else the parent.
        HWND parent = ::GetParent(m_hWnd);
        HWND next = parent ? ::GetNextDlgTabItem(parent, m_hWnd, FALSE) : nullptr;
        if (next && next != m_hWnd)
            ::SetFocus(next);
        else if (parent)
            ::SetFocus(parent);
    }
    EndHover();
    return result;
}

LRESULT CSkinButton::OnGetDlgCode(WPARAM, LPARAM)
{
    LRESULT code = Default();
    code |= m_bIsDefault ? kDlgCodeDefault : kDlgCodeNotDefault;
    if (m_bIsRadio)
        code |= kDlgCodeRadio;
    return code;
}

LRESULT CSkinButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    const DWORD type = static_cast<DWORD>(wParam) & kTypeMask;
    if (type == BS_DEFPUSHBUTTON)
        m_bIsDefault = TRUE;
    else if (type == BS_PUSHBUTTON)
        m_bIsDefault = FALSE;
    // The dialog manager moves the default button this way; ours stays owner-drawn.
    return DefWindowProc(BM_SETSTYLE, (static_cast<DWORD>(wParam) & kSetStyleKeepMask) | BS_OWNERDRAW, lParam);
}

LRESULT CSkinButton::OnGetCheck(WPARAM, LPARAM)
{
    return m_bChecked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CSkinButton::OnSetCheck(WPARAM wParam, LPARAM)
{
    if (m_bIsCheckBox || m_bIsRadio) {
        m_bChecked = wParam == BST_CHECKED || wParam == BST_INDETERMINATE;
        Invalidate(TRUE);
    }
    return 0;
}

LRESULT CSkinButton::OnSysColorChange(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    ReleaseBackgroundCopy();
    ResetColors(TRUE);
    return result;
}

LRESULT CSkinButton::OnSetCursor(WPARAM, LPARAM)
{
    if (m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return Default();
}

LRESULT CSkinButton::OnMenuChar(WPARAM wParam, LPARAM lParam)
{
    if (m_menu.IsLoaded())
        return m_menu.MenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    return Default();
}

LRESULT CSkinButton::OnMeasureItem(WPARAM, LPARAM lParam)
{
    auto* measure = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
    if (measure && measure->CtlType == ODT_MENU && m_menu.IsLoaded() && CButtonMenu::IsRecord(measure->itemData)) {
        m_menu.MeasureItem(measure);
        return TRUE;
    }
    return Default();
}

LRESULT CSkinButton::OnDrawItem(WPARAM, LPARAM lParam)
{
    auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (draw && draw->CtlType == ODT_MENU && m_menu.IsLoaded() && CButtonMenu::IsRecord(draw->itemData)) {
        m_menu.DrawItem(draw);
        return TRUE;
    }
    return Default();
}

// --- drawing ---------------------------------------------------------------------------------------

int CSkinButton::StateIndexFor(BOOL pressed, BOOL hovering, BOOL disabled)
{
    if (pressed)
        return kStatePressed;
    if (hovering)
        return kStateHover;
    if (disabled)
        return kStateDisabled;
    return kStateNormal;
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* dc = CDC::FromHandle(drawItem->hDC);
    m_bIsPressed = (drawItem->itemState & ODS_SELECTED) != 0;
    if (!m_bIsCheckBox && m_bMenuDisplayed)
        m_bIsPressed = TRUE;
    m_bIsFocused = (drawItem->itemState & ODS_FOCUS) != 0;
    m_bIsDisabled = (drawItem->itemState & ODS_DISABLED) != 0;
    const CRect itemRect = drawItem->rcItem;

    dc->SetBkMode(TRANSPARENT);
    if (m_bDrawTransparent)
        PaintBackgroundCopy(dc);
    else
        DrawBackground(dc, itemRect);
    DrawBorder(dc, itemRect);

    const CString title = GetWindowText();
    CRect captionRect = itemRect;
    DrawBitmap(dc, !title.IsEmpty(), itemRect, captionRect);
    if (!title.IsEmpty())
        DrawText(dc, title, captionRect);
    // The flat look draws no focus rectangle.
}

void CSkinButton::DrawBackground(CDC* dc, const CRect& rect)
{
    COLORREF color = m_crColors[kColorBackNormal];
    if (m_bMouseOnButton || m_bIsPressed)
        color = m_crColors[kColorBackHover];
    else if (m_bIsFocused)
        color = m_crColors[kColorBackFocus];
    dc->FillSolidRect(rect, color);
}

void CSkinButton::DrawBorder(CDC* dc, const CRect& rect)
{
    if (!m_bDrawBorder)
        return;
    if (m_bIsPressed)
        Draw3dRect(*dc, rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_bMouseOnButton)
        Draw3dRect(*dc, rect, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
}

void CSkinButton::DrawIcon(CDC* dc, BOOL hasTitle, const CRect& itemRect, CRect& captionRect)
{
    const IconEntry& icon = (m_bMouseOnButton || m_bIsPressed) && m_icons[0].icon ? m_icons[0] : m_icons[1];
    if (!icon.icon)
        return;
    CRect imageRect = itemRect;
    if (!hasTitle) {
        imageRect.left += (itemRect.Width() - static_cast<int>(icon.width)) / 2;
    } else {
        imageRect.left += m_ptImageOrg.x;
        captionRect.left += static_cast<int>(icon.width) + m_ptImageOrg.x;
    }
    imageRect.top += (itemRect.Height() - static_cast<int>(icon.height)) / 2;
    ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.icon), 0, imageRect.left, imageRect.top,
                 static_cast<int>(icon.width), static_cast<int>(icon.height),
                 DST_ICON | (m_bIsDisabled ? DSS_DISABLED : DSS_NORMAL));
}

void CSkinButton::DrawBitmap(CDC* dc, BOOL hasTitle, const CRect& itemRect, CRect& captionRect)
{
    const int state = StateIndexFor(m_bIsPressed, m_bMouseOnButton, m_bIsDisabled);
    const BitmapEntry& entry = UsesCheckedSet(m_bIsCheckBox, m_bIsRadio, m_bChecked) ? m_checked[state] : m_unchecked[state];
    const int width = static_cast<int>(entry.width);
    const int height = static_cast<int>(entry.height);
    CRect imageRect = itemRect;
    if (!hasTitle) {
        imageRect.left += (itemRect.Width() - width) / 2;
    } else {
        imageRect.left += m_ptImageOrg.x;
        captionRect.left += width + m_ptImageOrg.x;
    }
    imageRect.top += (itemRect.Height() - height) / 2;
    // A set that could not be loaded draws nothing.
    if (!entry.image || !entry.mask)
        return;
    HDC memory = ::CreateCompatibleDC(*dc);
    if (!memory)
        return;
    {
        CSelectGuard select(memory, entry.mask);
        ::BitBlt(*dc, imageRect.left, imageRect.top, width, height, memory, 0, 0, SRCAND);
    }
    {
        CSelectGuard select(memory, entry.image);
        ::BitBlt(*dc, imageRect.left, imageRect.top, width, height, memory, 0, 0, SRCPAINT);
    }
    ::DeleteDC(memory);
}

void CSkinButton::DrawText(CDC* dc, const CString& title, CRect& captionRect)
{
    const CRect centreRect = captionRect;
    dc->DrawText(title, &captionRect, DT_CALCRECT | DT_SINGLELINE | DT_WORDBREAK);
    captionRect.OffsetRect(kTextOffset, (centreRect.Height() - captionRect.Height()) / 2);
    dc->SetBkMode(TRANSPARENT);
    if (m_bIsDisabled) {
        captionRect.OffsetRect(1, 1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc->DrawText(title, &captionRect, DT_WORDBREAK | DT_CENTER);
        captionRect.OffsetRect(-1, -1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc->DrawText(title, &captionRect, DT_WORDBREAK | DT_CENTER);
        return;
    }
    int text = kColorTextNormal;
    int back = kColorBackNormal;
    if (m_bMouseOnButton || m_bIsPressed) {
        text = kColorTextHover;
        back = kColorBackHover;
    } else if (m_bIsFocused) {
        text = kColorTextFocus;
        back = kColorBackFocus;
    }
    dc->SetTextColor(m_crColors[text]);
    dc->SetBkColor(m_crColors[back]);
    dc->DrawText(title, &captionRect, DT_WORDBREAK);
}

// --- transparent background ------------------------------------------------------------------------

void CSkinButton::ReleaseBackgroundCopy()
{
    if (m_dcBk.GetSafeHdc() && m_pbmpOldBk)
        m_dcBk.SelectObject(m_pbmpOldBk);
    m_pbmpOldBk = nullptr;
    m_bmpBk.DeleteObject();
    m_dcBk.DeleteDC();
}

bool CSkinButton::CopyParentPainting(HWND parent, const CRect& inParent)
{
    const int width = inParent.Width();
    const int height = inParent.Height();
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (COLORREF sentinel : kSentinels) {
        const CRect all(0, 0, width, height);
        m_dcBk.FillSolidRect(all, sentinel);
        const COLORREF reference = ::GetPixel(m_dcBk, 0, 0);
        const DWORD expected = (GetRValue(reference) << 16) | (GetGValue(reference) << 8) | GetBValue(reference);
        // The parent paints its client area as if the DC were its own, shifted to our place.
        const int saved = ::SaveDC(m_dcBk);
        ::SetViewportOrgEx(m_dcBk, -inParent.left, -inParent.top, nullptr);
        ::SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dcBk.GetSafeHdc()), PRF_CLIENT | PRF_ERASEBKGND);
        ::RestoreDC(m_dcBk, saved);
        // Read the picture back with the bitmap out of the DC, as GetDIBits wants it.
        m_dcBk.SelectObject(m_pbmpOldBk);
        const int got = ::GetDIBits(m_dcBk, m_bmpBk, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS);
        m_dcBk.SelectObject(&m_bmpBk);
        if (!got)
            return false;
        for (DWORD p : pixels) {
            if ((p & 0xFFFFFF) != expected)
                return true;
        }
    }
    return false;
}

void CSkinButton::PaintBackgroundCopy(CDC* dc)
{
    HWND parent = ::GetParent(m_hWnd);
    CRect client;
    GetClientRect(&client);
    CRect inParent;
    GetWindowRect(&inParent);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&inParent), 2);
    inParent.right = inParent.left + client.Width();
    inParent.bottom = inParent.top + client.Height();

    ReleaseBackgroundCopy();
    m_bBackgroundFromParent = FALSE;
    if (client.IsRectEmpty())
        return;
    // The copy is made like our own painting; the parent's window DC is fetched only when the
    // parent does not paint itself on request (a window DC costs each paint some time under Wine).
    if (m_dcBk.CreateCompatibleDC(dc) && m_bmpBk.CreateCompatibleBitmap(*dc, client.Width(), client.Height())) {
        m_pbmpOldBk = m_dcBk.SelectObject(&m_bmpBk);
        m_bBackgroundFromParent = parent && CopyParentPainting(parent, inParent);
        if (!m_bBackgroundFromParent) {
            // Take what the parent's window shows.
            if (HDC parentDC = ::GetDC(parent)) {
                ::BitBlt(m_dcBk, 0, 0, client.Width(), client.Height(), parentDC, inParent.left, inParent.top, SRCCOPY);
                ::ReleaseDC(parent, parentDC);
            }
        }
        dc->BitBlt(0, 0, client.Width(), client.Height(), &m_dcBk, 0, 0, SRCCOPY);
    }
}
