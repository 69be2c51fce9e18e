#pragma once
// The portable-drive maker: writes, inspects and removes the folders and files on a USB drive that
// let Agent open a disk image on any computer. Agent reads and moves the image within exactly this
// layout, so its names, attributes and order are a contract with Agent.
//
// Built on the caller's stack for one operation; SetTarget first.
#include <windows.h>

#include <string>

#include "PortableLayout.h"

// winbase.h still carries the 16-bit GetFreeSpace(w) as a macro; it would eat our member's name.
#undef GetFreeSpace

class CPortableDisk {
public:
    // The shape of GetVolumeInformationA. Tests replace it process-wide to give a drive another
    // file system, since Wine reports NTFS for every drive.
    using VolumeInformationQuery = BOOL(WINAPI*)(LPCSTR root, LPSTR name, DWORD nameSize, LPDWORD serial,
                                                 LPDWORD maxComponent, LPDWORD flags, LPSTR fileSystem,
                                                 DWORD fileSystemSize);

    CPortableDisk();
    virtual ~CPortableDisk();
    CPortableDisk(const CPortableDisk&) = delete;
    CPortableDisk& operator=(const CPortableDisk&) = delete;

    // Set-up and queries ---------------------------------------------------------------------------
    int SetTarget(char letter, const char* imagePath);         // 1
    BOOL GetImageFileSize(ULONGLONG& size) const;              // of the source image
    BOOL IsDriveReady() const;                                  // non-zero = ready
    int IsFatVolume() const;                                    // 1 for "FAT" and "FAT32"
    BOOL GetFreeSpace(ULONGLONG& bytes) const;                  // out unchanged on failure
    int IsDriveWritable() const;                                // 1 / 0; never touches a user's file
    BOOL IsPortableOnDrive() const;                             // the hiding folder is there
    std::string GetImagePathOnDrive() const;                    // the image's work place
    BOOL IsImageAtRest() const;                                 // at the rest place, none at the work place
    BOOL HoldsImage() const;                                    // an image at the work or the rest place
    std::string GetAuxFolderName() const;                       // relative to the work folder
    // The file-system name of a drive ("" when it cannot be read), through the query below; every
    // page asks it here, so a test can give a drive another file system.
    static std::string FileSystemOf(char letter);

    // Building blocks ------------------------------------------------------------------------------
    // From this program's own resources; 1 when the whole resource reached the file.
    int ExtractResource(const char* name, const char* path, const char* type);
    // Folders are made and removed by the command interpreter (it copes with the reserved name
    // "aux"), then checked; 1 when the folder is there / gone afterwards. windows.h turns the
    // second name into RemoveDirectoryA for declaration and callers alike.
    int MakeDirectory(const char* path);
    int RemoveDirectory(const char* path);

    // Layout operations: 1 = done, 0 = stopped (what was written before stays) ----------------------
    int CreatePortable(LPPROGRESS_ROUTINE progress);            // the whole layout round the source image
    int FinishPortableInPlace();                                // around an image already at the work place
    int HideImage();                                            // work place -> rest place
    int UnhideImage();                                          // rest place -> work place
    int DeletePortable();                                       // 1 only when the portable disk is gone

    // An image being made or copied onto the drive lies in the work folder under a name of its own
    // until it is whole; CompleteImage then gives it the work place (never over an image there).
    std::string GetUnfinishedImagePath() const;
    int CompleteImage();                                        // 1 = it is at the work place now
    int ClearUnfinished();                                      // 1 = no unfinished image is left
    // What an interrupted build left and no one can use: an unfinished image, and a layout that
    // holds no image at all. A finished image and the layout around it stay. 1 = all cleared.
    int ClearLeftovers();

    // Test seams -----------------------------------------------------------------------------------
    // Where Agent.ini and Tavrin.dll are copied from; the folder of this program by default.
    void SetProgramFolder(const char* folder);
    // nullptr restores GetVolumeInformationA.
    static void SetVolumeInformationQuery(VolumeInformationQuery query);

private:
    std::string DriveRoot() const;
    std::string OnDrive(const char* name) const;
    PortableLayout OnDriveLayout() const;
    std::string WorkFolder() const;
    std::string HidingFolder() const;
    std::string AuxFolder() const;
    std::string RestPlace() const;
    std::string FileSystemName() const;

    int RunFolderCommand(const char* command, const std::string& path);
    int InstallAgentFiles();
    int CopyProgramFile(const char* name, DWORD attributes);
    int BringImageToWorkPlace(LPPROGRESS_ROUTINE progress);
    void DeleteLayoutFile(const std::string& path);

    char m_letter = 0;
    std::string m_imagePath;
    std::string m_programFolder;

    static VolumeInformationQuery s_volumeInformation;
};
