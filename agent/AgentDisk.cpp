#include "AgentDisk.h"

#include "PortableLayout.h"
#include "Tavrin.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr int32_t kReadOnly = -1;

unsigned long VolumeSerialOf(char letter)
{
    const char root[] = {letter, ':', '\\', '\0'};
    DWORD serial = 0;
    return GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0) ? serial : 0;
}

// The file's creation time moves with it between the rest and work places and stays through every
// write-back; two images made apart never share it. 0 when the file cannot be read.
uint64_t CreationTimeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<uint64_t>(data.ftCreationTime.dwHighDateTime) << 32 | data.ftCreationTime.dwLowDateTime;
}

}  // namespace

std::string TrimBlanks(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

std::vector<wchar_t> ToUtf16(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

AgentDisk::AgentDisk(const std::string& exePath, const std::string& imageArgument) : m_imagePath(imageArgument)
{
    m_driveLetter = exePath.empty() ? 0 : exePath[0];
    m_volumeSerial = VolumeSerialOf(m_driveLetter);
}

// Paths are put together here from the layout's names alone: the layout's own path builders
// would add some 4 KiB to the file Agent travels as.
std::string AgentDisk::InWorkFolder(const char* name) const
{
    std::string path = "?:\\";
    path[0] = m_driveLetter;
    path += PortableLayout::kWorkFolderName;
    path += '\\';
    return path += name;
}

std::string AgentDisk::OwnWorkPlace() const { return InWorkFolder(ImageName()); }

std::string AgentDisk::WorkPlace() const { return Portable() ? OwnWorkPlace() : m_imagePath; }

bool AgentDisk::FindOwnDrive()
{
    // A serial says little (sticks cloned or formatted alike share one, and Wine makes one from
    // the letter): in portable mode the image itself tells the drive. An empty card reader asked
    // on the way must not ask the user for a disk.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const char was = m_driveLetter;
    for (m_driveLetter = 'A'; m_driveLetter <= 'Z'; ++m_driveLetter)
        if (m_openedCreation ? CreationTimeOf(OwnWorkPlace()) == m_openedCreation
                     : VolumeSerialOf(m_driveLetter) == m_volumeSerial &&
                           GetFileAttributesA(InWorkFolder("").c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
    const bool found = m_driveLetter <= 'Z';
    if (!found)
        m_driveLetter = was;
    SetErrorMode(errorMode);
    return found;
}

std::string AgentDisk::AuxFolder() const
{
    std::string path = InWorkFolder(PortableLayout::kHidingFolderName);
    path += '\\';
    path += PortableLayout::kRestFolderName;
    return path += '\\';
}

std::string AgentDisk::RestPlace() const { return AuxFolder() += ImageName(); }

void AgentDisk::MoveImageIntoWorkDir() const
{
    if (Portable())
        Tavrin_MoveFile(ToUtf16(RestPlace()).data(), ToUtf16(OwnWorkPlace()).data());
}

void AgentDisk::MoveImageIntoSafeDir() const
{
    Tavrin_MoveFile(ToUtf16(OwnWorkPlace()).data(), ToUtf16(RestPlace()).data());
}

std::string AgentDisk::OwnPath()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length <= MAX_PATH ? length : 0);
}

std::string AgentDisk::OwnFolder()
{
    const std::string path = OwnPath();
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool AgentDisk::ReadHeader(const std::string& path, ImageHeader& header)
{
    memset(&header, 0, sizeof header);
    return Tavrin_GetInfo(ToUtf16(path).data(), &header) != 0;
}

bool AgentDisk::WriteHeader(const std::string& path, const ImageHeader& header)
{
    return Tavrin_SetInfo(ToUtf16(path).data(), &header) != 0;
}

bool AgentDisk::SetStoredPassword(ImageHeader& header, const std::string& password)
{
    if (password.size() > kLongestPassword)
        return false;
    memset(header.password, 0, sizeof header.password);
    memcpy(header.password, password.data(), password.size());
    return true;
}

std::string AgentDisk::StoredPassword(const ImageHeader& header)
{
    return std::string(header.password, sizeof header.password);
}

char AgentDisk::FindFreeLetter() { return static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF); }

bool AgentDisk::EnsureDriverInstalled() { return Tavrin_IsInstalled() != 0 || Tavrin_Install() != 0; }

bool AgentDisk::Mount(char letter, bool readOnly)
{
    const std::string image = WorkPlace();
    if (!Tavrin_Mount(ToUtf16(image).data(), static_cast<unsigned char>(letter), readOnly ? kReadOnly : 0))
        return false;
    m_openedCreation = Portable() ? CreationTimeOf(image) : 0;
    return true;
}

int AgentDisk::Unmount(char letter) { return Tavrin_Unmount(static_cast<unsigned char>(letter), 0); }
