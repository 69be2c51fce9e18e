#pragma once
// A function of a system DLL, looked up on first use. Brixom calls the file dialogs, the Internet
// client and sounds only when a user asks for them; bound at load time, those DLLs and all they
// pull in (printing, COM, sockets, audio) would be loaded and initialised on every start, before
// the first window shows.
#include <windows.h>

// `name` in the system folder's `dll`, loaded on the first call; null when either is missing. The
// DLL stays loaded for the rest of the process.
FARPROC SystemFunctionAddress(const char* dll, const char* name);

// The same, typed after the SDK's declaration without binding it (decltype does not refer to the
// import): SystemFunction<decltype(&::PlaySoundA)>("winmm.dll", "PlaySoundA").
template <typename Fn>
Fn SystemFunction(const char* dll, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemFunctionAddress(dll, name)));
}
