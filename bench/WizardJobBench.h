#pragma once
// Brixom's long jobs as the wizard runs them: its progress dialog (brixom_core's CWizardDlg) with the
// worker thread behind it, driven in this process with page 2 and page 4 as their owners, each job
// timed beside the plain file work that does the same with the same bytes on the same folder.
#include <string>

#include "BenchTable.h"

class WizardJobBench {
public:
    // `folder` is made for the run and removed afterwards.
    WizardJobBench(const std::string& folder, int runs);
    ~WizardJobBench();
    WizardJobBench(const WizardJobBench&) = delete;
    WizardJobBench& operator=(const WizardJobBench&) = delete;

    // Page 2's create job (no mount) against a raw sequential write of the same size.
    void MeasureCreation(int sizeMb, BenchTable& table);
    // What the create job costs beyond the writing (dialog, worker, reports): a job of a few MiB
    // against a raw write of the same size, after the creations it is weighed against.
    void MeasureCreationFixedCost(BenchTable& table);
    // Page 4's make-portable job onto a fake USB drive against a plain copy of the same image to the
    // same drive.
    void MeasurePortable(int sizeMb, BenchTable& table);
    // The most progress messages any one creation sent its dialog.
    void ReportProgressMessages(BenchTable& table) const;

private:
    // Medians of the create job and of the raw write of `sizeMb`; false when a run failed.
    bool TimeCreation(int sizeMb, double& jobTime, double& rawTime);

    std::string m_folder;
    int m_runs;
    unsigned m_mostProgressMessages = 0;
    bool m_creationMeasured = false;
    double m_smallestRawTime = 0;   // of the smallest creation measured
};
