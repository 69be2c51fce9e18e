#pragma once
// The mounted-disk slots, shared by every process of the user through the registry
// (HKCU\Software\Tavrin\Slots\<n>), so a disk stays listed after the process that mounted it ends.
// Changes are made under the driver's named mutex; queries read without it.
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
};

class SlotStore {
public:
    static constexpr const wchar_t* kDriverMutex = L"Local\\Tavrin.Driver";

    static std::vector<SlotRecord> All();
    static bool Find(int slot, SlotRecord& record);
    static bool FindByLetter(wchar_t letter, SlotRecord& record);
    // The record of an image, by its path (without regard to case) or by its volume and place there.
    static bool FindByImage(const std::wstring& imagePath, unsigned long volumeSerial,
                            const std::wstring& imageOnVolume, SlotRecord& record);
    static int FreeSlot();                            // -1 when all are taken

    static bool Write(const SlotRecord& record);
    static bool SetPending(int slot, bool pending);
    static bool Remove(int slot);

    static bool IsInstalled();
    static bool Install();
};

}  // namespace outside
