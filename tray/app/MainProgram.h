#pragma once
// Brixom as Lumetta sees it: found among the running processes by the lower-case file name
// "brixom.exe" in its first module's path, and started from Lumetta's own folder with one verb.
#include <windows.h>

#include <string>

#include "CString.h"

constexpr const char* kMainProgramFile = "brixom.exe";

// The id of the first process, in the order the system lists them, whose first module's path
// contains "brixom.exe" (case-sensitive: "Brixom.exe" is not it); 0 when none runs.
DWORD FindMainProgramProcess();
// True when a module path names Brixom as FindMainProgramProcess takes it.
bool IsMainProgramPath(const char* modulePath);
// "\"<Lumetta's folder>\brixom.exe\"".
CString GetMainProgramPath();
// Starts Brixom through the shell with `verb` as its command line; a failure passes silently.
void LaunchMainProgram(const char* verb);
