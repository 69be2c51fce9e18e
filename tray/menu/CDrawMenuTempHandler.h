#pragma once
// Routes a dialog's menu messages to the menu library: made by the menu hook for each new dialog
// when the hook's option bit 0 is set (never in the programs). It deletes itself when the dialog
// is destroyed.
#include <windows.h>

#include "CDrawMenu.h"
#include "CObject.h"

class CDrawMenuTempHandler : public CObject {
public:
    explicit CDrawMenuTempHandler(HWND dialog);
    ~CDrawMenuTempHandler() override;
    CDrawMenuTempHandler(const CDrawMenuTempHandler&) = delete;
    CDrawMenuTempHandler& operator=(const CDrawMenuTempHandler&) = delete;

    // The handler a dialog has, or null.
    static CDrawMenuTempHandler* FromWindow(HWND dialog);

    CDrawMenu m_menu;                            // takes the dialog's system menu (option bit 1)
    WNDPROC m_pOldWndProc = nullptr;
    HWND m_hWnd;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

extern const char* const TEMP_HANDLER_PROPERTY;
