#pragma once
// The driver's mounting side: slots, drive letters and the disks' files while they are mounted.
#include "TavrinApi.h"

#include <cstdint>
#include <string>

namespace outside {

class DiskDriver {
public:
    static constexpr int kSlotCount = 32;

    static bool IsInstalled();
    static bool Install();

    static bool Mount(const std::wstring& imagePath, uint32_t letter, bool readOnly);
    // The result Tavrin_Unmount gives: 0 when the disk stays mounted.
    static constexpr int kNotDismounted = 0;
    static constexpr int kDismounted = 1;
    static constexpr int kDismountedChangesDropped = kTavrinDismountedChangesDropped;
    static int Unmount(uint32_t letter);
    static bool ImageOf(uint32_t letter, std::wstring& imagePath);
    static uint32_t MountedMask();
    static uint32_t SlotLetter(int slot);
    static uint32_t FindFreeLetter();
    // Moves a file without ever replacing an existing destination.
    static bool MoveImage(const std::wstring& source, const std::wstring& destination);
};

}  // namespace outside
