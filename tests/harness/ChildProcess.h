#pragma once
// A program a test starts and drives. The destructor ends it if it is still running, so a failed
// test never leaves a window behind for the next one.
#include "HandleOwner.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // `program` is quoted for the command line; `arguments` follow after one blank, as they stand.
    bool Start(const std::string& program, const std::string& arguments = std::string(),
               const std::string& workingFolder = std::string());

    bool IsRunning() const;
    bool Wait(DWORD timeoutMs);                 // true when it ended within the time
    DWORD ExitCode() const;                     // STILL_ACTIVE while running
    void Kill();
    DWORD Pid() const { return m_pid; }
    HANDLE Handle() const { return m_process.Get(); }
    // Whether the program's main thread is suspended (it stopped itself at a test seam); asking
    // suspends it once more for a moment. Resume() lets it go on.
    bool IsMainThreadSuspended() const;
    bool Resume();

private:
    KernelHandle m_process;
    KernelHandle m_thread;
    DWORD m_pid = 0;
};

// The full path of a running process's program; "" when it cannot be read.
std::string ProcessImagePath(DWORD pid);
// The running processes whose program's path `accept` takes.
std::vector<DWORD> ProcessesWhere(const std::function<bool(const std::string& imagePath)>& accept);
// The running processes of the program at `programPath` (compared without regard to case).
std::vector<DWORD> ProcessesRunning(const std::string& programPath);

// Starts `program` and waits for it to end; returns its exit code, or STILL_ACTIVE after a
// time-out (the program is then ended).
DWORD RunAndWait(const std::string& program, const std::string& arguments, DWORD timeoutMs = 60000);

}  // namespace harness
