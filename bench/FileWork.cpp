#include "FileWork.h"

#include <windows.h>

#include <vector>

#include "HandleOwner.h"

namespace {

constexpr DWORD kChunk = 4u << 20;

}  // namespace

double TimeSeconds(const std::function<bool()>& work, bool& ok)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ok = work() && ok;
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool RawWrite(const std::string& path, uint64_t bytes)
{
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::vector<char> zeros(kChunk, 0);
    bool ok = true;
    for (uint64_t done = 0; ok && done < bytes; done += kChunk) {
        const DWORD chunk = static_cast<DWORD>(bytes - done < kChunk ? bytes - done : kChunk);
        DWORD written = 0;
        ok = WriteFile(file.Get(), zeros.data(), chunk, &written, nullptr) && written == chunk;
    }
    ok = FlushFileBuffers(file.Get()) && ok;
    return ok;
}

bool CopyTree(const std::string& from, const std::string& to,
              const std::function<bool(const std::string& from, const std::string& to)>& copyFile)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + "\\" + name, to + "\\" + name, copyFile) && ok;
        else
            ok = copyFile(from + "\\" + name, to + "\\" + name) && ok;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return ok;
}

uint64_t FileSizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
