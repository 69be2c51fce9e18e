// Ends with the menu library's version code of the system it runs on, as Wine presents it to
// this program (its per-program version setting).
#include <windows.h>

#include "DrawMenuSettings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return g_nOsVersionCode * 100 + GetWindowsVersionCode();
}
