#pragma once
// The exports of Quilmar.dll as the library itself defines them: cdecl, undecorated names, numbered
// by Quilmar.def. Paths are ANSI full DOS paths.
#include <cstdint>

extern "C" {

int __cdecl Quilmar_SetProtection(const char* path, int32_t reserved1, int32_t reserved2, int32_t protect);
uint32_t __cdecl Quilmar_GetProtectedCount(void);
int __cdecl Quilmar_GetProtectedEntry(uint32_t index, char* path1024, char* buffer1024a, char* buffer1024b,
                                      uint8_t* kind, uint32_t* state);
int __cdecl Quilmar_StartService(void);
int __cdecl Quilmar_IsServiceRunning(void);

}  // extern "C"
