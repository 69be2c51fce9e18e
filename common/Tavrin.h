#pragma once
// The disk-driver library (Tavrin.dll). Brixom and Lumetta bind it by ordinal, Agent by name; every
// entry point is cdecl. Paths are UTF-16 full DOS paths; a drive letter is one UTF-16 unit,
// zero-extended in 32 bits and returned in the low 16 bits.
#include <cstdint>

#include "ImageHeader.h"
#include "MountedDriveInfo.h"

extern "C" {

// Reports the percent done (0..100); returns true (non-zero low byte) to go on.
typedef uint8_t (__cdecl* TavrinProgressProc)(const int32_t* percent);

int __cdecl Tavrin_Install(void);                                                    // ordinal 1
int __cdecl Tavrin_IsInstalled(void);                                                // ordinal 3
int __cdecl Tavrin_CreateImage(const wchar_t* path, const ImageHeader* header,
                               TavrinProgressProc progress, int32_t* context);       // ordinal 5
int __cdecl Tavrin_GetInfo(const wchar_t* path, ImageHeader* header);                // ordinal 7
int __cdecl Tavrin_SetInfo(const wchar_t* path, const ImageHeader* header);          // by name
uint32_t __cdecl Tavrin_FindFreeDriveLetter(void);                                   // by name
int __cdecl Tavrin_Mount(const wchar_t* path, uint32_t letter, int32_t readOnly);    // ordinal 9
int __cdecl Tavrin_Unmount(uint32_t letter, int32_t zero);                           // ordinal 10
int __cdecl Tavrin_GetMountInfo(uint32_t letter, MountedDriveInfo* info);            // ordinal 21
uint32_t __cdecl Tavrin_GetMountedMask(void);                                        // ordinal 22
uint32_t __cdecl Tavrin_GetSlotLetter(int32_t slot);                                 // ordinal 23
int __cdecl Tavrin_MoveFile(const wchar_t* source, const wchar_t* destination);      // by name

}  // extern "C"

// Created means exactly 1; any other value is a failure.
constexpr int kTavrinCreated = 1;
// Tavrin_Unmount: dismounted (non-zero, as every dismount), but the disk was read-only and had been
// changed all the same (its owner can lift the rule): what was written on it was not kept.
constexpr int kTavrinDismountedChangesDropped = 2;
constexpr int kTavrinSlotCount = 32;
