// Agent's start: one Agent per disk image; the main form and the (hidden) password dialog, then
// the message loop until the form closes or Exit ends it.
#include "AgentDisk.h"
#include "AgentInstanceGuard.h"
#include "MainFrm.h"
#include "TApplication.h"
#include "TForm_Password.h"

#include <windows.h>

namespace {

int ProgramMain()
{
    // The one disk every form works on, from Agent's own path and its first argument.
    AgentDisk disk(AgentDisk::OwnPath(), __argc > 1 ? __argv[1] : "");
    AgentInstanceGuard guard(disk.WorkPlace());
    if (guard.AlreadyRunning()) {
        guard.WakeFirst();
        return 0;
    }
    TApplication application;
    application.Initialize();
    application.CreateForm(frmMain, disk);
    frmMain->SetInstanceGuard(&guard);
    application.CreateForm(Form_Password, disk);
    application.Run();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramMain(); }
