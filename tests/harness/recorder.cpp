// The recording fake: started in place of another program, it appends the arguments it was given,
// one line per start, to "<its own path>.log" and ends at once with exit code 0.
#include "Recorder.h"

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    harness::AppendLogLine(std::string(self) + ".log", harness::ArgumentsOf(GetCommandLineA()));
    return 0;
}
