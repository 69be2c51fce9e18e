#include "CLinkStatic.h"

#include <shellapi.h>

#include <cstdio>

#include "CDC.h"
#include "CSelectGuard.h"
#include "DialogHelpers.h"
#include "CWinApp.h"

namespace {

constexpr int kOpenedAbove = 32;        // ShellExecute and WinExec results above this mean started
constexpr WORD kHelpHandCursor = 106;   // the hand cursor the old help viewer carries

// The default value of HKEY_CLASSES_ROOT\<key>, at most `size` bytes; false when it cannot be read.
bool ReadClassDefault(const std::string& key, DWORD size, std::string& value)
{
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    std::string buffer(size + 1, '\0');
    DWORD type = 0, bytes = size;
    const LONG read = ::RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &bytes);
    ::RegCloseKey(handle);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // The stored text may lack its terminator; the extra byte keeps the copy inside the buffer.
    value = buffer.c_str();
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CLinkStatic, CStatic)
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CLinkStatic::~CLinkStatic()
{
    if (m_hLinkCursor)
        ::DestroyCursor(m_hLinkCursor);
}

void CLinkStatic::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    CString text = GetWindowText();
    if (m_strTarget.IsEmpty())
        m_strTarget = text;
    if (text.IsEmpty())
        SetWindowText(m_strTarget);

    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    LOGFONTA logFont = {};
    if (font && ::GetObjectA(font, sizeof logFont, &logFont)) {
        m_normalFont.DeleteObject();
        m_underlineFont.DeleteObject();
        m_normalFont.CreateFontIndirect(&logFont);
        logFont.lfUnderline = TRUE;
        m_underlineFont.CreateFontIndirect(&logFont);
    }
    FitWindowToText();
    LoadHandCursor();
    if (m_nUnderline != kUnderlineHover) {
        SetFont(&m_normalFont, FALSE);
        m_nUnderline = kUnderlineHover;
    }

    if (m_toolTip.Create(this)) {
        CRect client;
        GetClientRect(&client);
        // The link relays its mouse messages itself (PreTranslateMessage).
        TOOLINFOA tool = {};
        tool.hwnd = m_hWnd;
        tool.uId = kToolId;
        tool.rect = client;
        tool.lpszText = const_cast<char*>(m_strTarget.GetString());
        m_toolTip.AddTool(&tool);
    }
    CStatic::PreSubclassWindow();
}

void CLinkStatic::SetLinkTarget(const char* target)
{
    m_strTarget = target;
    if (!IsWindow())
        return;
    FitWindowToText();
    if (m_toolTip.IsWindow()) {
        TOOLINFOA tool = {};
        tool.cbSize = CToolTipCtrl::kToolInfoSize;
        tool.hwnd = m_hWnd;
        tool.uId = kToolId;
        tool.lpszText = const_cast<char*>(m_strTarget.GetString());
        m_toolTip.SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CLinkStatic::SetUnderline(int mode)
{
    m_nUnderline = mode;
    if (IsWindow())
        SetFont(mode == kUnderlineAlways ? &m_underlineFont : &m_normalFont, TRUE);
}

void CLinkStatic::FitWindowToText()
{
    if (!IsWindow() || !m_bAdjustToFit)
        return;
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    if (CWnd* parent = GetParent())
        parent->ScreenToClient(&window);

    SIZE extent = {};
    {
        CClientDC dc(this);
        CSelectGuard font(dc, static_cast<HFONT>(m_underlineFont));
        const CString text = GetWindowText();
        ::GetTextExtentPoint32A(dc, text, text.GetLength(), &extent);
    }
    const int height = extent.cy + (window.Height() - client.Height());
    const int width = extent.cx + (window.Width() - client.Width());
    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE)
        window.top += (window.Height() - height) / 2;
    window.bottom = window.top + height;
    if ((style & SS_TYPEMASK) == SS_CENTER)
        window.left += (window.Width() - width) / 2;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
        window.left = window.right - width;
    window.right = window.left + width;
    SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(), SWP_NOZORDER);
}

void CLinkStatic::LoadHandCursor()
{
    if (m_hLinkCursor)
        return;
    char folder[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::string viewer = std::string(folder) + "\\winhlp32.exe";
    HMODULE module = ::LoadLibraryExA(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return;
    if (HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(kHelpHandCursor)))
        m_hLinkCursor = reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(cursor)));
    ::FreeLibrary(module);
}

BOOL CLinkStatic::DestroyWindow()
{
    KillTimer(m_nTimerId);
    return CStatic::DestroyWindow();
}

BOOL CLinkStatic::PreTranslateMessage(MSG* msg)
{
    if (m_toolTip.IsWindow())
        m_toolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

BOOL CLinkStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // The dialog's background shows through.
        *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        OnClicked();
        return TRUE;
    }
    return CStatic::OnChildNotify(message, wParam, lParam, result);
}

BOOL CLinkStatic::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_hLinkCursor)
        return FALSE;
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CLinkStatic::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bOver) {
        m_bOver = TRUE;
        if (m_nUnderline == kUnderlineHover)
            SetFont(&m_underlineFont, FALSE);
        InvalidateUnderControl(this);
        SetTimer(m_nTimerId, kHoverTimerMs);
    }
    CStatic::OnMouseMove(flags, point);
}

void CLinkStatic::OnTimer(UINT_PTR id)
{
    const DWORD at = ::GetMessagePos();
    POINT cursor = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(cursor)) {
        m_bOver = FALSE;
        KillTimer(m_nTimerId);
        if (m_nUnderline != kUnderlineAlways)
            SetFont(&m_normalFont, FALSE);
        InvalidateUnderControl(this);
    }
    CStatic::OnTimer(id);
}

BOOL CLinkStatic::OnEraseBkgnd(CDC* dc)
{
    return CStatic::OnEraseBkgnd(dc);
}

void CLinkStatic::OnPaint()
{
    PaintStaticText(this, CurrentColor(), DT_WORDBREAK);
}

void CLinkStatic::OnClicked()
{
    m_bOver = FALSE;
    const int result = OpenLink(m_strTarget);
    m_bVisited = result > kOpenedAbove;
    if (m_bVisited) {
        InvalidateUnderControl(this);
        return;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    ReportError(result);
}

int CLinkStatic::OpenLink(const char* target)
{
    const int shell = static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOW)));
    if (shell > kOpenedAbove)
        return shell;
    // The program the system opens web pages with, started on the target by hand.
    std::string htmlClass, command;
    if (!ReadClassDefault(".htm", MAX_PATH, htmlClass) ||
        !ReadClassDefault(htmlClass + "\\shell\\open\\command", 2 * MAX_PATH, command))
        return shell;
    const std::string line = BuildOpenCommand(command, target ? target : "");
    return static_cast<int>(::WinExec(line.c_str(), SW_SHOW));
}

std::string CLinkStatic::BuildOpenCommand(const std::string& command, const std::string& target)
{
    std::string line = command;
    size_t cut = line.find("\"%1\"");
    if (cut == std::string::npos)
        cut = line.find("%1");
    if (cut != std::string::npos)
        line.erase(cut);
    return line + " " + target;
}

std::string CLinkStatic::LinkErrorText(int code)
{
    switch (code) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
        return "The specified dynamic-link library was not found.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown Error (%d) occurred.", code);
        return text;
    }
    }
}

void CLinkStatic::ReportError(int code)
{
    const std::string message = "Unable to open hyperlink:\n\n" + LinkErrorText(code);
    AfxMessageBox(message.c_str(), MB_ICONEXCLAMATION);
}
