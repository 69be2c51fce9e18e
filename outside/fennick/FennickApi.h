#pragma once
// The export of Fennick.dll as the library itself defines it: cdecl, bound by name.

extern "C" {

int __cdecl Fennick_IsUsbDisk(char letter);

}  // extern "C"
