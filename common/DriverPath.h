#pragma once
// Paths are ANSI inside the programs; the disk-driver library takes them in UTF-16, converted with
// the thread's ANSI code page.
#include <string>

std::wstring ToDriverPath(const std::string& ansiPath);
