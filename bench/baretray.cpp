// The floor under Lumetta's start: what it shows of itself, made as plain Win32 with nothing of
// Lumetta's own (no dialog framework, no menu library, no language file, no registry, no disk or
// USB libraries). A modal dialog from the same template, visible and hiding itself on its first
// size and paint, that puts one icon with its tip into the notification area on the same callback
// message. What Lumetta takes beyond this program is its own work; what this program takes beyond
// the bare window is the hidden dialog's and the tray's.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr int kTemplateId = 102;          // baretray.rc
constexpr UINT kTrayCallback = 0x44C;

NOTIFYICONDATAA g_icon = {};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        g_icon.cbSize = sizeof g_icon;
        g_icon.hWnd = dialog;
        g_icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
        g_icon.uCallbackMessage = kTrayCallback;
        g_icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        lstrcpynA(g_icon.szTip, "Sequora 1.0", sizeof g_icon.szTip);
        Shell_NotifyIconA(NIM_ADD, &g_icon);
        return TRUE;
    case WM_SIZE:
        ShowWindow(dialog, SW_HIDE);
        return FALSE;
    case WM_PAINT:
        ShowWindow(dialog, SW_HIDE);
        return FALSE;
    case WM_CLOSE:
        Shell_NotifyIconA(NIM_DELETE, &g_icon);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(kTemplateId), nullptr, DialogProc, 0);
    return 0;
}
