#pragma once
// The shell's folder windows that programs open on a drive (Brixom and Agent start "explorer.exe
// X:\" after a mount). They belong to another process and outlive the program that asked for them,
// so a test finds them, checks them and closes them before it ends.
#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// Visible folder windows of the shell, of any process.
std::vector<HWND> ShellFolderWindows();

// A shell folder window showing drive `letter` (its title names "(X:)"), or null.
HWND FindShellWindowOfDrive(char letter);

// Posts WM_CLOSE to every shell folder window and waits until they are gone; returns how many
// there were.
size_t CloseShellWindows(DWORD timeoutMs = 5000);

}  // namespace harness
