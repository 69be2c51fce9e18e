#pragma once
// Writes a picture as a PNG file a person can open: 8-bit RGB, uncompressed deflate blocks.
#include <windows.h>

#include <string>
#include <vector>

// `pixels`: width x height, top-down, 0x00RRGGBB.
bool SavePngFile(const std::string& path, const std::vector<DWORD>& pixels, int width, int height);
