#pragma once
// Page 2's rules that touch no window: the sizes a new image may have on a drive, the size edit's
// reading, the password's strength and the image file's name.
#include <windows.h>

#include <string>

#include "CString.h"

class Step2Rules {
public:
    static constexpr int kModeUsb = 0;
    static constexpr int kModeHardDisk = 1;
    static constexpr int kSmallestSize = 50;          // MB
    static constexpr int kLargestFatSize = 4095;      // MB: a FAT32 file stays under 4 GiB
    static constexpr unsigned kHardDiskSizeCap = 2048;
    static constexpr int kPasswordLimit = 16;

    // Free MB of a volume: the bytes free to the caller in MB, 4096 at most on exactly "FAT32".
    static unsigned FreeSpaceMBFor(ULONGLONG freeBytes, const char* fileSystem);
    // The largest size offered: the free MB less a 100 MB reserve, or 10 with 100 MB free or less.
    static unsigned MaximumSizeFor(unsigned freeMB);
    // The size proposed for a maximum: half of it, at most 2048 MB in hard-disk mode.
    static int ProposedSizeFor(unsigned maximum, bool hardDisk);
    // Finish's refusal of a size on a drive of `fileSystem` (a [Step2] key), or null. Hard-disk mode:
    // below 50 MB, or over 4095 MB on exactly "FAT32". USB mode has no floor of its own: refused
    // are only sizes no image file can have, none at all (it would wrap the header's size field)
    // and a file of 4 GiB or more on "FAT" or "FAT32".
    static const char* SizeRefusal(int mode, int sizeMB, const std::string& fileSystem);
    // The plus, minus and leave-the-edit clamps: above the maximum (compared unsigned, so a negative
    // value too) becomes the maximum, then below 50 becomes 50.
    static int ClampSize(int size, unsigned maximum);
    // The size edit's text: blanks trimmed, optional sign, leading digits; 0 when there are none;
    // saturates instead of wrapping.
    static int ParseSize(const char* text);
    // 0 for fewer than 6 characters, else the OR of 1 (A-Z), 2 (a-z), 4 (0-9), 8 (any other byte).
    static int GetCharClasses(const char* password);
    static int GetPasswordStrength(const char* password);     // bits set in the classes, 0..4
    // The "(YYYYMMDDhhmmss).sqv" tail of the default file name.
    static CString DefaultNameTail(const SYSTEMTIME& time);
    // `path` with its extension replaced by (or given) "sqv"; drive, folder and name kept.
    static CString WithImageExtension(const CString& path);
};
