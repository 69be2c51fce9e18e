#pragma once
// The files and folders of a mounted disk, listed in one fixed order (each folder before what it
// holds, names sorted), and a short fingerprint of that list that tells whether anything changed.
// A file's size and last write can be put back by a program that changed it; its change time
// cannot (Wine keeps it as the host's), so it counts too.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace outside {

struct TreeEntry {
    std::wstring relativePath;   // "a\b.txt"
    bool isFolder = false;
    DWORD attributes = 0;
    FILETIME creationTime = {};
    FILETIME lastWriteTime = {};
    FILETIME changeTime = {};
    uint64_t size = 0;
};

class FileTree {
public:
    // False when the folder cannot be read (then nothing may be concluded about the disk).
    static bool Scan(const std::wstring& folder, std::vector<TreeEntry>& entries);
    static std::wstring Fingerprint(const std::vector<TreeEntry>& entries);
    // One number per file for its name, size, last write and change time, in order: a file whose
    // stamp is among those taken at the mount has not been touched since.
    static std::vector<uint64_t> Stamps(const std::vector<TreeEntry>& entries);
    static uint64_t Stamp(const TreeEntry& file);

    static std::wstring LongPath(const std::wstring& path);   // with the \\?\ prefix
    static bool DeleteTree(const std::wstring& folder);
};

}  // namespace outside
