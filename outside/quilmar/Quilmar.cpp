// Quilmar.dll: the image-lock service. Protecting an image hides it and lists it; releasing it
// makes it a plain file again.
#include "QuilmarApi.h"

#include "ProtectedList.h"
#include "TestSeam.h"

#include <windows.h>

#include <cstring>
#include <string>

using outside::ProtectedList;
using outside::TestSeam;

namespace {

constexpr size_t kMaxPathLength = 260;   // callers hold paths in MAX_PATH buffers
constexpr size_t kEntryBufferBytes = 1024;

bool FullPathOf(const char* path, std::wstring& fullPath)
{
    if (!path || !*path || strlen(path) >= kMaxPathLength)
        return false;
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], length);
    wchar_t full[MAX_PATH * 2];
    DWORD fullLength = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, full, nullptr);
    if (fullLength == 0 || fullLength >= kMaxPathLength)
        return false;
    fullPath.assign(full, fullLength);
    return true;
}

void Journal(const std::string& call, long long result)
{
    if (TestSeam::JournalEnabled())
        TestSeam::Record(call + " -> " + std::to_string(result));
}

}  // namespace

extern "C" int __cdecl Quilmar_SetProtection(const char* path, int32_t reserved1, int32_t reserved2, int32_t protect)
{
    int result = 0;
    std::wstring fullPath;
    if (FullPathOf(path, fullPath)) {
        if (protect)
            result = !TestSeam::HasFault("protect-refused") && ProtectedList::Protect(fullPath);
        else
            result = !TestSeam::HasFault("release-refused") && ProtectedList::Release(fullPath);
    }
    Journal("Quilmar_SetProtection(" + TestSeam::Quote(path) + ", " + std::to_string(reserved1) + ", " +
                std::to_string(reserved2) + ", " + std::to_string(protect) + ")",
            result);
    return result;
}

extern "C" uint32_t __cdecl Quilmar_GetProtectedCount(void)
{
    const uint32_t count = static_cast<uint32_t>(ProtectedList::Entries().size());
    Journal("Quilmar_GetProtectedCount()", count);
    return count;
}

extern "C" int __cdecl Quilmar_GetProtectedEntry(uint32_t index, char* path1024, char* buffer1024a,
                                                 char* buffer1024b, uint8_t* kind, uint32_t* state)
{
    (void)buffer1024a;   // the further buffers carry nothing in this list
    (void)buffer1024b;
    int result = 0;
    const auto entries = ProtectedList::Entries();
    if (index < entries.size() && path1024) {
        const auto& entry = entries[index];
        char ansi[kEntryBufferBytes] = {};
        if (WideCharToMultiByte(CP_ACP, 0, entry.path.c_str(), -1, ansi, kEntryBufferBytes - 1, nullptr, nullptr) > 0) {
            memcpy(path1024, ansi, strlen(ansi) + 1);
            if (kind)
                *kind = entry.kind;
            if (state)
                *state = entry.state;
            result = 1;
        }
    }
    Journal("Quilmar_GetProtectedEntry(" + std::to_string(index) + ")", result);
    return result;
}

extern "C" int __cdecl Quilmar_StartService(void)
{
    const int result = ProtectedList::StartService() ? 1 : 0;
    Journal("Quilmar_StartService()", result);
    return result;
}

extern "C" int __cdecl Quilmar_IsServiceRunning(void)
{
    const int result = !TestSeam::HasFault("quilmar-not-ready") && ProtectedList::IsServiceRunning() ? 1 : 0;
    Journal("Quilmar_IsServiceRunning()", result);
    return result;
}
