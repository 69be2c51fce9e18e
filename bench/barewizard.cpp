// The floor under Brixom's start: the windows its first page shows, made as plain Win32 controls
// with nothing of Brixom's own (no skin, no bitmaps, no language file, no disk library). The sheet
// with its rounded region, the hidden tab control, the page, and on them the same labels, buttons,
// radios, check boxes and drop-down list, each painted by the system. What Brixom takes beyond
// this program is its own work; what this program takes beyond the bare window is the windows'.
#include <windows.h>
#include <commctrl.h>

#include "FillWindowProc.h"

namespace {

constexpr int kSheetWidth = 615, kSheetHeight = 423;     // the background's size
constexpr int kSheetExtra = 15;
constexpr int kPageLeft = 2, kPageTop = 30, kPageWidth = 600, kPageHeight = 336;

HWND Control(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
             int height, int id, HFONT font)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | style, x, y, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    if (control)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    constexpr char kSheetClass[] = "SequoraBareWizard", kPageClass[] = "SequoraBareWizardPage";
    if (!RegisterFillClass(instance, kSheetClass) || !RegisterFillClass(instance, kPageClass))
        return 1;
    HWND sheet = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kSheetClass, "Bare wizard",
                                 WS_POPUP | WS_SYSMENU, 100, 100, kSheetWidth + kSheetExtra,
                                 kSheetHeight + kSheetExtra, nullptr, nullptr, instance, nullptr);
    if (!sheet)
        return 1;
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
    HFONT bold = CreateFontA(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");

    // The sheet's hidden tab control and its page.
    Control(sheet, WC_TABCONTROLA, "", 0, 0, 0, 10, 10, 0x3020, font);
    HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_VISIBLE, kPageLeft,
                                kPageTop, kPageWidth, kPageHeight, sheet, nullptr, instance, nullptr);

    // Page 1: three radios, the drop-down list, two check boxes, the tip, the title and the five
    // copies of the subtitle.
    Control(page, "BUTTON", "Create", WS_VISIBLE | BS_RADIOBUTTON | WS_GROUP, 225, 37, 242, 18, 1009, font);
    Control(page, "BUTTON", "Mount", WS_VISIBLE | BS_RADIOBUTTON, 225, 91, 332, 18, 1005, font);
    Control(page, "BUTTON", "Dismount", WS_VISIBLE | BS_RADIOBUTTON | WS_GROUP, 225, 145, 266, 16, 1025, font);
    Control(page, "COMBOBOX", "", WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL | WS_DISABLED, 293, 171, 90, 100,
            1026, font);
    Control(page, "BUTTON", "All", WS_VISIBLE | BS_AUTOCHECKBOX | WS_DISABLED, 242, 205, 334, 16, 1039, font);
    Control(page, "BUTTON", "Protect", WS_VISIBLE | BS_AUTOCHECKBOX | WS_DISABLED, 242, 234, 334, 16, 1000, font);
    Control(page, "STATIC", "Disk", WS_VISIBLE | WS_DISABLED, 242, 176, 32, 13, 1036, font);
    Control(page, "STATIC", "Choose what to do", WS_VISIBLE, 10, 2, 200, 22, 1094, bold);
    const POINT subtitles[5] = {{9, 21}, {9, 23}, {11, 23}, {11, 21}, {10, 22}};
    for (int i = 0; i < 5; ++i)
        Control(page, "STATIC", "Create, mount or dismount a disk", WS_VISIBLE, subtitles[i].x, subtitles[i].y, 280,
                18, 1095 + i, bold);

    // The sheet's caption line and bottom row.
    Control(sheet, "STATIC", "Sequora 1.0", WS_VISIBLE, 30, 7, 120, 18, 176, bold);
    Control(sheet, "STATIC", "History", WS_VISIBLE | SS_NOTIFY, 150, 7, 60, 18, 246, bold);
    Control(sheet, "BUTTON", "", WS_VISIBLE, 580, 7, 20, 20, 178, font);
    Control(sheet, "BUTTON", "", WS_VISIBLE, 560, 7, 20, 20, 179, font);
    Control(sheet, "STATIC", "Feedback", WS_VISIBLE | SS_NOTIFY, 480, 7, 70, 18, 245, bold);
    Control(sheet, "BUTTON", "Help", WS_VISIBLE, 518, 366, 85, 26, 175, font);
    Control(sheet, "BUTTON", "Cancel", WS_VISIBLE, 429, 366, 85, 26, 174, font);
    Control(sheet, "BUTTON", "Next >", WS_VISIBLE, 343, 366, 85, 26, 170, font);
    Control(sheet, "BUTTON", "Finish", 0, 343, 366, 85, 26, 173, font);
    Control(sheet, "BUTTON", "< Back", WS_VISIBLE | WS_DISABLED, 257, 366, 85, 26, 172, font);

    SetWindowRgn(sheet, CreateRoundRectRgn(3, 3, kSheetWidth + 4, kSheetHeight + 4, 9, 9), TRUE);
    ShowWindow(sheet, show);
    UpdateWindow(sheet);
    RunMessageLoop(sheet);
    DeleteObject(font);
    DeleteObject(bold);
    return 0;
}
