// The reference for start-up time and memory: a bare static Win32 program with one window the size
// of Brixom's sheet, painted once with a solid fill. Nothing else is loaded or done.
#include <windows.h>

#include "FillWindowProc.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    constexpr char kClass[] = "SequoraBareWindow";
    if (!RegisterFillClass(instance, kClass))
        return 1;
    HWND window = CreateWindowExA(0, kClass, "Bare window", WS_POPUP | WS_SYSMENU,
        100, 100, 624, 423, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
