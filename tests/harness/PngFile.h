#pragma once
// Writes a picture as a PNG file a person can open: what a look test leaves in the build folder.
#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// `pixels`: width x height, top-down, 0x00RRGGBB (as CaptureWindow gives them).
bool SavePngFile(const std::string& path, const std::vector<DWORD>& pixels, int width, int height);

}  // namespace harness
