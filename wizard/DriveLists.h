#pragma once
// The drive lists of the wizard pages: USB drives and free drive letters, as drive roots ("E:\").
// The lists' own controls sort them, so entry 0 is always the lowest letter.
#include <windows.h>

#include <string>
#include <vector>

// Every root the system reports, read with a buffer of the length it asks for (all 26 letters in
// use need 105 characters).
std::vector<std::string> GetDriveRoots();

// The roots of the USB drives among them ("%c:\"), by Fennick_IsUsbDisk.
std::vector<std::string> GetUsbDriveRoots();

// "%C:\" for each letter from C to Z that no drive root uses; A and B are never offered.
std::vector<std::string> GetFreeDriveRoots();

enum class DriveListSelection { First, Last };

// Replaces the entries of a drop-down list and selects the first or the last one when there is
// any. Works by window messages only, so a scan thread may fill a list that the UI thread serves.
// Returns the number of entries.
int FillDriveList(HWND list, const std::vector<std::string>& roots, DriveListSelection selection);

// The text of the selected entry of a drop-down list ("" when none), by window messages only.
std::string GetSelectedDriveRoot(HWND list);

// The drive letter a root or path starts with, upper-cased; 0 when it does not start with one.
char DriveLetterOf(const std::string& rootOrPath);
