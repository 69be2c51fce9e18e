#pragma once
// The USB-tools library (Fennick.dll), bound by name by Brixom and Lumetta; cdecl.
extern "C" {

int __cdecl Fennick_IsUsbDisk(char letter);      // non-zero for a USB disk; letter 'A'..'Z'

}  // extern "C"
