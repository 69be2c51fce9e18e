#include "PortableDiskFixture.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "HandleOwner.h"

namespace portabletest {

namespace {

std::wstring Extended(const std::string& path)
{
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    return std::wstring(L"\\\\?\\") + wide.data();
}

std::string Narrow(const wchar_t* text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> narrow(n > 0 ? n : 1);
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
    return narrow.data();
}

DWORD RawAttributesOf(const std::string& path) { return GetFileAttributesW(Extended(path).c_str()); }

}  // namespace

DWORD ShownAttributesOf(const std::string& path)
{
    DWORD attributes = RawAttributesOf(path);
    return attributes == INVALID_FILE_ATTRIBUTES ? kMissing : attributes & kShownAttributes;
}

bool IsFolderAt(const std::string& path)
{
    DWORD attributes = RawAttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFileAt(const std::string& path)
{
    DWORD attributes = RawAttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::set<std::string> EntriesOf(const std::string& folder)
{
    std::set<std::string> entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((Extended(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        std::string name = Narrow(found.cFileName);
        if (name != "." && name != "..")
            entries.insert(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

std::string BytesOf(const std::string& path)
{
    KernelHandle file(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string bytes;
    std::vector<char> chunk(1 << 20);
    DWORD got = 0;
    while (ReadFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got > 0)
        bytes.append(chunk.data(), got);
    return bytes;
}

std::string PatternBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string CarriedResource(const char* name)
{
    HRSRC found = FindResourceA(nullptr, name, "PORTABLEDISK");
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(nullptr, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

void RemoveTree(const std::string& folder)
{
    for (const std::string& name : EntriesOf(folder)) {
        std::string path = folder + "\\" + name;
        SetFileAttributesW(Extended(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (IsFolderAt(path)) {
            RemoveTree(path);
            RemoveDirectoryW(Extended(path).c_str());
        } else {
            DeleteFileW(Extended(path).c_str());
        }
    }
}

namespace {

void AddToSnapshot(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& into)
{
    for (const std::string& name : EntriesOf(folder)) {
        std::string path = folder + "\\" + name, key = relative.empty() ? name : relative + "\\" + name;
        if (IsFolderAt(path)) {
            into[key] = "<folder>";
            AddToSnapshot(path, key, into);
        } else {
            into[key] = BytesOf(path);
        }
    }
}

}  // namespace

std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> files;
    AddToSnapshot(folder, "", files);
    return files;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

DriveFixture::DriveFixture(const std::string& driveFolder)
    : m_driveFolder(driveFolder), m_drive(driveFolder)
{
    m_onDrive.root = m_drive.Root();
    harness::WriteFileBytes(m_program / "Agent.ini", "[Main]\r\nTitle=\"Agent of the test \"\r\n");
    harness::WriteFileBytes(m_program / "Tavrin.dll", PatternBytes(3000, 7));
    m_sourceImage = m_source / "disk.sqv";
    WriteSourceImage(PatternBytes(300 * 1024, 1));
    harness::WriteFileBytes(harness::JoinPath(m_driveFolder, kUserFile), kUserBytes);
}

DriveFixture::~DriveFixture()
{
    m_drive.Remove();
    if (!m_keep)
        RemoveTree(m_driveFolder);
}

void DriveFixture::WriteSourceImage(const std::string& bytes)
{
    m_sourceBytes = bytes;
    harness::WriteFileBytes(m_sourceImage, bytes);
}

void DriveFixture::Aim(CPortableDisk& maker, const std::string& source) const
{
    maker.SetTarget(Letter(), source.c_str());
    maker.SetProgramFolder(m_program.Path().c_str());
}

void DriveFixture::ExpectLayoutAtRest(bool withDesktopIni, const std::string& imageBytes) const
{
    const DrivePaths& x = m_onDrive;
    EXPECT_EQ(EntriesOf(x.root.substr(0, 2)), (std::set<std::string>{kUserFile, kWork}));
    EXPECT_EQ(EntriesOf(x.Work()), (std::set<std::string>{PortableLayout::kAgentExe, PortableLayout::kAgentIni,
                                                           PortableLayout::kDriverLibrary, kHiding}));
    std::set<std::string> hiding{PortableLayout::kRestFolderName};
    if (withDesktopIni)
        hiding.insert(PortableLayout::kDesktopIni);
    EXPECT_EQ(EntriesOf(x.Hiding()), hiding);
    EXPECT_EQ(EntriesOf(x.Aux()), std::set<std::string>{kImage});

    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN, system = FILE_ATTRIBUTE_SYSTEM, readOnly = FILE_ATTRIBUTE_READONLY;
    EXPECT_TRUE(IsFolderAt(x.Work()));
    EXPECT_TRUE(IsFolderAt(x.Hiding()));
    EXPECT_TRUE(IsFolderAt(x.Aux()));
    EXPECT_EQ(ShownAttributesOf(x.Work()), 0u);
    EXPECT_EQ(ShownAttributesOf(x.Hiding()), hidden | system);
    EXPECT_EQ(ShownAttributesOf(x.Aux()), system);
    EXPECT_EQ(ShownAttributesOf(x.InWork("Agent.exe")), system);
    EXPECT_EQ(ShownAttributesOf(x.InWork("Agent.ini")), hidden | system);
    EXPECT_EQ(ShownAttributesOf(x.InWork("Tavrin.dll")), hidden | system);
    EXPECT_EQ(ShownAttributesOf(x.RestPlace()), 0u);
    if (withDesktopIni) {
        EXPECT_EQ(ShownAttributesOf(x.Hiding() + "\\desktop.ini"), readOnly | hidden | system);
        EXPECT_EQ(BytesOf(x.Hiding() + "\\desktop.ini"), std::string(kDesktopIniBytes));
    }

    std::string agent = BytesOf(x.InWork("Agent.exe"));
    EXPECT_FALSE(agent.empty());
    EXPECT_TRUE(agent == CarriedResource("AGENT.EXE")) << "Agent.exe differs from the carried program";
    EXPECT_EQ(BytesOf(x.InWork("Agent.ini")), BytesOf(m_program / "Agent.ini"));
    EXPECT_TRUE(BytesOf(x.InWork("Tavrin.dll")) == BytesOf(m_program / "Tavrin.dll"));
    EXPECT_TRUE(BytesOf(x.RestPlace()) == imageBytes) << "the image at rest is not the source image";
    EXPECT_FALSE(IsFileAt(x.WorkPlace()));
}

void DriveFixture::ExpectUserFileUntouched() const
{
    EXPECT_EQ(BytesOf(harness::JoinPath(m_driveFolder, kUserFile)), std::string(kUserBytes));
}

}  // namespace portabletest
