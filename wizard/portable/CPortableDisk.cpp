#include "CPortableDisk.h"

#include "ShellLaunch.h"

#include "HandleOwner.h"
#include "PortableLayout.h"

#include <vector>

namespace {

// The layout's names, a contract with Agent.
using Layout = PortableLayout;

// Resources this program carries for the drive.
constexpr char kResourceType[] = "PORTABLEDISK";
constexpr char kDesktopIniResource[] = "DESKTOP.INI";

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kReadOnlyHiddenSystem = kHiddenSystem | FILE_ATTRIBUTE_READONLY;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// Names tried in turn by the write test; one that is taken belongs to the user and stays untouched.
constexpr char kProbeName[] = "__tmp";
constexpr int kProbeNames = 100;

constexpr DWORD kFileSystemNameSize = 50;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "\\?\X:\..." reaches a folder named like a device ("aux") as a folder.
std::wstring ExtendedPath(const std::string& path)
{
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    return std::wstring(L"\\\\?\\") + wide.data();
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// With the trailing backslash the attributes reach the folder "aux", not the AUX device.
BOOL SetFolderAttributes(const std::string& folder, DWORD attributes)
{
    return SetFileAttributesA((folder + "\\").c_str(), attributes);
}

// An existing hidden or system file cannot be created anew or copied over with normal attributes.
void MakeReplaceable(const std::string& path)
{
    if (IsFile(path))
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Makes every missing level of "X:\a\b\c" through the extended form.
void CreateFolderTree(const std::string& folder)
{
    for (size_t slash = folder.find('\\', 3);; slash = folder.find('\\', slash + 1)) {
        std::string level = folder.substr(0, slash);
        if (!IsFolder(level))
            CreateDirectoryW(ExtendedPath(level).c_str(), nullptr);
        if (slash == std::string::npos)
            break;
    }
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n == 0 || n >= MAX_PATH ? path : std::string(full, n);
}

bool IsSamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0;
}

std::string FolderOfThisProgram()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, n < MAX_PATH ? n : 0);
    size_t slash = program.find_last_of('\\');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

}  // namespace

CPortableDisk::VolumeInformationQuery CPortableDisk::s_volumeInformation = &GetVolumeInformationA;

CPortableDisk::CPortableDisk() : m_programFolder(FolderOfThisProgram()) {}

CPortableDisk::~CPortableDisk() = default;

void CPortableDisk::SetProgramFolder(const char* folder) { m_programFolder = folder ? folder : ""; }

void CPortableDisk::SetVolumeInformationQuery(VolumeInformationQuery query)
{
    s_volumeInformation = query ? query : &GetVolumeInformationA;
}

int CPortableDisk::SetTarget(char letter, const char* imagePath)
{
    m_letter = letter;
    m_imagePath = imagePath ? imagePath : "";
    return 1;
}

// Paths -------------------------------------------------------------------------------------------

std::string CPortableDisk::DriveRoot() const { return std::string(1, m_letter) + ":\\"; }

std::string CPortableDisk::OnDrive(const char* name) const { return DriveRoot() + name; }

PortableLayout CPortableDisk::OnDriveLayout() const { return PortableLayout(DriveRoot()); }
std::string CPortableDisk::WorkFolder() const { return OnDriveLayout().WorkFolder(); }
std::string CPortableDisk::HidingFolder() const { return OnDriveLayout().HidingFolder(); }
std::string CPortableDisk::AuxFolder() const { return OnDriveLayout().RestFolder(); }
std::string CPortableDisk::RestPlace() const { return OnDriveLayout().RestPlace(); }
std::string CPortableDisk::GetImagePathOnDrive() const { return OnDriveLayout().WorkPlace(); }
std::string CPortableDisk::GetAuxFolderName() const { return Layout::RestFolderInWork(); }

BOOL CPortableDisk::IsImageAtRest() const
{
    return IsFile(RestPlace()) && !Exists(GetImagePathOnDrive());
}

// Queries -----------------------------------------------------------------------------------------

BOOL CPortableDisk::GetImageFileSize(ULONGLONG& size) const
{
    KernelHandle file(CreateFileA(m_imagePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER bytes = {};
    if (!file || !GetFileSizeEx(file.Get(), &bytes))
        return FALSE;
    size = static_cast<ULONGLONG>(bytes.QuadPart);
    return TRUE;
}

std::string CPortableDisk::FileSystemOf(char letter)
{
    const char root[4] = {letter, ':', '\\', '\0'};
    // Zeroed first: a failed query leaves the name empty.
    char name[kFileSystemNameSize] = {};
    s_volumeInformation(root, nullptr, 0, nullptr, nullptr, nullptr, name, kFileSystemNameSize);
    name[kFileSystemNameSize - 1] = '\0';
    return name;
}

std::string CPortableDisk::FileSystemName() const
{
    return FileSystemOf(m_letter);
}

BOOL CPortableDisk::IsDriveReady() const
{
    char name[kFileSystemNameSize] = {};
    return s_volumeInformation(DriveRoot().c_str(), nullptr, 0, nullptr, nullptr, nullptr, name,
                               kFileSystemNameSize);
}

int CPortableDisk::IsFatVolume() const
{
    std::string name = FileSystemName();
    return name == "FAT32" || name == "FAT" ? 1 : 0;
}

BOOL CPortableDisk::GetFreeSpace(ULONGLONG& bytes) const
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(DriveRoot().c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return FALSE;
    bytes = static_cast<ULONGLONG>(freeClusters) * bytesPerSector * sectorsPerCluster;
    return TRUE;
}

int CPortableDisk::IsDriveWritable() const
{
    // CREATE_NEW on a name nobody uses yet: a file of the user's that happens to bear the probe's
    // name is neither emptied nor deleted.
    for (int n = 0; n < kProbeNames; ++n) {
        std::string probe = OnDrive(kProbeName);
        if (n > 0)
            probe += std::to_string(n);
        KernelHandle file(
            CreateFileA(probe.c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            file.Reset();
            DeleteFileA(probe.c_str());
            return 1;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return 0;
    }
    return 0;
}

BOOL CPortableDisk::IsPortableOnDrive() const
{
    WIN32_FIND_DATAA found;
    std::string pattern = OnDriveLayout().InWorkFolder((std::string(Layout::kHidingFolderName) + "*").c_str());
    FindHandle search(FindFirstFileA(pattern.c_str(), &found));
    return search ? TRUE : FALSE;
}

// Building blocks ---------------------------------------------------------------------------------

int CPortableDisk::ExtractResource(const char* name, const char* path, const char* type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (!data || size == 0)
        return 0;

    MakeReplaceable(path);
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    DWORD written = 0;
    bool whole = WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
    file.Reset();
    if (!whole) {
        // A truncated Agent on the drive would fail on another computer with no hint why.
        DeleteFileA(path);
        return 0;
    }
    return 1;
}

int CPortableDisk::RunFolderCommand(const char* command, const std::string& path)
{
    char systemFolder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(systemFolder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 0;
    std::string interpreter = std::string(systemFolder) + "\\cmd.exe";
    OutputDebugStringA(interpreter.c_str());
    // The trailing backslash keeps the interpreter from taking "aux" for the device.
    std::string parameters = std::string("/c ") + command + " " + path + "\\";

    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    run.lpVerb = "OPEN";
    run.lpFile = interpreter.c_str();
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    if (!LateShellExecuteEx(&run) || !run.hProcess)
        return 0;
    KernelHandle process(run.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    return 1;
}

int CPortableDisk::MakeDirectory(const char* path)
{
    // The extended form makes a folder named like a device ("aux") and its missing parents in a few
    // microseconds; the command interpreter, which takes a process start (some 80 ms, three times
    // per portable disk), is the road left for a drive that refuses it.
    CreateFolderTree(path);
    if (!IsFolder(path))
        RunFolderCommand("md", path);
    return IsFolder(path) ? 1 : 0;
}

int CPortableDisk::RemoveDirectory(const char* path)
{
    RunFolderCommand("rd", path);
    if (IsFolder(path))
        RemoveDirectoryW(ExtendedPath(path).c_str());
    return IsFolder(path) ? 0 : 1;
}

// Layout operations -------------------------------------------------------------------------------

int CPortableDisk::CopyProgramFile(const char* name, DWORD attributes)
{
    std::string source = m_programFolder + "\\" + name;
    std::string target = OnDriveLayout().InWorkFolder(name);
    MakeReplaceable(target);
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        return 0;
    SetFileAttributesA(target.c_str(), attributes);
    return 1;
}

int CPortableDisk::InstallAgentFiles()
{
    std::string agent = OnDriveLayout().InWorkFolder(Layout::kAgentExe);
    if (!ExtractResource(Layout::kAgentExe, agent.c_str(), kResourceType))
        return 0;
    SetFileAttributesA(agent.c_str(), kSystem);
    if (!CopyProgramFile(Layout::kAgentIni, kHiddenSystem))
        return 0;
    return CopyProgramFile(Layout::kDriverLibrary, kHiddenSystem);
}

int CPortableDisk::BringImageToWorkPlace(LPPROGRESS_ROUTINE progress)
{
    std::string workPlace = GetImagePathOnDrive();
    // An image already at rest would refuse the move; copying another one beside it helps nobody.
    if (Exists(RestPlace()))
        return 0;
    // The image is used where it lies.
    if (IsSamePath(m_imagePath, workPlace))
        return IsFile(workPlace) ? 1 : 0;
    // Another image lies at the work place: it is not ours to replace, nor to move to rest.
    if (Exists(workPlace))
        return 0;
    // The copy goes under the unfinished name, and becomes the image only when whole.
    std::string unfinished = GetUnfinishedImagePath();
    if (!ClearUnfinished())
        return 0;
    if (!CopyFileExA(m_imagePath.c_str(), unfinished.c_str(), progress, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS)) {
        DWORD error = GetLastError();
        ClearUnfinished();
        SetLastError(error);
        return 0;
    }
    return CompleteImage();
}

std::string CPortableDisk::GetUnfinishedImagePath() const { return OnDriveLayout().UnfinishedPlace(); }

int CPortableDisk::ClearUnfinished()
{
    std::string unfinished = GetUnfinishedImagePath();
    if (IsFile(unfinished))
        DeleteLayoutFile(unfinished);
    return Exists(unfinished) ? 0 : 1;
}

int CPortableDisk::CompleteImage()
{
    // MoveFile never replaces: a finished image already at the work place stays as it is.
    return MoveFileA(GetUnfinishedImagePath().c_str(), GetImagePathOnDrive().c_str()) ? 1 : 0;
}

BOOL CPortableDisk::HoldsImage() const
{
    return IsFile(GetImagePathOnDrive()) || IsFile(RestPlace());
}

int CPortableDisk::ClearLeftovers()
{
    int cleared = ClearUnfinished();
    // A layout with no image at either place holds no disk: what a pulled drive left of a build.
    if (IsPortableOnDrive() && !HoldsImage() && !DeletePortable())
        cleared = 0;
    return cleared;
}

int CPortableDisk::CreatePortable(LPPROGRESS_ROUTINE progress)
{
    std::string hiding = HidingFolder();
    std::string aux = AuxFolder();

    MakeDirectory(WorkFolder().c_str());
    MakeDirectory(hiding.c_str());
    SetFolderAttributes(hiding, kHiddenSystem);

    // The shell shows the hiding folder as the Control Panel; its absence harms nobody.
    std::string desktopIni = OnDriveLayout().InHidingFolder(Layout::kDesktopIni);
    ExtractResource(kDesktopIniResource, desktopIni.c_str(), kResourceType);
    SetFileAttributesA(desktopIni.c_str(), kReadOnlyHiddenSystem);

    MakeDirectory(aux.c_str());
    SetFolderAttributes(aux, kSystem);

    if (!InstallAgentFiles())
        return 0;
    if (!BringImageToWorkPlace(progress))
        return 0;
    return HideImage();
}

int CPortableDisk::FinishPortableInPlace()
{
    std::string aux = AuxFolder();
    MakeDirectory(WorkFolder().c_str());
    MakeDirectory(aux.c_str());
    SetFolderAttributes(aux, kSystem);
    // Hidden like the full road's, so the drive looks the same whichever road built it.
    SetFolderAttributes(HidingFolder(), kHiddenSystem);

    if (!InstallAgentFiles())
        return 0;
    return HideImage();
}

int CPortableDisk::HideImage()
{
    // MoveFile never replaces: an image already at rest stays as it is.
    return MoveFileA(GetImagePathOnDrive().c_str(), RestPlace().c_str()) ? 1 : 0;
}

int CPortableDisk::UnhideImage()
{
    return MoveFileA(RestPlace().c_str(), GetImagePathOnDrive().c_str()) ? 1 : 0;
}

void CPortableDisk::DeleteLayoutFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

int CPortableDisk::DeletePortable()
{
    std::string workPlace = GetImagePathOnDrive();
    std::string restPlace = RestPlace();

    // The image goes first: while it cannot be deleted (mounted, locked, write-protected) the rest
    // of the layout stays, so the disk can still be opened from the drive.
    bool movedOut = UnhideImage() != 0;
    DeleteLayoutFile(workPlace);
    if (!movedOut && IsFile(restPlace) && !Exists(workPlace)) {
        // A file at each place: the one at the work place is gone now, the resting one follows.
        movedOut = UnhideImage() != 0;
        DeleteLayoutFile(workPlace);
    }
    if (Exists(workPlace) || Exists(restPlace)) {
        if (movedOut && !Exists(restPlace))
            HideImage();
        return 0;
    }

    std::string aux = AuxFolder();
    std::string hiding = HidingFolder();
    SetFolderAttributes(aux, FILE_ATTRIBUTE_NORMAL);
    RemoveDirectory(aux.c_str());
    DeleteLayoutFile(OnDriveLayout().InHidingFolder(Layout::kDesktopIni));
    RemoveDirectory(hiding.c_str());

    for (const char* name : {Layout::kAgentExe, Layout::kAgentIni, Layout::kDriverLibrary})
        DeleteLayoutFile(OnDriveLayout().InWorkFolder(name));
    // Only an empty work folder goes: files a user put there stay.
    RemoveDirectory(WorkFolder().c_str());
    return IsFolder(hiding) ? 0 : 1;
}
