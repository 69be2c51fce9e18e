#include "DiskDriver.h"

#include "DeviceBroadcast.h"
#include "DriveMapper.h"
#include "FileTree.h"
#include "ImageFile.h"
#include "NamedMutexLock.h"
#include "SlotStore.h"
#include "TestSeam.h"
#include "VolumeStore.h"
#include "WriteProtection.h"

#include <windows.h>
#include <shlobj.h>

#include <cwctype>

namespace outside {

namespace {

constexpr wchar_t kFirstLetter = L'D';
constexpr wchar_t kLastLetter = L'Z';
constexpr const wchar_t* kMountsFolder = L"Tavrin\\Mounts";
constexpr const wchar_t* kBusySuffix = L".busy";

wchar_t NormalLetter(uint32_t letter)
{
    const wchar_t upper = static_cast<wchar_t>(towupper(static_cast<wchar_t>(letter)));
    return upper >= L'A' && upper <= L'Z' ? upper : 0;
}

// shell32 is loaded at the first mount, not with the library: every program that binds Tavrin
// would otherwise load and initialise it on each start, mostly to list or check its disks.
template <typename Fn>
Fn Shell32Function(const char* name)
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    HMODULE shell = LoadLibraryW((std::wstring(folder) + L"\\shell32.dll").c_str());
    return shell ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(shell, name))) : nullptr;
}

// Local, per user, and never beside the image: a folder on the USB drive would make the mounted
// letter look removable, and one beside a hidden image would show where it lies.
std::wstring MountsRoot()
{
    const auto folderPath = Shell32Function<decltype(&::SHGetFolderPathW)>("SHGetFolderPathW");
    const auto createDirectory = Shell32Function<decltype(&::SHCreateDirectoryExW)>("SHCreateDirectoryExW");
    wchar_t appData[MAX_PATH] = {};
    if (!folderPath || !createDirectory ||
        FAILED(folderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData)))
        return std::wstring();
    const std::wstring root = std::wstring(appData) + L"\\" + kMountsFolder;
    createDirectory(nullptr, root.c_str(), nullptr);
    return root;
}

std::wstring NewMountFolder(int slot)
{
    const std::wstring root = MountsRoot();
    if (root.empty())
        return std::wstring();
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        swprintf(name, 64, L"%d-%lx-%llx-%d", slot, GetCurrentProcessId(),
                 static_cast<unsigned long long>(GetTickCount64()), attempt);
        const std::wstring folder = root + L"\\" + name;
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
    }
    return std::wstring();
}

// The volume an image lies on and its place there, for a path with a drive letter.
void LocateOnVolume(const std::wstring& imagePath, unsigned long& serial, std::wstring& onVolume)
{
    serial = 0;
    onVolume.clear();
    wchar_t full[1024];
    const DWORD length = GetFullPathNameW(imagePath.c_str(), 1024, full, nullptr);
    if (length < 3 || length >= 1024 || full[1] != L':' || full[2] != L'\\')
        return;
    const wchar_t root[] = {full[0], L':', L'\\', L'\0'};
    DWORD volumeSerial = 0;
    if (GetVolumeInformationW(root, nullptr, 0, &volumeSerial, nullptr, nullptr, nullptr, 0)) {
        serial = volumeSerial;
        onVolume.assign(full + 2, length - 2);
    }
}

// Where the image of a record is now: on its volume, whatever letter that volume has today. Empty
// when the volume is not there; never a file of the same name on another volume that took the
// letter.
std::wstring ReachableImage(const SlotRecord& record)
{
    if (!record.volumeSerial)
        return record.imagePath;
    unsigned long serial = 0;
    std::wstring onVolume;
    LocateOnVolume(record.imagePath, serial, onVolume);
    if (serial == record.volumeSerial)
        return record.imagePath;
    // An empty card reader asked on the way must not ask the user for a disk.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    std::wstring found;
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z' && found.empty(); ++letter) {
        if (!(drives & (1u << (letter - L'A'))))
            continue;
        const std::wstring candidate = std::wstring(1, letter) + L":" + record.imageOnVolume;
        LocateOnVolume(candidate, serial, onVolume);
        if (serial == record.volumeSerial &&
            GetFileAttributesW(FileTree::LongPath(candidate).c_str()) != INVALID_FILE_ATTRIBUTES)
            found = candidate;
    }
    SetErrorMode(errorMode);
    return found;
}

// The mounted files go, a read-only disk's write protection first.
void DropFiles(const SlotRecord& record)
{
    if (record.readOnly)
        WriteProtection::Release(record.folder);
    FileTree::DeleteTree(record.folder);
}

// Windows refuses to rename a folder while a file inside it is open: the same answer a real
// volume gives when it is locked for dismounting.
bool HasOpenFiles(const std::wstring& folder)
{
    const std::wstring busy = folder + kBusySuffix;
    if (!MoveFileExW(FileTree::LongPath(folder).c_str(), FileTree::LongPath(busy).c_str(), 0))
        return GetFileAttributesW(FileTree::LongPath(folder).c_str()) != INVALID_FILE_ATTRIBUTES;
    MoveFileExW(FileTree::LongPath(busy).c_str(), FileTree::LongPath(folder).c_str(), 0);
    return false;
}

// Brings a mounted disk's files back into its image and takes its letter away. Nothing is
// dropped before the image holds it: when the files cannot be written back the slot, its letter
// and its files all stay, marked for writing back at the next chance.
bool Dismount(const SlotRecord& record, wchar_t& removedLetter)
{
    // A dismount that ended between the two renames of its open-files check left the files under
    // the busy name.
    const std::wstring busy = FileTree::LongPath(record.folder + kBusySuffix);
    if (GetFileAttributesW(FileTree::LongPath(record.folder).c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesW(busy.c_str()) != INVALID_FILE_ATTRIBUTES)
        MoveFileExW(busy.c_str(), FileTree::LongPath(record.folder).c_str(), 0);
    const bool folderExists = GetFileAttributesW(FileTree::LongPath(record.folder).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (folderExists && HasOpenFiles(record.folder))
        return false;
    if (!record.readOnly && folderExists) {
        std::vector<TreeEntry> entries;
        if (!FileTree::Scan(record.folder, entries))
            return false;
        if (record.pendingWriteBack || FileTree::Fingerprint(entries) != record.manifest) {
            SlotStore::SetPending(record.slot, true);
            const std::wstring image = ReachableImage(record);
            if (image.empty() || !VolumeStore::Pack(image, record.folder, entries))
                return false;
        }
    }
    TestSeam::PauseWriteBackIfAsked("cleanup");
    const bool wasMapped = DriveMapper::IsLetterInUse(record.letter);
    DriveMapper::Unmap(record.letter);
    SlotStore::Remove(record.slot);
    if (folderExists)
        DropFiles(record);
    if (wasMapped)
        removedLetter = record.letter;
    return true;
}

// Announced once the driver's lock is given back: a window that hears of it may well call the
// driver in turn.
class PendingAnnouncements {
public:
    ~PendingAnnouncements()
    {
        if (removed)
            DeviceBroadcast::VolumeRemoved(removed);
        if (arrived)
            DeviceBroadcast::VolumeArrived(arrived);
    }
    wchar_t removed = 0;
    wchar_t arrived = 0;
};

}  // namespace

bool DiskDriver::IsInstalled() { return SlotStore::IsInstalled() && DriveMapper::CanMap(); }

bool DiskDriver::Install() { return DriveMapper::CanMap() && SlotStore::Install(); }

bool DiskDriver::Mount(const std::wstring& imagePath, uint32_t letterValue, bool readOnly)
{
    const wchar_t letter = NormalLetter(letterValue);
    if (!letter)
        return false;
    PendingAnnouncements announcements;
    NamedMutexLock lock(SlotStore::kDriverMutex);
    if (!lock.Owned())
        return false;
    uint8_t header[ImageFile::kHeaderBytes];
    if (!ImageFile::ReadHeader(imagePath, header))
        return false;

    // The same image still listed (by its path, or by its volume when its drive came back on
    // another letter): an earlier dismount could not finish. Its kept files go back into the
    // image first; an image mounted and in use stays as it is.
    SlotRecord record;
    LocateOnVolume(imagePath, record.volumeSerial, record.imageOnVolume);
    SlotRecord existing;
    if (SlotStore::FindByImage(imagePath, record.volumeSerial, record.imageOnVolume, existing)) {
        if (!existing.pendingWriteBack || !Dismount(existing, announcements.removed))
            return false;
    }
    SlotRecord holder;
    if (SlotStore::FindByLetter(letter, holder) || DriveMapper::IsLetterInUse(letter))
        return false;

    record.slot = SlotStore::FreeSlot();
    if (record.slot < 0)
        return false;
    record.letter = letter;
    record.imagePath = imagePath;
    record.readOnly = readOnly;
    record.folder = NewMountFolder(record.slot);
    if (record.folder.empty())
        return false;
    std::vector<TreeEntry> entries;
    if (!VolumeStore::Unpack(imagePath, record.folder) || !FileTree::Scan(record.folder, entries)) {
        FileTree::DeleteTree(record.folder);
        return false;
    }
    record.manifest = FileTree::Fingerprint(entries);
    // A read-only disk that could be written would drop what is saved on it at the dismount: it is
    // shown only once nothing on it can be changed.
    if ((readOnly && !WriteProtection::Protect(record.folder)) || !SlotStore::Write(record) ||
        !DriveMapper::Map(letter, record.folder)) {
        SlotStore::Remove(record.slot);
        DropFiles(record);
        return false;
    }
    announcements.arrived = letter;
    return true;
}

bool DiskDriver::Unmount(uint32_t letterValue)
{
    const wchar_t letter = NormalLetter(letterValue);
    if (!letter)
        return false;
    PendingAnnouncements announcements;
    NamedMutexLock lock(SlotStore::kDriverMutex);
    SlotRecord record;
    return lock.Owned() && SlotStore::FindByLetter(letter, record) && Dismount(record, announcements.removed);
}

bool DiskDriver::ImageOf(uint32_t letterValue, std::wstring& imagePath)
{
    SlotRecord record;
    const wchar_t letter = NormalLetter(letterValue);
    if (!letter || !SlotStore::FindByLetter(letter, record))
        return false;
    imagePath = record.imagePath;
    return true;
}

uint32_t DiskDriver::MountedMask()
{
    uint32_t mask = 0;
    for (const SlotRecord& record : SlotStore::All())
        mask |= 1u << record.slot;
    return mask;
}

uint32_t DiskDriver::SlotLetter(int slot)
{
    SlotRecord record;
    return SlotStore::Find(slot, record) ? record.letter : 0;
}

uint32_t DiskDriver::FindFreeLetter()
{
    const auto records = SlotStore::All();
    for (wchar_t letter = kLastLetter; letter >= kFirstLetter; --letter) {
        bool taken = DriveMapper::IsLetterInUse(letter);
        for (const SlotRecord& record : records)
            taken = taken || towupper(record.letter) == letter;
        if (!taken)
            return letter;
    }
    return 0;
}

bool DiskDriver::MoveImage(const std::wstring& source, const std::wstring& destination)
{
    // A mounted image stays where its disk's files go back to.
    SlotRecord mounted;
    unsigned long serial = 0;
    std::wstring onVolume;
    LocateOnVolume(source, serial, onVolume);
    if (SlotStore::FindByImage(source, serial, onVolume, mounted))
        return false;
    // The long form keeps reserved names such as "aux" on the way plain folder names.
    return MoveFileExW(FileTree::LongPath(source).c_str(), FileTree::LongPath(destination).c_str(),
                       MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace outside
