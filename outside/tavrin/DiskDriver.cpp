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

#include <algorithm>
#include <cwctype>

namespace outside {

namespace {

constexpr wchar_t kFirstLetter = L'D';
constexpr wchar_t kLastLetter = L'Z';
constexpr const wchar_t* kMountsFolder = L"Tavrin\\Mounts";
constexpr const wchar_t* kBusySuffix = L".busy";
constexpr const wchar_t* kStampsSuffix = L".files";

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

// True when `path` holds the image of `record`: a file in one of the record's volume states, on
// the record's volume (by its serial) unless the state names the volume alone.
bool HoldsImageOf(const SlotRecord& record, const std::wstring& path)
{
    if (GetFileAttributesW(FileTree::LongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    VolumeMark mark;
    const bool readable = VolumeStore::MarkOf(path, mark);
    if (!record.Accepts(readable ? &mark : nullptr))
        return false;
    if (!record.volumeSerial || record.KnowsItsVolume())
        return true;
    unsigned long serial = 0;
    std::wstring onVolume;
    LocateOnVolume(path, serial, onVolume);
    return serial == record.volumeSerial;
}

// Where the image of a record is now: where it was, or at its place on its volume, whatever letter
// that volume has today (a drive of the same serial first; a serial made from the letter changes
// with it, and then the image's volume id alone tells it). Empty when it is not there; never a
// file of the same name on another stick that took the letter, nor an image of another volume.
std::wstring ReachableImage(const SlotRecord& record)
{
    if (HoldsImageOf(record, record.imagePath))
        return record.imagePath;
    if (record.imageOnVolume.empty())
        return std::wstring();
    // An empty card reader asked on the way must not ask the user for a disk.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    uint32_t ownLetters = 0;
    for (const SlotRecord& other : SlotStore::All())
        if (other.letter >= L'A' && other.letter <= L'Z')
            ownLetters |= 1u << (other.letter - L'A');
    const DWORD drives = GetLogicalDrives() & ~ownLetters;
    std::wstring found;
    for (int pass = 0; pass < 2 && found.empty(); ++pass) {
        for (wchar_t letter = L'A'; letter <= L'Z' && found.empty(); ++letter) {
            if (!(drives & (1u << (letter - L'A'))))
                continue;
            const std::wstring candidate = std::wstring(1, letter) + L":" + record.imageOnVolume;
            unsigned long serial = 0;
            std::wstring onVolume;
            LocateOnVolume(candidate, serial, onVolume);
            const bool sameSerial = record.volumeSerial && serial == record.volumeSerial;
            if ((pass == 0) == sameSerial && HoldsImageOf(record, candidate))
                found = candidate;
        }
    }
    SetErrorMode(errorMode);
    return found;
}

std::wstring StampsFile(const SlotRecord& record) { return record.folder + kStampsSuffix; }

// The stamps of the files as they were mounted, kept beside their folder.
bool SaveStamps(const SlotRecord& record, const std::vector<TreeEntry>& entries)
{
    const std::vector<uint64_t> stamps = FileTree::Stamps(entries);
    KernelHandle file(CreateFileW(FileTree::LongPath(StampsFile(record)).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD bytes = static_cast<DWORD>(stamps.size() * sizeof(uint64_t));
    DWORD written = 0;
    return file && (bytes == 0 || (WriteFile(file.Get(), stamps.data(), bytes, &written, nullptr) && written == bytes));
}

// None when they cannot be read: every file is then written back, as one that changed.
std::vector<uint64_t> LoadStamps(const SlotRecord& record)
{
    std::vector<uint64_t> stamps;
    KernelHandle file(CreateFileW(FileTree::LongPath(StampsFile(record)).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart % sizeof(uint64_t) != 0 ||
        size.QuadPart > (1ll << 31))
        return stamps;
    stamps.resize(static_cast<size_t>(size.QuadPart) / sizeof(uint64_t));
    DWORD read = 0;
    if (!stamps.empty() &&
        (!ReadFile(file.Get(), stamps.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) ||
         read != size.QuadPart || !std::is_sorted(stamps.begin(), stamps.end())))
        stamps.clear();
    return stamps;
}

// The mounted files go, a read-only disk's write protection first.
void DropFiles(const SlotRecord& record)
{
    if (record.readOnly)
        WriteProtection::Release(record.folder);
    FileTree::DeleteTree(record.folder);
    DeleteFileW(FileTree::LongPath(StampsFile(record)).c_str());
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

enum class Dismounted { kNot, kDone, kChangesDropped };

// Brings a mounted disk's files back into its image and takes its letter away. Nothing is
// dropped before the image holds it: when the files cannot be written back the slot, its letter
// and its files all stay, marked for writing back at the next chance. A read-only disk keeps
// nothing; changed all the same (its owner lifted the rule), it says so.
Dismounted Dismount(const SlotRecord& record, wchar_t& removedLetter)
{
    // A dismount that ended between the two renames of its open-files check left the files under
    // the busy name.
    const std::wstring busy = FileTree::LongPath(record.folder + kBusySuffix);
    if (GetFileAttributesW(FileTree::LongPath(record.folder).c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesW(busy.c_str()) != INVALID_FILE_ATTRIBUTES)
        MoveFileExW(busy.c_str(), FileTree::LongPath(record.folder).c_str(), 0);
    const bool folderExists = GetFileAttributesW(FileTree::LongPath(record.folder).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (folderExists && HasOpenFiles(record.folder))
        return Dismounted::kNot;
    bool changesDropped = false;
    if (folderExists) {
        std::vector<TreeEntry> entries;
        const bool scanned = FileTree::Scan(record.folder, entries);
        if (record.readOnly) {
            changesDropped = !scanned || FileTree::Fingerprint(entries) != record.manifest;
        } else if (!scanned) {
            return Dismounted::kNot;
        } else if (record.pendingWriteBack || FileTree::Fingerprint(entries) != record.manifest) {
            SlotStore::SetPending(record.slot, true);
            const std::wstring image = ReachableImage(record);
            WriteBackTarget target;
            target.from = record.States();
            target.unchanged = LoadStamps(record);
            const int slot = record.slot;
            target.committing = [slot](const VolumeMark& next) { return SlotStore::SetNextMark(slot, next); };
            if (image.empty() || !VolumeStore::Pack(image, record.folder, entries, target))
                return Dismounted::kNot;
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
    return changesDropped ? Dismounted::kChangesDropped : Dismounted::kDone;
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
    // image first; an image mounted and in use stays as it is. Another image at the same place
    // (a look-alike stick on the same letter) is not that record's and mounts as itself.
    SlotRecord record;
    LocateOnVolume(imagePath, record.volumeSerial, record.imageOnVolume);
    if (!VolumeStore::MarkOf(imagePath, record.mark))
        return false;
    SlotRecord existing;
    if (SlotStore::FindByImage(imagePath, record.volumeSerial, record.imageOnVolume, &record.mark, existing)) {
        if (!existing.pendingWriteBack || Dismount(existing, announcements.removed) == Dismounted::kNot ||
            !VolumeStore::MarkOf(imagePath, record.mark))
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
    if (!VolumeStore::Unpack(imagePath, record.folder)) {
        FileTree::DeleteTree(record.folder);
        return false;
    }
    // An image without a volume id (made by an older library) gets one, so that no look-alike
    // can be taken for it; where it cannot be written it stays as it is, known by its state.
    if (!readOnly)
        VolumeStore::GiveIdentity(imagePath, record.mark);
    record.markKnown = true;
    // A read-only disk that could be written would drop what is saved on it at the dismount: it is
    // shown only once nothing on it can be changed. What the files look like is taken after that.
    std::vector<TreeEntry> entries;
    const bool ready = (!readOnly || WriteProtection::Protect(record.folder)) &&
                       FileTree::Scan(record.folder, entries) && SaveStamps(record, entries);
    record.manifest = FileTree::Fingerprint(entries);
    if (!ready || !SlotStore::Write(record) || !DriveMapper::Map(letter, record.folder)) {
        SlotStore::Remove(record.slot);
        DropFiles(record);
        return false;
    }
    announcements.arrived = letter;
    return true;
}

int DiskDriver::Unmount(uint32_t letterValue)
{
    const wchar_t letter = NormalLetter(letterValue);
    if (!letter)
        return kNotDismounted;
    PendingAnnouncements announcements;
    NamedMutexLock lock(SlotStore::kDriverMutex);
    SlotRecord record;
    if (!lock.Owned() || !SlotStore::FindByLetter(letter, record))
        return kNotDismounted;
    switch (Dismount(record, announcements.removed)) {
    case Dismounted::kDone:
        return kDismounted;
    case Dismounted::kChangesDropped:
        return kDismountedChangesDropped;
    default:
        return kNotDismounted;
    }
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
    // A mounted image stays where its disk's files go back to; another image that lies at the
    // same place (a look-alike stick's) moves.
    SlotRecord mounted;
    unsigned long serial = 0;
    std::wstring onVolume;
    LocateOnVolume(source, serial, onVolume);
    VolumeMark mark;
    const bool readable = VolumeStore::MarkOf(source, mark);
    if (SlotStore::FindByImage(source, serial, onVolume, readable ? &mark : nullptr, mounted))
        return false;
    // The long form keeps reserved names such as "aux" on the way plain folder names.
    return MoveFileExW(FileTree::LongPath(source).c_str(), FileTree::LongPath(destination).c_str(),
                       MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace outside
