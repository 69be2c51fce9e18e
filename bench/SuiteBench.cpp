// The suite's benchmark: every figure beside its reference, measured in the same run on the same
// folder, medians of several runs, each against the goal it has to meet.
//   suite_bench.exe [--runs N] [--rounds N] [--folder F] [--sizes-of LABEL=FOLDER]...
//     --runs     runs of each disk job and its reference (default 7)
//     --rounds   start-up rounds after the one that warms Wine up (default 7)
//     --folder   where the disk work happens (default: bench-data beside this program)
//     --sizes-of the Agent.exe and Tavrin.dll of another build's program folder, for the table
//     --only     one part of the table: jobs, disk, startup or sizes
//     --disk MB  the data of a disk opened and closed (default 1024 and 4096; may be repeated)
//     --also     a further program to start beside the suite's (full path), for experiments
// Run it with scripts/bench, which builds the suite and gives it a display and a Wine of its own.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "BenchTable.h"
#include "DiskCloseBench.h"
#include "FileWork.h"
#include "Paths.h"
#include "StartupBench.h"
#include "Tavrin.h"
#include "WizardJobBench.h"

namespace {

constexpr double kKiB = 1024.0;
constexpr double kFileSizeAim = 256 * kKiB;       // what travels onto every USB drive stays small
constexpr int kImageSizesMb[] = {256, 1024};
constexpr int kDiskDataMb[] = {1024, 4096};
constexpr int kMostDiskRuns = 3;                 // each round of the biggest disk writes some 12 GiB

const char* Architecture()
{
    return sizeof(void*) == 8 ? "x86_64" : "i686";
}

std::string Platform()
{
    using Version = const char*(CDECL*)();
    auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : "Windows";
}

void AddFileSizes(const std::string& label, const std::string& folder, BenchTable& table)
{
    for (const char* name : {"Agent.exe", "Tavrin.dll"}) {
        const std::string path = harness::JoinPath(folder, name);
        const std::string figure = std::string(name) + " size, " + label;
        const uint64_t size = FileSizeOf(path);
        if (size == 0)
            table.AddFailure(figure, path + " is not there");
        else
            table.AddValue(figure, double(size), "bytes", kFileSizeAim, "<= 256 KiB");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 7;
    int rounds = 7;
    std::string folder = harness::JoinPath(harness::TestBinDir(), "bench-data");
    std::vector<std::pair<std::string, std::string>> otherSizes;
    std::string only;
    std::vector<std::string> alsoPrograms;
    std::vector<int> diskSizesMb;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--folder") == 0) {
            folder = argv[i + 1];
        } else if (std::strcmp(argv[i], "--also") == 0) {
            alsoPrograms.push_back(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--disk") == 0) {
            diskSizesMb.push_back(std::max(1, std::atoi(argv[i + 1])));
        } else if (std::strcmp(argv[i], "--only") == 0) {
            only = argv[i + 1];
        } else if (std::strcmp(argv[i], "--sizes-of") == 0) {
            const std::string pair = argv[i + 1];
            const size_t equals = pair.find('=');
            if (equals != std::string::npos)
                otherSizes.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    const std::string programFolder = harness::ProgramDir();
    const std::string bareProgram = harness::JoinPath(harness::TestBinDir(), "barewindow.exe");

    if (!Tavrin_IsInstalled() && !Tavrin_Install()) {
        std::fprintf(stderr, "the disk driver is not ready\n");
        return 1;
    }
    std::printf("Sequora bench: %s build under %s; disk figures: medians of %d runs, start-up: medians of %d "
                "rounds after one that warms Wine up\n",
                Architecture(), Platform().c_str(), runs, rounds);
    std::printf("disk jobs: Brixom's progress dialog and its worker (brixom_core's CWizardDlg) run in this "
                "program with page 2 or page 4 as owner, in %s\n",
                folder.c_str());
    std::printf("start-up: the programs of %s started as a user starts them\n\n", programFolder.c_str());

    BenchTable table;
    table.PrintHeader();
    if (only.empty() || only == "jobs") {
        WizardJobBench jobs(folder, runs);
        for (int sizeMb : kImageSizesMb)
            jobs.MeasureCreation(sizeMb, table);
        jobs.MeasureCreationFixedCost(table);
        jobs.ReportProgressMessages(table);
        for (int sizeMb : kImageSizesMb)
            jobs.MeasurePortable(sizeMb, table);
    }
    if (only.empty() || only == "disk") {
        DiskCloseBench disks(folder, std::min(runs, kMostDiskRuns));
        if (diskSizesMb.empty())
            diskSizesMb.assign(std::begin(kDiskDataMb), std::end(kDiskDataMb));
        for (int dataMb : diskSizesMb)
            disks.Measure(dataMb, table);
    }
    if (only.empty() || only == "startup") {
        StartupBench startup(programFolder, bareProgram, rounds, alsoPrograms);
        startup.Measure(table);
    }
    if (only.empty() || only == "sizes") {
        AddFileSizes(Architecture(), programFolder, table);
        for (const auto& other : otherSizes)
            AddFileSizes(other.first, other.second, table);
    }
    table.PrintVerdict();
    return table.AllMet() ? 0 : 1;
}
