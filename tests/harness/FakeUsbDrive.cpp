#include "FakeUsbDrive.h"

#include "Paths.h"
#include "WineMountManager.h"

#include <windows.h>

#include <cctype>
#include <cstdio>

namespace harness {

bool DefineWineDrive(char letter, unsigned driveType, const std::string& unixFolder)
{
    return wine::DefineUnixDrive(static_cast<unsigned char>(letter), driveType, unixFolder);
}

char FirstFreeDriveLetter(char from)
{
    DWORD used = GetLogicalDrives();
    for (char c = from; c <= 'Y'; ++c)
        if (!(used & (1u << (c - 'A'))))
            return c;
    return 0;
}

FakeUsbDrive::FakeUsbDrive(const std::string& folder, char letter, unsigned long serial) : m_folder(folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    if (serial) {
        char text[16];
        snprintf(text, sizeof text, "%08lx\n", serial);
        WriteFileBytes(JoinPath(folder, ".windows-serial"), text);
    }
    m_letter = letter ? static_cast<char>(toupper(letter)) : FirstFreeDriveLetter();
    if (!m_letter || !Insert())
        m_letter = 0;
}

FakeUsbDrive::~FakeUsbDrive()
{
    if (m_mapped)
        Remove();
}

std::string FakeUsbDrive::Root() const { return std::string(1, m_letter) + ":\\"; }

bool FakeUsbDrive::Insert()
{
    std::string unixFolder = UnixPathOf(m_folder);
    if (unixFolder.empty() || !DefineWineDrive(m_letter, DRIVE_REMOVABLE, unixFolder))
        return false;
    m_mapped = true;
    return true;
}

bool FakeUsbDrive::Remove()
{
    if (!DefineWineDrive(m_letter, DRIVE_NO_ROOT_DIR, std::string()))
        return false;
    m_mapped = false;
    return true;
}

}  // namespace harness
