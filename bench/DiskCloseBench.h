#pragma once
// What opening and closing a disk costs through Tavrin.dll, by what it holds and what changed,
// each beside a plain copy of all the data the disk holds (flushed), measured in the same run on
// the same folder.
#include <cstdint>
#include <string>

#include "BenchTable.h"

class DiskCloseBench {
public:
    // `folder` is made for the run and removed afterwards.
    DiskCloseBench(const std::string& folder, int runs);
    ~DiskCloseBench();
    DiskCloseBench(const DiskCloseBench&) = delete;
    DiskCloseBench& operator=(const DiskCloseBench&) = delete;

    // A disk holding `dataMb` of files: its first close after they were written, then `runs`
    // rounds of an open, a close unchanged, a close after one 4 KiB change and a plain copy.
    void Measure(int dataMb, BenchTable& table);

private:
    std::string m_folder;
    int m_runs;
};
