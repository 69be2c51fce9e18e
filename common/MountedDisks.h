#pragma once
// The disks the disk-driver library has mounted, read the one way every page, program and test
// reads them: the letters from its slots, the image behind a letter from its mount record.
#include <cstddef>
#include <string>
#include <vector>

// The letters with a disk mounted, in the library's slot order.
std::vector<char> MountedDriveLetters();

// The DOS path of the image mounted on `letter`; "" when the library names none.
std::string MountedImageOf(char letter);

// The DOS path of a mounted image from the driver's NT form ("\??\C:\x" gives "C:\x"), in the
// thread's ANSI code page; at most the units a mount record holds are read, whatever length it
// claims.
std::string NtPathToDosPath(const wchar_t* path, size_t length);
