#include "FileTree.h"

#include "HandleOwner.h"

#include <algorithm>
#include <cstdio>

namespace outside {

namespace {

constexpr DWORD kListingBytes = 64 * 1024;

uint64_t ToU64(const LARGE_INTEGER& value) { return static_cast<uint64_t>(value.QuadPart); }

FILETIME ToFileTime(const LARGE_INTEGER& value)
{
    FILETIME time;
    time.dwLowDateTime = value.LowPart;
    time.dwHighDateTime = static_cast<DWORD>(value.HighPart);
    return time;
}

// FNV-1a, the one hash of the fingerprint and the stamps.
class Fnv {
public:
    void Mix(const void* data, size_t size)
    {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) {
            m_hash ^= p[i];
            m_hash *= 0x100000001B3ull;
        }
    }
    uint64_t Value() const { return m_hash; }

private:
    uint64_t m_hash = 0xCBF29CE484222325ull;
};

// The folder's listing names each entry with its change time, which the plainer file search
// leaves out.
bool ScanFolder(const std::wstring& root, const std::wstring& relative, std::vector<TreeEntry>& entries)
{
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    KernelHandle listing(CreateFileW(FileTree::LongPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!listing)
        return false;
    std::vector<TreeEntry> level;
    std::vector<uint64_t> buffer(kListingBytes / sizeof(uint64_t));   // the records are 8-byte aligned
    while (GetFileInformationByHandleEx(listing.Get(), FileFullDirectoryInfo, buffer.data(), kListingBytes)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(buffer.data());
        for (size_t at = 0;;) {
            const auto* data = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes + at);
            const std::wstring name(data->FileName, data->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                TreeEntry entry;
                entry.relativePath = relative.empty() ? name : relative + L"\\" + name;
                entry.isFolder = (data->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                entry.attributes = data->FileAttributes;
                entry.creationTime = ToFileTime(data->CreationTime);
                entry.lastWriteTime = ToFileTime(data->LastWriteTime);
                entry.changeTime = ToFileTime(data->ChangeTime);
                entry.size = entry.isFolder ? 0 : ToU64(data->EndOfFile);
                level.push_back(entry);
            }
            if (data->NextEntryOffset == 0)
                break;
            at += data->NextEntryOffset;
        }
    }
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return false;
    listing.Reset();
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
    // Every field that a change to a file or folder moves.
    Fnv hash;
    for (const TreeEntry& entry : entries) {
        hash.Mix(entry.relativePath.data(), entry.relativePath.size() * sizeof(wchar_t));
        hash.Mix(&entry.isFolder, sizeof(entry.isFolder));
        hash.Mix(&entry.attributes, sizeof(entry.attributes));
        if (!entry.isFolder) {
            hash.Mix(&entry.lastWriteTime, sizeof(entry.lastWriteTime));
            hash.Mix(&entry.changeTime, sizeof(entry.changeTime));
        }
        hash.Mix(&entry.size, sizeof(entry.size));
    }
    wchar_t text[32];
    swprintf(text, 32, L"%u:%016llx", static_cast<unsigned>(entries.size()),
             static_cast<unsigned long long>(hash.Value()));
    return text;
}

uint64_t FileTree::Stamp(const TreeEntry& file)
{
    Fnv hash;
    hash.Mix(file.relativePath.data(), file.relativePath.size() * sizeof(wchar_t));
    hash.Mix(&file.size, sizeof(file.size));
    hash.Mix(&file.lastWriteTime, sizeof(file.lastWriteTime));
    hash.Mix(&file.changeTime, sizeof(file.changeTime));
    return hash.Value();
}

std::vector<uint64_t> FileTree::Stamps(const std::vector<TreeEntry>& entries)
{
    std::vector<uint64_t> stamps;
    for (const TreeEntry& entry : entries)
        if (!entry.isFolder)
            stamps.push_back(Stamp(entry));
    std::sort(stamps.begin(), stamps.end());
    return stamps;
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
