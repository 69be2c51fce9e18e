#include "FakeFileSystem.h"

#include <windows.h>

#include "CPortableDisk.h"

namespace {

const char* g_fileSystem = "NTFS";

BOOL WINAPI FakeVolumeInformation(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR fileSystem, DWORD size)
{
    if (!g_fileSystem)
        return FALSE;
    lstrcpynA(fileSystem, g_fileSystem, static_cast<int>(size));
    return TRUE;
}

}  // namespace

FakeFileSystem::FakeFileSystem(const char* name)
{
    Set(name);
    CPortableDisk::SetVolumeInformationQuery(&FakeVolumeInformation);
}

FakeFileSystem::~FakeFileSystem()
{
    CPortableDisk::SetVolumeInformationQuery(nullptr);
}

void FakeFileSystem::Set(const char* name)
{
    g_fileSystem = name;
}
