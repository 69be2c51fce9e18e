#pragma once
// Where Agent's disk image lies and what the driver library does with it. In portable mode the
// image rests in the hidden folder of the drive Agent runs from and is moved to the work folder
// while in use; given an image path, Agent uses that file where it lies and moves nothing. One
// path serves the password check, the mount and the uninstall, so nothing is mounted or deleted
// whose password was not checked.
#include "ImageHeader.h"
#include "PortableLayout.h"

#include <cstdint>
#include <string>
#include <vector>

class AgentDisk {
public:
    // The field keeps a terminating NUL, which Brixom's reader needs.
    static constexpr size_t kLongestPassword = ImageHeader::kPasswordSize - 1;

    // Agent's own full path and its folder (no trailing backslash).
    static std::string OwnPath();
    static std::string OwnFolder();

    // `exePath`: Agent's own full path; `imageArgument`: the first argument, empty in portable mode.
    AgentDisk(const std::string& exePath, const std::string& imageArgument);

    bool Portable() const { return m_imagePath.empty(); }
    // The image given on the command line; empty in portable mode.
    const std::string& ImagePath() const { return m_imagePath; }
    // The image's file name in the portable layout.
    static const char* ImageName() { return PortableLayout::kImageName; }
    char ExeDriveLetter() const { return m_driveLetter; }

    std::string WorkPlace() const;      // the file the header is read from, mounted and deleted
    std::string RestPlace() const;
    std::string AuxFolder() const;      // with its trailing backslash (the command interpreter needs it)

    // The image of Agent's own drive into its work place: portable mode only, a no-op with an
    // image path. The driver's move never replaces a file.
    void MoveImageIntoWorkDir() const;
    // Whatever lies in the work place of Agent's own drive back into its rest place, in both modes.
    void MoveImageIntoSafeDir() const;

    // A drive pulled and plugged in again may come back on another letter. Portable mode: the
    // drive whose work place holds the image opened (the same file's creation time); argument
    // mode: the drive of the same volume serial with the work folder. True when it is there, with
    // ExeDriveLetter() its letter now.
    bool FindOwnDrive();

    // The header of the image at `path`, zero-filled before the read.
    static bool ReadHeader(const std::string& path, ImageHeader& header);
    // Writes a whole header back; the driver rewrites the header only, also during a mount.
    static bool WriteHeader(const std::string& path, const ImageHeader& header);
    bool ReadHeader(ImageHeader& header) const { return ReadHeader(WorkPlace(), header); }
    static std::string StoredPassword(const ImageHeader& header);   // the whole field, NULs kept
    // Puts `password` into the field, zero-filled behind it; nothing else of the header changes.
    // False, with the header untouched, for a password the field cannot hold.
    static bool SetStoredPassword(ImageHeader& header, const std::string& password);

    static char FindFreeLetter();
    static bool EnsureDriverInstalled();
    // Mounts the image from its work place; the image so opened (its file's creation time) is then
    // what tells Agent's drive from another stick laid out alike (same folders, same volume serial)
    // once the drive was pulled.
    bool Mount(char letter, bool readOnly);
    // Tavrin_Unmount's answer: 0 when the disk stays; kTavrinDismountedChangesDropped when it
    // was read-only and had been changed all the same (nothing of it was kept).
    static int Unmount(char letter);

private:
    std::string InWorkFolder(const char* name) const;   // on Agent's own drive
    std::string OwnWorkPlace() const;   // the work place of Agent's own drive, in both modes

    std::string m_imagePath;
    char m_driveLetter = 0;
    unsigned long m_volumeSerial = 0;
    uint64_t m_openedCreation = 0;   // the image opened: its creation time (0: none opened)
};

// Whitespace and control characters (everything up to a blank, NUL included) stripped at both ends.
std::string TrimBlanks(const std::string& text);
// Text of the ANSI code page as UTF-16 (the driver library's paths, wide message boxes), ended by
// a NUL. A vector rather than std::wstring keeps the wide string library out of Agent.exe.
std::vector<wchar_t> ToUtf16(const std::string& text);
