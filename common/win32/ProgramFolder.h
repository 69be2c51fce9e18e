#pragma once
// Files a program needs beside itself are found through the folder of its own executable.
#include <windows.h>

#include <string>

std::string GetModulePath(HMODULE module = nullptr);      // full path of the module's file

// "C:\a\b.exe" -> "C:\a" (up to, not including, the last backslash); "" when there is none.
std::string FolderOfPath(const std::string& path);

std::string GetProgramFolder();                            // FolderOfPath(GetModulePath())
