#pragma once
// The window procedure of the start-up references' own windows, and their message loop: each window
// paints itself with a solid grey fill and nothing else; the top-level one ends the program when it
// goes.
#include <windows.h>

inline LRESULT CALLBACK FillWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        if (!GetParent(window))
            PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Registers a class of such windows under `name`; false when the system refuses it.
inline bool RegisterFillClass(HINSTANCE instance, const char* name)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FillWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

// The references' message loop; Tab and the arrows move between the controls of `keyboardWindow`.
inline void RunMessageLoop(HWND keyboardWindow)
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(keyboardWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
