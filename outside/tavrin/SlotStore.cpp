#include "SlotStore.h"

#include "DiskDriver.h"
#include "RegistryKey.h"

#include <windows.h>

#include <cwctype>

namespace outside {

namespace {

constexpr const wchar_t* kDriverKey = L"Software\\Tavrin";
constexpr const wchar_t* kSlotsKey = L"Software\\Tavrin\\Slots";
constexpr const wchar_t* kInstalledValue = L"Installed";
constexpr const wchar_t* kLetterValue = L"Letter";
constexpr const wchar_t* kImageValue = L"Image";
constexpr const wchar_t* kVolumeSerialValue = L"VolumeSerial";
constexpr const wchar_t* kImageOnVolumeValue = L"ImageOnVolume";
constexpr const wchar_t* kFolderValue = L"Folder";
constexpr const wchar_t* kManifestValue = L"Manifest";
constexpr const wchar_t* kReadOnlyValue = L"ReadOnly";
constexpr const wchar_t* kPendingValue = L"PendingWriteBack";
constexpr const wchar_t* kMarkValue = L"VolumeMark";
constexpr const wchar_t* kNextMarkValue = L"NextVolumeMark";

std::wstring SlotKey(int slot) { return std::wstring(kSlotsKey) + L"\\" + std::to_wstring(slot); }

std::wstring FullPathOf(const std::wstring& path)
{
    wchar_t full[1024];
    DWORD length = GetFullPathNameW(path.c_str(), 1024, full, nullptr);
    return length > 0 && length < 1024 ? std::wstring(full, length) : path;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return SameText(FullPathOf(a), FullPathOf(b)); }

bool ReadMark(RegistryKey& key, const wchar_t* name, VolumeMark& mark)
{
    std::wstring text;
    return key.ReadString(name, text) && VolumeMark::FromText(text, mark);
}

}  // namespace

bool SlotRecord::Accepts(const VolumeMark* imageMark) const
{
    if (!markKnown)
        return true;
    return imageMark && (*imageMark == mark || (nextMarkKnown && *imageMark == nextMark));
}

std::vector<VolumeMark> SlotRecord::States() const
{
    std::vector<VolumeMark> states;
    if (markKnown)
        states.push_back(mark);
    if (markKnown && nextMarkKnown)
        states.push_back(nextMark);
    return states;
}

bool SlotStore::Find(int slot, SlotRecord& record)
{
    if (slot < 0 || slot >= DiskDriver::kSlotCount)
        return false;
    RegistryKey key;
    DWORD letter = 0;
    if (!key.Open(HKEY_CURRENT_USER, SlotKey(slot)) || !key.ReadDword(kLetterValue, letter) ||
        !key.ReadString(kImageValue, record.imagePath) || !key.ReadString(kFolderValue, record.folder))
        return false;
    DWORD readOnly = 0;
    DWORD pending = 0;
    DWORD serial = 0;
    record.imageOnVolume.clear();
    key.ReadDword(kVolumeSerialValue, serial);
    key.ReadString(kImageOnVolumeValue, record.imageOnVolume);
    record.volumeSerial = serial;
    key.ReadDword(kReadOnlyValue, readOnly);
    key.ReadDword(kPendingValue, pending);
    record.manifest.clear();
    key.ReadString(kManifestValue, record.manifest);
    record.markKnown = ReadMark(key, kMarkValue, record.mark);
    record.nextMarkKnown = ReadMark(key, kNextMarkValue, record.nextMark);
    record.slot = slot;
    record.letter = static_cast<wchar_t>(letter);
    record.readOnly = readOnly != 0;
    record.pendingWriteBack = pending != 0;
    return true;
}

std::vector<SlotRecord> SlotStore::All()
{
    std::vector<SlotRecord> records;
    for (int slot = 0; slot < DiskDriver::kSlotCount; ++slot) {
        SlotRecord record;
        if (Find(slot, record))
            records.push_back(record);
    }
    return records;
}

bool SlotStore::FindByLetter(wchar_t letter, SlotRecord& record)
{
    for (const SlotRecord& candidate : All())
        if (towupper(candidate.letter) == towupper(letter)) {
            record = candidate;
            return true;
        }
    return false;
}

bool SlotStore::FindByImage(const std::wstring& imagePath, unsigned long volumeSerial,
                            const std::wstring& imageOnVolume, const VolumeMark* mark, SlotRecord& record)
{
    for (const SlotRecord& candidate : All()) {
        if (!candidate.Accepts(mark))
            continue;
        // A serial made from the drive letter changes with it: the place counts on any volume
        // when the mark tells the image from every other.
        const bool sameVolume = (volumeSerial && candidate.volumeSerial == volumeSerial) || candidate.KnowsItsVolume();
        if (SamePath(candidate.imagePath, imagePath) ||
            (sameVolume && !imageOnVolume.empty() && SameText(candidate.imageOnVolume, imageOnVolume))) {
            record = candidate;
            return true;
        }
    }
    return false;
}

int SlotStore::FreeSlot()
{
    for (int slot = 0; slot < DiskDriver::kSlotCount; ++slot) {
        RegistryKey key;
        if (!key.Open(HKEY_CURRENT_USER, SlotKey(slot)))
            return slot;
    }
    return -1;
}

bool SlotStore::Write(const SlotRecord& record)
{
    RegistryKey key;
    // The letter goes last: a record counts only once it names its letter.
    return key.Create(HKEY_CURRENT_USER, SlotKey(record.slot)) && key.WriteString(kImageValue, record.imagePath) &&
           key.WriteDword(kVolumeSerialValue, static_cast<DWORD>(record.volumeSerial)) &&
           key.WriteString(kImageOnVolumeValue, record.imageOnVolume) &&
           key.WriteString(kFolderValue, record.folder) && key.WriteString(kManifestValue, record.manifest) &&
           key.WriteDword(kReadOnlyValue, record.readOnly ? 1 : 0) &&
           key.WriteDword(kPendingValue, record.pendingWriteBack ? 1 : 0) &&
           (!record.markKnown || key.WriteString(kMarkValue, record.mark.ToText())) &&
           (!record.nextMarkKnown || key.WriteString(kNextMarkValue, record.nextMark.ToText())) &&
           key.WriteDword(kLetterValue, static_cast<DWORD>(towupper(record.letter)));
}

bool SlotStore::SetPending(int slot, bool pending)
{
    RegistryKey key;
    return key.Open(HKEY_CURRENT_USER, SlotKey(slot)) && key.WriteDword(kPendingValue, pending ? 1 : 0);
}

bool SlotStore::SetNextMark(int slot, const VolumeMark& mark)
{
    RegistryKey key;
    return key.Open(HKEY_CURRENT_USER, SlotKey(slot)) && key.WriteString(kNextMarkValue, mark.ToText());
}

bool SlotStore::Remove(int slot) { return RegistryKey::DeleteTree(HKEY_CURRENT_USER, SlotKey(slot)); }

bool SlotStore::IsInstalled()
{
    RegistryKey key;
    DWORD installed = 0;
    return key.Open(HKEY_CURRENT_USER, kDriverKey) && key.ReadDword(kInstalledValue, installed) && installed != 0;
}

bool SlotStore::Install()
{
    RegistryKey key;
    return key.Create(HKEY_CURRENT_USER, kDriverKey) && key.WriteDword(kInstalledValue, 1);
}

}  // namespace outside
