#pragma once
// What a read-only disk's letter shows cannot be changed: every folder of the mounted files lets
// everyone list and read only, and every file is read-only. Windows holds every user to that rule;
// Wine turns it into the files' Unix permissions, which hold for every user but root.
#include <string>

namespace outside {

class WriteProtection {
public:
    // False when the rule could not be laid on everything (the disk must then not be shown).
    static bool Protect(const std::wstring& folder);
    // Gives the files back to their owner, so that they can be deleted.
    static void Release(const std::wstring& folder);
};

}  // namespace outside
