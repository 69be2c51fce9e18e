#include "ChildProcess.h"

#include <tlhelp32.h>

#include <vector>

#include "HandleOwner.h"

namespace harness {

ChildProcess::~ChildProcess()
{
    if (IsRunning())
        Kill();
}

bool ChildProcess::Start(const std::string& program, const std::string& arguments,
                         const std::string& workingFolder)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &pi))
        return false;
    m_thread.Reset(pi.hThread);
    m_process.Reset(pi.hProcess);
    m_pid = pi.dwProcessId;
    return true;
}

bool ChildProcess::IsRunning() const
{
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::Wait(DWORD timeoutMs)
{
    return m_process && WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process)
        GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

bool ChildProcess::IsMainThreadSuspended() const
{
    const DWORD before = m_thread ? SuspendThread(m_thread.Get()) : static_cast<DWORD>(-1);
    if (before == static_cast<DWORD>(-1))
        return false;
    ResumeThread(m_thread.Get());
    return before > 0;
}

bool ChildProcess::Resume()
{
    return m_thread && ResumeThread(m_thread.Get()) != static_cast<DWORD>(-1);
}

void ChildProcess::Kill()
{
    if (m_process) {
        TerminateProcess(m_process.Get(), 0xDEAD);
        WaitForSingleObject(m_process.Get(), 5000);
    }
}

DWORD RunAndWait(const std::string& program, const std::string& arguments, DWORD timeoutMs)
{
    ChildProcess child;
    if (!child.Start(program, arguments))
        return static_cast<DWORD>(-1);
    if (!child.Wait(timeoutMs)) {
        child.Kill();
        return STILL_ACTIVE;
    }
    return child.ExitCode();
}

std::string ProcessImagePath(DWORD pid)
{
    std::string path;
    if (const KernelHandle process{OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)}) {
        char buffer[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process.Get(), 0, buffer, &size))
            path.assign(buffer, size);
    }
    return path;
}

std::vector<DWORD> ProcessesWhere(const std::function<bool(const std::string& imagePath)>& accept)
{
    std::vector<DWORD> found;
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return found;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        if (accept(ProcessImagePath(entry.th32ProcessID)))
            found.push_back(entry.th32ProcessID);
    }
    return found;
}

std::vector<DWORD> ProcessesRunning(const std::string& programPath)
{
    return ProcessesWhere(
        [&](const std::string& image) { return lstrcmpiA(image.c_str(), programPath.c_str()) == 0; });
}

}  // namespace harness
