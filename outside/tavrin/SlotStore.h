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
    static bool FindByImage(const std::wstring& imagePath, SlotRecord& record);   // without regard to case
    static int FreeSlot();                            // -1 when all are taken

    static bool Write(const SlotRecord& record);
    static bool SetPending(int slot, bool pending);
    static bool Remove(int slot);

    static bool IsInstalled();
    static bool Install();
};

}  // namespace outside
