// A window of another process for tests of what the suite sends to other programs: it logs every
// WM_DEVICECHANGE to "<its own path>.log" and closes on WM_CLOSE. Its title is its command line
// (default "Sequora peer window").
#include "Recorder.h"

#include <windows.h>
#include <dbt.h>

#include <cstdio>
#include <string>

namespace {

std::string g_logPath;

void Log(const std::string& line) { harness::AppendLogLine(g_logPath, line); }

LRESULT CALLBACK PeerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DEVICECHANGE) {
        DWORD mask = 0;
        auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
        if (header && header->dbch_devicetype == DBT_DEVTYP_VOLUME)
            mask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lp)->dbcv_unitmask;
        char line[64];
        snprintf(line, sizeof line, "event=0x%04X mask=0x%08lX", static_cast<unsigned>(wp),
                 static_cast<unsigned long>(mask));
        Log(line);
        return TRUE;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    g_logPath = std::string(self) + ".log";
    std::string title = harness::ArgumentsOf(GetCommandLineA());
    if (title.empty())
        title = "Sequora peer window";

    WNDCLASSA wc = {};
    wc.lpfnWndProc = PeerProc;
    wc.hInstance = instance;
    wc.lpszClassName = "SequoraPeerWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              instance, nullptr);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    Log("ready");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
