#pragma once
// Finding a program's windows and message boxes from a driver process, reading their texts and
// pressing their buttons, the way a user would.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

// Polls `done` every `stepMs` until it holds or `timeoutMs` passes; pumps this thread's messages
// meanwhile so windows of the test process stay responsive.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD stepMs = 20);

std::vector<HWND> TopLevelWindows(DWORD pid);           // visible or not, of one process
std::vector<HWND> ChildWindows(HWND parent);            // all descendants, in z-order per level

// The first visible top-level window of `pid` whose class (when given) and text (when given) match.
HWND WaitForWindow(DWORD pid, const char* className = nullptr, const char* text = nullptr,
                   DWORD timeoutMs = 10000);

// A message box of `pid` (a dialog holding the static 0xFFFF that carries its text).
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs = 10000);
HWND FindMessageBox(DWORD pid);
std::string MessageBoxText(HWND box);
// Waits for a message box of `pid`, answers it with `button` and waits until it is gone; returns its
// text ("" when none came).
std::string AnswerMessageBox(DWORD pid, int button, DWORD timeoutMs = 10000);

// The open or save dialog of `pid` (found by its file-name box), or null after the time-out; and
// the path typed into its file-name box and confirmed with its OK button.
HWND WaitForFileDialog(DWORD pid, DWORD timeoutMs = 15000);
bool ChooseFileInDialog(HWND dialog, const std::string& path);

std::string WindowText(HWND window);                   // works across processes
std::string ClassNameOf(HWND window);
RECT WindowRectOf(HWND window);                        // screen coordinates
RECT ChildRectInParent(HWND child);                    // in the parent's client coordinates

// Presses a dialog's button by its id, as a click would (posted: a button that opens a modal
// window must not block the driver).
bool ClickButton(HWND dialog, int id);
bool IsChecked(HWND button);                            // BM_GETCHECK == BST_CHECKED

// Takes a picture of a window as it is on screen (client area when clientOnly) into a 32-bit
// top-down buffer of width x height pixels (0x00RRGGBB).
bool CaptureWindow(HWND window, std::vector<DWORD>& pixels, int& width, int& height, bool clientOnly = false);
// The same for any part of the screen (screen coordinates): a window with a menu it shows.
bool CaptureScreenArea(const RECT& area, std::vector<DWORD>& pixels, int& width, int& height);
// A device-compatible bitmap of one colour (the caller deletes it): a fixture for painting tests.
HBITMAP SolidBitmap(int width, int height, COLORREF color);

bool SaveBitmapFile(const std::string& path, const std::vector<DWORD>& pixels, int width, int height);
// The same picture as a PNG file (8-bit RGB), for a person to look at.
bool SavePngFile(const std::string& path, const std::vector<DWORD>& pixels, int width, int height);

}  // namespace harness
