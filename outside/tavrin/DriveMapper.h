#pragma once
// Shows a folder as a drive letter of its own, for every process of the user and beyond the life
// of the process that asked. Windows: a DOS device name. Wine, where such a name gives no file
// access through the letter: its mount manager's define-unix-drive request.
#include <cstdint>
#include <string>

namespace outside {

class DriveMapper {
public:
    static bool IsWine();
    static bool CanMap();                       // the mapping service answers
    static bool Map(wchar_t letter, const std::wstring& folder);
    static bool Unmap(wchar_t letter);
    static bool IsLetterInUse(wchar_t letter);  // any drive on the letter, ours or not
};

}  // namespace outside
