#pragma once
// The image-lock library (Quilmar.dll), bound by ordinal by Brixom alone; cdecl. Paths are ANSI
// full DOS paths.
#include <cstdint>

extern "C" {

int __cdecl Quilmar_SetProtection(const char* path, int32_t reserved1, int32_t reserved2,
                                  int32_t protect);                                  // ordinal 1
uint32_t __cdecl Quilmar_GetProtectedCount(void);                                    // ordinal 13
int __cdecl Quilmar_GetProtectedEntry(uint32_t index, char* path, char* unused1, char* unused2,
                                      uint8_t* kind, uint32_t* state);               // ordinal 14
int __cdecl Quilmar_StartService(void);                                              // ordinal 15
int __cdecl Quilmar_IsServiceRunning(void);                                          // ordinal 17

}  // extern "C"

constexpr int32_t kQuilmarProtect = 1;
constexpr int32_t kQuilmarRelease = 0;
constexpr size_t kQuilmarEntryBuffer = 1024;   // each of the three entry buffers
constexpr uint8_t kQuilmarListedKind = 1;
constexpr uint32_t kQuilmarListedState = 1;
