// Agent's start: the main form, then the message loop until the form closes or Exit ends it.
#include "MainFrm.h"
#include "TApplication.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TApplication application;
    application.Initialize();
    application.CreateForm(frmMain);
    application.Run();
    return 0;
}
