#include "Paths.h"

#include "HandleOwner.h"
#include "WineMountManager.h"

#include <windows.h>

#include <vector>

namespace harness {

std::string TestBinDir()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ParentFolder(std::string(path, n));
}

std::string BuildDir() { return ParentFolder(TestBinDir()); }
std::string ProgramDir() { return JoinPath(BuildDir(), "program"); }
std::string RecorderPath() { return JoinPath(TestBinDir(), "recorder.exe"); }

std::string ParentFolder(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder + name;
    return folder + "\\" + name;
}

bool FileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path)
{
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    if (!file)
        return std::string();
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    return bytes;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    const std::string text = ReadFileBytes(path);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    DWORD put = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
           put == bytes.size();
}

namespace {

template <typename Visit>
bool ForEachEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAA fd;
    const FindHandle find(FindFirstFileA(JoinPath(folder, "*").c_str(), &fd));
    if (!find)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = true;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            ok = visit(name, fd) && ok;
    } while (FindNextFileA(find.Get(), &fd));
    return ok;
}

}  // namespace

bool CopyFolder(const std::string& from, const std::string& to)
{
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return ForEachEntry(from, [&](const std::string& name, const WIN32_FIND_DATAA& fd) {
        std::string src = JoinPath(from, name), dst = JoinPath(to, name);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return CopyFolder(src, dst);
        return CopyFileA(src.c_str(), dst.c_str(), FALSE) != 0;
    });
}

namespace {

// The "\\?\" form of a full path: it reaches folders named like devices ("aux"), which a portable
// disk's layout holds.
std::string LiteralPath(const std::string& path)
{
    if (path.rfind("\\\\?\\", 0) == 0)
        return path;
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n && n < MAX_PATH ? "\\\\?\\" + std::string(full) : path;
}

}  // namespace

bool DeleteFolderTree(const std::string& path)
{
    std::string folder = LiteralPath(path);
    if (!FolderExists(folder))
        return true;
    ForEachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAA& fd) {
        std::string path = JoinPath(folder, name);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return DeleteFolderTree(path);
        return DeleteFileA(path.c_str()) != 0;
    });
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(folder.c_str()) != 0;
}

bool IsRunningUnderWine() { return wine::IsRunningUnderWine(); }

std::string UnixPathOf(const std::string& windowsPath)
{
    int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
    return wine::UnixPathOf(wide.data());
}

bool WineRunsAsRoot()
{
    char name[256] = {};
    DWORD length = sizeof name;
    return IsRunningUnderWine() && GetUserNameA(name, &length) && std::string(name) == "root";
}

bool LiftWriteProtection(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SECURITY_DESCRIPTOR anyone;
    return SetFileAttributesA(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL) &&
           InitializeSecurityDescriptor(&anyone, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&anyone, TRUE, nullptr, FALSE) &&
           SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, &anyone);
}

}  // namespace harness
