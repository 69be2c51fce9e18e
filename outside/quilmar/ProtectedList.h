#pragma once
// The user's list of protected images, shared by every program of the user through the registry:
// HKCU\Software\Quilmar\Protected, one value per image, named after its full path (registry names
// match without regard to case, as paths do) and holding "kind state attributes", the attributes
// being the file's own from before it was hidden.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace outside {

struct ProtectedEntry {
    std::wstring path;
    uint8_t kind = 0;
    uint32_t state = 0;
    DWORD originalAttributes = INVALID_FILE_ATTRIBUTES;   // unknown for entries made by others
};

class ProtectedList {
public:
    static constexpr uint8_t kKindImage = 1;
    static constexpr uint32_t kStateProtected = 1;

    static bool IsServiceRunning();
    static bool StartService();

    // Hides the file and lists it; a file listed already stays listed with its first attributes.
    static bool Protect(const std::wstring& fullPath);
    // Restores the file's attributes and drops it from the list; true also when it was not listed.
    static bool Release(const std::wstring& fullPath);

    static std::vector<ProtectedEntry> Entries();   // in the store's stable order

private:
    static bool Find(const std::wstring& fullPath, ProtectedEntry& entry);
};

}  // namespace outside
