// Start-up time and memory of the suite's programs beside a bare static Win32 window program, under
// the same Wine, in one run:
//   start to first paint: from CreateProcess until the program's first visible top-level window
//                         exists and its thread waits for input with nothing left to paint;
//   peak working set:     the process's peak working set once it has been at rest for a second.
// Each program is started once to warm Wine up, then timed several times; medians are shown.
//   startup_bench.exe <program folder> <bare window program> [runs [further programs...]]
// Further programs (full paths) are measured the same way, for experiments.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double kFirstPaintGoal = 1.5;   // at most this many times the bare program's time
constexpr double kWorkingSetGoal = 3.0;   // at most this many times the bare program's memory
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kRestMs = 1000;

struct Program {
    std::string name;
    std::string path;
    std::string arguments;
};

struct Sample {
    double firstPaintMs = 0;
    double peakWorkingSetMiB = 0;
};

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisibleWindows(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD pid)
{
    WindowSearch search{pid, {}};
    EnumWindows(CollectVisibleWindows, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

void EndProgram(const PROCESS_INFORMATION& process)
{
    for (HWND window : VisibleWindowsOf(process.dwProcessId))
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
}

bool Measure(const Program& program, Sample& sample)
{
    std::string commandLine = "\"" + program.path + "\"";
    if (!program.arguments.empty())
        commandLine += " " + program.arguments;
    std::string folder = program.path.substr(0, program.path.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, painted;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
            &startup, &process)) {
        fprintf(stderr, "%s: could not start (%lu)\n", program.name.c_str(), GetLastError());
        return false;
    }
    bool shown = false;
    for (DWORD waited = 0; waited < kWindowTimeoutMs; waited += 1) {
        if (!VisibleWindowsOf(process.dwProcessId).empty()) {
            shown = true;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    bool ok = shown && WaitForInputIdle(process.hProcess, kWindowTimeoutMs) == 0;
    QueryPerformanceCounter(&painted);
    if (ok) {
        Sleep(kRestMs);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        ok = GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters)) != FALSE;
        sample.firstPaintMs = Milliseconds(start, painted);
        sample.peakWorkingSetMiB = double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    } else {
        fprintf(stderr, "%s: no window was shown\n", program.name.c_str());
    }
    EndProgram(process);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: startup_bench <program folder> <bare window program> [runs]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 7;
    std::vector<Program> programs = {{"bare window", argv[2], ""}};
    for (const char* name : {"Brixom", "Agent", "Lumetta"}) {
        std::string path = folder + "\\" + name + ".exe";
        if (FileExists(path))
            programs.push_back({name, path, ""});
    }
    for (int i = 4; i < argc; ++i) {
        std::string path = argv[i];
        programs.push_back({path.substr(path.find_last_of('\\') + 1), path, ""});
    }

    std::vector<Sample> medians;
    for (const Program& program : programs) {
        Sample warmUp;
        Measure(program, warmUp);
        std::vector<double> firstPaint, workingSet;
        for (int run = 0; run < runs; ++run) {
            Sample sample;
            if (Measure(program, sample)) {
                firstPaint.push_back(sample.firstPaintMs);
                workingSet.push_back(sample.peakWorkingSetMiB);
            }
        }
        medians.push_back({Median(firstPaint), Median(workingSet)});
    }

    printf("\nStart-up and memory, medians of %d runs (warm Wine)\n", runs);
    printf("%-14s %12s %8s %6s %14s %8s %6s\n", "program", "first paint", "ratio", "goal", "peak memory",
        "ratio", "goal");
    const Sample& bare = medians[0];
    bool allMet = true;
    for (size_t i = 0; i < programs.size(); ++i) {
        const Sample& m = medians[i];
        double paintRatio = bare.firstPaintMs > 0 ? m.firstPaintMs / bare.firstPaintMs : 0;
        double memoryRatio = bare.peakWorkingSetMiB > 0 ? m.peakWorkingSetMiB / bare.peakWorkingSetMiB : 0;
        bool met = i == 0 || (m.firstPaintMs > 0 && paintRatio <= kFirstPaintGoal && memoryRatio <= kWorkingSetGoal);
        allMet = allMet && met;
        printf("%-14s %9.0f ms %7.2fx %5s %10.1f MiB %7.2fx %5s%s\n", programs[i].name.c_str(), m.firstPaintMs,
            paintRatio, "1.5x", m.peakWorkingSetMiB, memoryRatio, "3x", met ? "" : "   (goal missed)");
    }
    return allMet ? 0 : 1;
}
