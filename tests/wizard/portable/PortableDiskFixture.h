#pragma once
// What the portable-drive tests share: a fake USB drive with a user's file on it, a program folder
// holding Agent.ini and Tavrin.dll, a source image, and ways to look at the drive as a user would
// (entries, attributes, bytes), through the extended path form so that "aux" is seen as a folder.
#include "CPortableDisk.h"
#include "FakeUsbDrive.h"
#include "Paths.h"
#include "PortableLayout.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace portabletest {

constexpr const char* kWork = PortableLayout::kWorkFolderName;
constexpr const char* kHiding = PortableLayout::kHidingFolderName;
constexpr const char* kImage = PortableLayout::kImageName;
constexpr char kDesktopIniBytes[] = "[.ShellClassInfo]\r\nCLSID={21ec2020-3aea-1069-a2dd-08002b30309d}\r\n";
constexpr char kUserFile[] = "notes.txt";
constexpr char kUserBytes[] = "my own notes, not the maker's";

// Wine keeps no archive bit on folders, so attributes are compared through this mask.
constexpr DWORD kShownAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kMissing = 0xFFFFFFFF;

DWORD ShownAttributesOf(const std::string& path);      // kMissing when absent
bool IsFolderAt(const std::string& path);
bool IsFileAt(const std::string& path);
std::set<std::string> EntriesOf(const std::string& folder);
std::string BytesOf(const std::string& path);           // "" when unreadable
std::string PatternBytes(size_t size, unsigned seed);
std::string CarriedResource(const char* name);          // a PORTABLEDISK resource of this program
void RemoveTree(const std::string& folder);             // copes with "aux" and read-only files
// Every file and folder under `folder` with its bytes ("<folder>" for folders), relative paths.
std::map<std::string, std::string> Snapshot(const std::string& folder);
std::string Lower(std::string text);

// The drive's paths, X:\ being `root`.
struct DrivePaths {
    std::string root;
    PortableLayout Layout() const { return PortableLayout(root); }
    std::string Work() const { return Layout().WorkFolder(); }
    std::string Hiding() const { return Layout().HidingFolder(); }
    std::string Aux() const { return Layout().RestFolder(); }
    std::string WorkPlace() const { return Layout().WorkPlace(); }
    std::string RestPlace() const { return Layout().RestPlace(); }
    // Where Brixom makes or copies an image before it is whole (Agent never looks there).
    std::string Unfinished() const { return Layout().UnfinishedPlace(); }
    std::string InWork(const char* name) const { return Layout().InWorkFolder(name); }
};

// A fake USB drive on a folder (the test's own, or media a script mounted), with the maker's inputs.
class DriveFixture {
public:
    explicit DriveFixture(const std::string& driveFolder);
    ~DriveFixture();

    bool Ready() const { return m_drive.Letter() != 0; }
    char Letter() const { return m_drive.Letter(); }
    harness::FakeUsbDrive& Drive() { return m_drive; }
    const DrivePaths& OnDrive() const { return m_onDrive; }
    DrivePaths InFolder() const { return DrivePaths{m_driveFolder + "\\"}; }   // the same, bypassing the letter

    std::string ProgramFolder() const { return m_program.Path(); }
    const std::string& SourceImage() const { return m_sourceImage; }
    const std::string& SourceBytes() const { return m_sourceBytes; }
    void WriteSourceImage(const std::string& bytes);

    void Aim(CPortableDisk& maker, const std::string& source) const;   // target, program folder
    void Aim(CPortableDisk& maker) const { Aim(maker, m_sourceImage); }

    // The layout with the image at rest, as both roads leave it.
    void ExpectLayoutAtRest(bool withDesktopIni, const std::string& imageBytes) const;
    void ExpectUserFileUntouched() const;

    // Leaves what is on the drive when the fixture goes (media a later run looks at).
    void KeepDriveContents() { m_keep = true; }

private:
    std::string m_driveFolder;
    harness::TempFolder m_program{"prog"};
    harness::TempFolder m_source{"src"};
    std::string m_sourceImage;
    std::string m_sourceBytes;
    harness::FakeUsbDrive m_drive;
    DrivePaths m_onDrive;
    bool m_keep = false;
};

}  // namespace portabletest
