#pragma once
// Taking one entry out of a skin archive: a ZIP archive whose first two bytes are "SK".
#include <string>

enum TZipExtractResult { zeExtracted = 0, zeFailed = 1, zePasswordOrSize = 2 };

// Writes the inflated entry to `outputPath`. 0 extracted; 1 failed (missing or unreadable archive,
// no such entry, empty result); 2 password missing or wrong, or the size is not the one the
// archive declares. On every non-zero answer no output file is left.
int ExtractZipEntry(const std::string& archivePath, const std::string& entryName, const std::string& outputPath,
                    const std::string& password);

// The largest archive and entry the reader takes; skins are a few hundred kilobytes.
constexpr size_t kLargestSkinArchive = 32u << 20;
constexpr size_t kLargestSkinEntry = 32u << 20;
