// The floor under Agent's start: the windows its main form shows, made as plain Win32 controls
// with nothing of Agent's own (no form layer, no skin pictures, no language file, no disk). The
// tray icon's and the timers' hidden helper windows, the borderless form with its 5 x 5 rounded
// region, the background panel, and on it the password edit, the read-only check box, the four
// picture buttons (the minimise one hidden) and the hidden wait panel, in Agent's order, each
// painted by the system. Agent's labels are drawn on the panel, not windows, so none is made here.
// What Agent takes beyond this program is its own work; what this program takes beyond the bare
// window is the windows'.
#include <windows.h>

#include "FillWindowProc.h"

namespace {

constexpr int kFormWidth = 323, kFormHeight = 190;
constexpr int kRegionCorner = 5;
constexpr DWORD kPanelStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

HWND Control(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
             int height, HFONT font)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_CLIPSIBLINGS | style, x, y, width, height,
                                   parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (control) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Later windows on top, as the form stacks its controls.
        SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return control;
}

// The hidden top-level window a component receives its messages through.
HWND HelperWindow(const char* className, HINSTANCE instance)
{
    WNDCLASSA helperClass = {};
    helperClass.lpfnWndProc = DefWindowProcA;
    helperClass.hInstance = instance;
    helperClass.lpszClassName = className;
    RegisterClassA(&helperClass);
    return CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                           nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The tray icon's and the simple timers' windows come first, as the form's components are made.
    HelperWindow("SequoraBareTrayHandler", instance);
    HelperWindow("SequoraBareTimerHandler", instance);

    constexpr char kFormClass[] = "SequoraBareAgentForm", kPanelClass[] = "SequoraBareAgentPanel";
    if (!RegisterFillClass(instance, kFormClass) || !RegisterFillClass(instance, kPanelClass))
        return 1;

    // Centred on the desktop's work area, as the form is.
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    HWND form = CreateWindowExA(WS_EX_APPWINDOW, kFormClass, "Agent",
                                WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                area.left + (area.right - area.left - kFormWidth) / 2,
                                area.top + (area.bottom - area.top - kFormHeight) / 2, kFormWidth, kFormHeight,
                                nullptr, nullptr, instance, nullptr);
    if (!form)
        return 1;
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    HFONT bold = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");

    HWND panel = Control(form, kPanelClass, "", kPanelStyle | WS_VISIBLE, -2, -1, 326, 193, font);
    HWND password = Control(panel, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 76, 76, 202,
                            19, font);
    Control(panel, "BUTTON", "Open sequora as read-only mode.", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 76, 102,
            188, 18, font);
    Control(panel, "BUTTON", "", 0, 276, 5, 20, 20, font);
    Control(panel, "BUTTON", "", WS_VISIBLE, 296, 5, 20, 20, font);
    Control(panel, "BUTTON", "&Open", WS_VISIBLE | WS_TABSTOP, 51, 131, 90, 23, bold);
    Control(panel, "BUTTON", "&Cancel", WS_VISIBLE | WS_TABSTOP, 188, 131, 90, 23, bold);
    Control(panel, kPanelClass, "", kPanelStyle, 18, 58, 287, 55, font);

    SetWindowRgn(form, CreateRoundRectRgn(0, 0, kFormWidth + 1, kFormHeight + 1, kRegionCorner, kRegionCorner), TRUE);
    ShowWindow(form, SW_SHOW);
    SetFocus(password);
    RunMessageLoop(form);
    DeleteObject(font);
    DeleteObject(bold);
    return 0;
}
