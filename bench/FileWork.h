#pragma once
// Plain file work, the references the suite's own work is measured against, and the stopwatch.
#include <cstdint>
#include <functional>
#include <string>

constexpr uint64_t kMiB = 1ull << 20;

// Seconds `work` takes; `ok` turns false when it fails (a failed run's time means nothing).
double TimeSeconds(const std::function<bool()>& work, bool& ok);

// A new file of `bytes` zero bytes, written front to back in 4 MiB pieces and flushed to the disk,
// as a program that knows nothing of images would write it.
bool RawWrite(const std::string& path, uint64_t bytes);

// Copies the folder tree `from` into the new folder `to`, each file with `copyFile`.
bool CopyTree(const std::string& from, const std::string& to,
              const std::function<bool(const std::string& from, const std::string& to)>& copyFile);

// Size of a file, 0 when it is not there.
uint64_t FileSizeOf(const std::string& path);
