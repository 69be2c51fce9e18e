#pragma once
// The mounted-disk slots, shared by every process of the user through the registry
// (HKCU\Software\Tavrin\Slots\<n>), so a disk stays listed after the process that mounted it ends.
// Changes are made under the driver's named mutex; queries read without it.
#include "VolumeMark.h"

#include <cstdint>
#include <string>
#include <vector>

namespace outside {

struct SlotRecord {
    int slot = -1;
    wchar_t letter = 0;
    std::wstring imagePath;     // as the mounter gave it
    // The image's volume and its place there ("\\a\\b.img"): the image is found by them when its
    // drive comes back on another letter. Serial 0: not known (the path alone counts).
    unsigned long volumeSerial = 0;
    std::wstring imageOnVolume;
    std::wstring folder;        // where the disk's files live while mounted
    std::wstring manifest;      // what the files looked like when mounted
    bool readOnly = false;
    bool pendingWriteBack = false;   // a dismount began and has not finished
    // The image's volume as mounted, and the state a write-back is making current: the image is
    // the record's only while it holds one of them. Not known for a disk mounted by an older
    // library.
    bool markKnown = false;
    VolumeMark mark;
    bool nextMarkKnown = false;
    VolumeMark nextMark;

    // True when an image in the state `imageMark` (null: not a readable image) may be the
    // record's: always for a record that knows no mark.
    bool Accepts(const VolumeMark* imageMark) const;
    // True when the state can be told from every other volume's (its volume has an id).
    bool KnowsItsVolume() const { return markKnown && mark.id != 0; }
    // The states a write-back of the record may write over (none: any).
    std::vector<VolumeMark> States() const;
};

class SlotStore {
public:
    static constexpr const wchar_t* kDriverMutex = L"Local\\Tavrin.Driver";

    static std::vector<SlotRecord> All();
    static bool Find(int slot, SlotRecord& record);
    static bool FindByLetter(wchar_t letter, SlotRecord& record);
    // The record of an image in the state `mark` (null: not a readable image), by its path
    // (without regard to case) or by its place on its volume: on a volume of the same serial, or
    // on any volume when the record's mark names its volume alone.
    static bool FindByImage(const std::wstring& imagePath, unsigned long volumeSerial,
                            const std::wstring& imageOnVolume, const VolumeMark* mark, SlotRecord& record);
    static int FreeSlot();                            // -1 when all are taken

    static bool Write(const SlotRecord& record);
    static bool SetPending(int slot, bool pending);
    static bool SetNextMark(int slot, const VolumeMark& mark);
    static bool Remove(int slot);

    static bool IsInstalled();
    static bool Install();
};

}  // namespace outside
