// A second process for the Tavrin tests, bound to Tavrin.dll by name as the portable opener is:
//   tavrinhelper mount <image> <letter> [ro]     exit code: the call's result
//   tavrinhelper unmount <letter>
// The test seam's variables reach it from the test that starts it.
#include "TavrinApi.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::wstring Wide(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    return wide;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && strcmp(argv[1], "mount") == 0)
        return Tavrin_Mount(Wide(argv[2]).c_str(), static_cast<unsigned char>(argv[3][0]),
                            argc >= 5 && strcmp(argv[4], "ro") == 0 ? -1 : 0);
    if (argc >= 3 && strcmp(argv[1], "unmount") == 0)
        return Tavrin_Unmount(static_cast<unsigned char>(argv[2][0]), 0);
    fprintf(stderr, "usage: tavrinhelper mount <image> <letter> [ro] | unmount <letter>\n");
    return 2;
}
