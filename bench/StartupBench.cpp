#include "StartupBench.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "ChildProcess.h"
#include "HandleOwner.h"
#include "WindowDriver.h"

namespace {

constexpr double kFirstPaintGoal = 1.5;   // at most this many times its own windows' time alone
constexpr double kWorkingSetGoal = 3.0;   // at most this many times the bare program's memory
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kRestMs = 1000;
constexpr DWORD kCloseWaitMs = 3000;
constexpr double kMiBytes = 1024.0 * 1024.0;

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly)
{
    std::vector<HWND> windows = harness::TopLevelWindows(pid);
    if (visibleOnly)
        windows.erase(std::remove_if(windows.begin(), windows.end(), [](HWND w) { return !IsWindowVisible(w); }),
                      windows.end());
    return windows;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Processes running one of the programs of `folder` (Brixom starts Lumetta through the launcher).
std::set<DWORD> ProcessesOfFolder(const std::string& folder)
{
    const std::vector<DWORD> found = harness::ProcessesWhere([&](const std::string& image) {
        return image.size() > folder.size() && lstrcmpiA(image.substr(0, folder.size()).c_str(), folder.c_str()) == 0;
    });
    return std::set<DWORD>(found.begin(), found.end());
}

// Asks the program to close as a user would (its visible windows, or any window of one that shows
// none), and ends it when it does not.
void EndProcess(HANDLE process, DWORD pid, bool windowless)
{
    for (HWND window : TopLevelWindowsOf(pid, !windowless))
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, kCloseWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kCloseWaitMs);
    }
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

}  // namespace

StartupBench::StartupBench(const std::string& programFolder, const std::string& bareProgram, int rounds,
                           const std::vector<std::string>& furtherPrograms)
    : m_rounds(rounds)
{
    m_programs.push_back({"bare window program", bareProgram, false, true, -1, {}, {}});
    // Each program beside its own windows made as plain Win32 in a program of the bench's: the
    // table then tells the windows' share of the program's time from the share of its own work.
    const struct {
        const char* name;
        const char* file;
        const char* windowsAlone;
        bool windowless;
    } suite[] = {{"Brixom", "brixom.exe", "barewizard.exe", false},
                 {"Agent", "Agent.exe", "bareagent.exe", false},
                 {"Lumetta", "Lumetta.exe", "baretray.exe", true}};
    for (const auto& program : suite) {
        const std::string path = programFolder + "\\" + program.file;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        int ownWindows = -1;
        const std::string windowsAlone = FolderOf(bareProgram) + "\\" + program.windowsAlone;
        if (GetFileAttributesA(windowsAlone.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ownWindows = static_cast<int>(m_programs.size());
            m_programs.push_back({std::string(program.name) + "'s windows alone", windowsAlone, program.windowless, true,
                                  -1, {}, {}});
        }
        m_programs.push_back({program.name, path, program.windowless, false, ownWindows, {}, {}});
    }
    for (const std::string& path : furtherPrograms)
        m_programs.push_back({path.substr(path.find_last_of('\\') + 1), path, false, false, -1, {}, {}});
}

bool StartupBench::MeasureOnce(Program& program, bool keep)
{
    std::string commandLine = "\"" + program.path + "\"";
    const std::string folder = FolderOf(program.path);
    // What the program starts of its suite (Brixom starts Lumetta) ends with it, so that each run
    // meets the same machine.
    const std::set<DWORD> before = ProcessesOfFolder(folder);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        std::fprintf(stderr, "%s: could not start (%lu)\n", program.name.c_str(), GetLastError());
        return false;
    }
    const KernelHandle processHandle(process.hProcess);
    const KernelHandle threadHandle(process.hThread);
    bool shown = false;
    for (DWORD waited = 0; waited < kWindowTimeoutMs; ++waited) {
        if (!TopLevelWindowsOf(process.dwProcessId, !program.windowless).empty()) {
            shown = true;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    bool ok = shown && WaitForInputIdle(process.hProcess, kWindowTimeoutMs) == 0;
    QueryPerformanceCounter(&ready);
    if (ok) {
        Sleep(kRestMs);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        ok = GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) != FALSE;
        if (ok && keep) {
            program.firstPaintMs.push_back(Milliseconds(start, ready));
            program.peakWorkingSetMiB.push_back(double(counters.PeakWorkingSetSize) / kMiBytes);
        }
    } else {
        std::fprintf(stderr, "%s: no window was shown\n", program.name.c_str());
    }
    EndProcess(process.hProcess, process.dwProcessId, program.windowless);
    for (DWORD pid : ProcessesOfFolder(folder)) {
        if (before.count(pid))
            continue;
        if (const KernelHandle started{OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)})
            EndProcess(started.Get(), pid, true);
    }
    return ok;
}

void StartupBench::Measure(BenchTable& table)
{
    std::fprintf(stderr, "  ... start-up and memory, %d rounds\n", m_rounds);
    // The first round only warms Wine up (its caches, the programs' pages).
    for (int round = 0; round <= m_rounds; ++round) {
        for (size_t i = 0; i < m_programs.size(); ++i)
            MeasureOnce(m_programs[(i + static_cast<size_t>(round)) % m_programs.size()], round > 0);
    }
    const Program& bare = m_programs.front();
    const double bareMs = Median(bare.firstPaintMs);
    const double bareMiB = Median(bare.peakWorkingSetMiB);
    for (const Program& p : m_programs) {
        if (p.reference)
            continue;
        // A tray program has no window to paint: its time runs until its hidden window is made and
        // its thread waits for input.
        const std::string startFigure = (p.windowless ? "start until ready (tray only), " : "start to first paint, ") + p.name;
        if (p.firstPaintMs.empty() || bare.firstPaintMs.empty()) {
            table.AddFailure(startFigure, "no window was shown");
            continue;
        }
        const double ms = Median(p.firstPaintMs);
        if (p.ownWindows >= 0) {
            const Program& alone = m_programs[static_cast<size_t>(p.ownWindows)];
            if (alone.firstPaintMs.empty())
                table.AddFailure(startFigure, "its windows alone were not shown");
            else
                table.AddRatio(startFigure, ms, p.windowless ? "its tray dialog and icon alone" : "its windows alone",
                               Median(alone.firstPaintMs), "ms", BenchTable::Goal::kTimeAtMost, kFirstPaintGoal);
            table.AddRatio(startFigure, ms, "bare window program", bareMs, "ms", BenchTable::Goal::kInformation, 0);
        } else {
            // A further program started for an experiment has no windows of its own to meet.
            table.AddRatio(startFigure, ms, "bare window program", bareMs, "ms", BenchTable::Goal::kInformation, 0);
        }
        table.AddRatio("peak working set at rest, " + p.name, Median(p.peakWorkingSetMiB), "bare window program",
                       bareMiB, "MiB", BenchTable::Goal::kTimeAtMost, kWorkingSetGoal);
    }
}
