#pragma once
// Start-up time and memory of the suite's programs, each beside its own windows made as plain Win32
// (what its first screen or its tray costs under Wine with nothing of the program's own) and beside
// a bare static window program, under the same warm Wine, in one run:
//   start to first paint: from CreateProcess until the program's first visible top-level window
//                         exists and its thread waits for input with nothing left to paint;
//   peak working set:     the process's peak working set once it has rested for a second.
// Rounds take the programs in turn, so a change in the machine's load falls on all of them alike.
#include <string>
#include <vector>

#include "BenchTable.h"

class StartupBench {
public:
    // Brixom, Agent and Lumetta from `programFolder`, each when it is there, and any further
    // programs (full paths).
    StartupBench(const std::string& programFolder, const std::string& bareProgram, int rounds,
                 const std::vector<std::string>& furtherPrograms);
    void Measure(BenchTable& table);

private:
    struct Program {
        std::string name;
        std::string path;
        bool windowless;            // shows no window of its own (a tray icon only)
        bool reference;             // a reference program, not one of the suite's
        int ownWindows;             // index of the program that makes its windows alone, or -1
        std::vector<double> firstPaintMs;
        std::vector<double> peakWorkingSetMiB;
    };

    bool MeasureOnce(Program& program, bool keep);

    std::vector<Program> m_programs;   // the bare window program first
    int m_rounds;
};
