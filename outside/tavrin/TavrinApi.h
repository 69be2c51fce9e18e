#pragma once
// The exports of Tavrin.dll as the library itself defines them: cdecl, undecorated names, numbered
// by Tavrin.def. Callers use their own declarations and bind by name or by ordinal.
#include <cstdint>

extern "C" {

// Called during image creation with the percent done (0..100); only the low byte of the result
// counts: 0 stops the creation.
typedef uint8_t(__cdecl* TavrinProgressProc)(const int32_t* percent);

int __cdecl Tavrin_Install(void);
int __cdecl Tavrin_IsInstalled(void);
int __cdecl Tavrin_CreateImage(const wchar_t* path, const void* header2048, TavrinProgressProc progress,
                               int32_t* context);
int __cdecl Tavrin_GetInfo(const wchar_t* path, void* header2048);
int __cdecl Tavrin_SetInfo(const wchar_t* path, const void* header2048);
uint32_t __cdecl Tavrin_FindFreeDriveLetter(void);
int __cdecl Tavrin_Mount(const wchar_t* path, uint32_t letter, int32_t readOnly);
int __cdecl Tavrin_Unmount(uint32_t letter, int32_t zero);
int __cdecl Tavrin_GetMountInfo(uint32_t letter, void* info1096);
uint32_t __cdecl Tavrin_GetMountedMask(void);
uint32_t __cdecl Tavrin_GetSlotLetter(int32_t slot);
int __cdecl Tavrin_MoveFile(const wchar_t* source, const wchar_t* destination);

}  // extern "C"
