#pragma once
// Names of the temporary files the skin reader and the form-stored skins use.
#include <string>

// A new GUID in its registry text form, braces included.
std::string NewGuidText();
// The Windows temporary folder with a trailing backslash.
std::string TempFolderPath();
bool FileExistsAt(const std::string& path);
// The whole file, or false when it cannot be read or is larger than `limit` bytes.
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit);
bool WriteWholeFile(const std::string& path, const void* data, size_t size);
