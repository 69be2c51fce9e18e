#include "MountedDriveInfo.h"

size_t ClampedPathLength(const MountedDriveInfo& info)
{
    size_t length = info.pathLength;
    const size_t most = MountedDriveInfo::kPathUnits - 1;
    return length < most ? length : most;
}

std::wstring MountedImagePath(const MountedDriveInfo& info)
{
    const size_t length = ClampedPathLength(info);
    size_t end = 0;
    while (end < length && info.path[end] != L'\0')
        ++end;
    return std::wstring(info.path, end);
}
