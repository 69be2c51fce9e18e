#include "FileTree.h"

#include <algorithm>
#include <cstdio>

namespace outside {

namespace {

bool ScanFolder(const std::wstring& root, const std::wstring& relative, std::vector<TreeEntry>& entries)
{
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(FileTree::LongPath(folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    std::vector<TreeEntry> level;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        TreeEntry entry;
        entry.relativePath = relative.empty() ? name : relative + L"\\" + name;
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.attributes = data.dwFileAttributes;
        entry.creationTime = data.ftCreationTime;
        entry.lastWriteTime = data.ftLastWriteTime;
        entry.size = entry.isFolder ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        level.push_back(entry);
    } while (FindNextFileW(find, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    if (!complete)
        return false;
    std::sort(level.begin(), level.end(),
              [](const TreeEntry& a, const TreeEntry& b) { return a.relativePath < b.relativePath; });
    for (const TreeEntry& entry : level) {
        entries.push_back(entry);
        if (entry.isFolder && !ScanFolder(root, entry.relativePath, entries))
            return false;
    }
    return true;
}

}  // namespace

bool FileTree::Scan(const std::wstring& folder, std::vector<TreeEntry>& entries)
{
    entries.clear();
    const DWORD attributes = GetFileAttributesW(LongPath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return ScanFolder(folder, std::wstring(), entries);
}

std::wstring FileTree::Fingerprint(const std::vector<TreeEntry>& entries)
{
    // FNV-1a over every field that a change to a file or folder moves.
    uint64_t hash = 0xCBF29CE484222325ull;
    auto mix = [&hash](const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= p[i];
            hash *= 0x100000001B3ull;
        }
    };
    for (const TreeEntry& entry : entries) {
        mix(entry.relativePath.data(), entry.relativePath.size() * sizeof(wchar_t));
        mix(&entry.isFolder, sizeof(entry.isFolder));
        mix(&entry.attributes, sizeof(entry.attributes));
        if (!entry.isFolder)
            mix(&entry.lastWriteTime, sizeof(entry.lastWriteTime));
        mix(&entry.size, sizeof(entry.size));
    }
    wchar_t text[32];
    swprintf(text, 32, L"%u:%016llx", static_cast<unsigned>(entries.size()), static_cast<unsigned long long>(hash));
    return text;
}

std::wstring FileTree::LongPath(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.size() < 3 || path[1] != L':')
        return path;
    return L"\\\\?\\" + path;
}

bool FileTree::DeleteTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPath(folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                    SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(LongPath(path).c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    const DWORD attributes = GetFileAttributesW(LongPath(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(LongPath(folder).c_str(), FILE_ATTRIBUTE_DIRECTORY);
    return RemoveDirectoryW(LongPath(folder).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

}  // namespace outside
