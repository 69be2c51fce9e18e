// The entry point of every program built on the framework; linked into each program as an object
// so the linker always finds it.
#include "CWinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    return AfxWinMain(instance, previous, commandLine, show);
}
