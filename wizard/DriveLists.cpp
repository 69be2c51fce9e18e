#include "DriveLists.h"

#include <algorithm>

#include "Fennick.h"

std::vector<std::string> GetDriveRoots()
{
    std::vector<std::string> roots;
    // The needed length may grow between the two calls when a drive arrives; ask again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD needed = ::GetLogicalDriveStringsA(0, nullptr);
        if (needed == 0)
            return roots;
        std::vector<char> buffer(needed + 1, '\0');
        const DWORD written = ::GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (written == 0)
            return roots;
        if (written >= buffer.size())
            continue;
        for (const char* root = buffer.data(); *root; root += std::char_traits<char>::length(root) + 1)
            roots.emplace_back(root);
        return roots;
    }
    return roots;
}

char DriveLetterOf(const std::string& rootOrPath)
{
    if (rootOrPath.size() < 2 || rootOrPath[1] != ':')
        return 0;
    const char letter = static_cast<char>(rootOrPath[0] & ~0x20);
    return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

std::vector<std::string> GetUsbDriveRoots()
{
    std::vector<std::string> usb;
    for (const std::string& root : GetDriveRoots()) {
        if (!root.empty() && Fennick_IsUsbDisk(root[0]) != 0)
            usb.push_back(std::string(1, root[0]) + ":\\");
    }
    return usb;
}

std::vector<std::string> GetFreeDriveRoots()
{
    bool used['Z' + 1] = {};
    for (const std::string& root : GetDriveRoots()) {
        if (const char letter = DriveLetterOf(root))
            used[static_cast<unsigned char>(letter)] = true;
    }
    std::vector<std::string> free;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!used[static_cast<unsigned char>(letter)])
            free.push_back(std::string(1, letter) + ":\\");
    }
    return free;
}

int FillDriveList(HWND list, const std::vector<std::string>& roots, DriveListSelection selection)
{
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& root : roots)
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root.c_str()));
    const int count = static_cast<int>(::SendMessageA(list, CB_GETCOUNT, 0, 0));
    if (count > 0)
        ::SendMessageA(list, CB_SETCURSEL, selection == DriveListSelection::First ? 0 : count - 1, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    return std::max(count, 0);
}

std::string GetSelectedDriveRoot(HWND list)
{
    const LRESULT selected = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return std::string();
    const LRESULT length = ::SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == CB_ERR || length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    if (::SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&text[0])) == CB_ERR)
        return std::string();
    text.resize(text.find('\0'));
    return text;
}
