#include "WizardJobBench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "CPortableDisk.h"
#include "CStep2.h"
#include "CStep4.h"
#include "CWizardDlg.h"
#include "FakeUsbDrive.h"
#include "FileWork.h"
#include "ImageHeader.h"
#include "Paths.h"
#include "PortableLayout.h"
#include "Tavrin.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr double kJobSpeedGoal = 0.9;   // a job at least this share of its reference's speed
constexpr unsigned kMostProgressMessages = 101;   // one per percent, 0 to 100
constexpr char kDriveLetterText[] = "K:\\";       // the letter page 2 would write into the header
constexpr int kSmallJobMb = 4;                    // the writing takes a few milliseconds

// Page 2 as the create job reads it: the size in MB; the letter comes from its letter list.
class BenchStep2 : public CStep2 {
public:
    explicit BenchStep2(int sizeMb) { m_nSize = sizeMb; }
};

// The progress dialog, counting the percent reports its worker sends it.
class CountingProgressDlg : public CWizardDlg {
public:
    using CWizardDlg::CWizardDlg;
    unsigned m_nPercentMessages = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PROGRESS_PERCENT)
            ++m_nPercentMessages;
        return CWizardDlg::WindowProc(message, wParam, lParam);
    }
};

// The wizard window and page 2 inside it, with the letter list the create job reads.
struct OwnerWindows {
    HWND top = CreateWindowExA(0, "STATIC", "wizard", WS_POPUP | WS_VISIBLE, 100, 80, 620, 420, nullptr, nullptr,
                               nullptr, nullptr);
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_CHILD | WS_VISIBLE, 2, 30, 600, 336, top, nullptr, nullptr,
                                nullptr);
    HWND letters = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 40, 80, 120, page,
                                   reinterpret_cast<HMENU>(IDC_CMB_STEP2_LETTERS), nullptr, nullptr);
    OwnerWindows()
    {
        SendMessageA(letters, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kDriveLetterText));
        SendMessageA(letters, CB_SETCURSEL, 0, 0);
    }
    ~OwnerWindows() { DestroyWindow(top); }
};

std::string SizeText(int sizeMb)
{
    return sizeMb % 1024 == 0 ? std::to_string(sizeMb / 1024) + " GiB" : std::to_string(sizeMb) + " MiB";
}

void Progress(const std::string& what)
{
    std::fprintf(stderr, "  ... %s\n", what.c_str());
}

// One side of a timed pair: the work, and what removes its result afterwards (not timed).
struct TimedWork {
    std::function<bool()> work;
    std::function<bool()> tidy;
};

// Times the job and its reference in turns, `runs` times each after a pair that is not counted (a
// folder's first big write pays for what the system still had to settle). Taking turns, whichever
// goes first meets the leftovers of the one before equally often. False when any run failed.
bool TimePairs(int runs, const TimedWork& job, const TimedWork& reference, std::vector<double>& jobTimes,
               std::vector<double>& referenceTimes)
{
    bool ok = true;
    for (int run = -1; run < runs && ok; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool referenceTurn = (run + turn) % 2 == 0;
            const TimedWork& side = referenceTurn ? reference : job;
            const double seconds = TimeSeconds(side.work, ok);
            ok = side.tidy() && ok;
            if (run >= 0)
                (referenceTurn ? referenceTimes : jobTimes).push_back(seconds);
        }
    }
    return ok;
}

std::wstring Wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    return wide.data();
}

}  // namespace

WizardJobBench::WizardJobBench(const std::string& folder, int runs) : m_folder(folder), m_runs(runs)
{
    harness::DeleteFolderTree(m_folder);
    CreateDirectoryA(m_folder.c_str(), nullptr);
    g_LanguageFile = harness::JoinPath(harness::ProgramDir(), "Lang\\Sequora.ini");
}

WizardJobBench::~WizardJobBench()
{
    harness::DeleteFolderTree(m_folder);
}

bool WizardJobBench::TimeCreation(int sizeMb, double& jobTime, double& rawTime)
{
    OwnerWindows owner;
    BenchStep2 step2(sizeMb);
    if (!step2.Attach(owner.page))
        return false;
    const std::string image = harness::JoinPath(m_folder, "created.sqv");
    const std::string raw = harness::JoinPath(m_folder, "raw.bin");
    g_ImagePassword = "Bench123!";
    const uint64_t bytes = uint64_t(sizeMb) * kMiB;
    std::vector<double> jobTimes, rawTimes;
    const TimedWork job = {[&] {
                               g_ImagePath = image;
                               CountingProgressDlg progress(&step2);
                               progress.m_bMount = FALSE;
                               progress.DoModal();
                               m_mostProgressMessages =
                                   std::max(m_mostProgressMessages, progress.m_nPercentMessages);
                               return progress.m_nCreateResult == kTavrinCreated && FileSizeOf(image) == bytes;
                           },
                           [&] { return DeleteFileA(image.c_str()) != FALSE; }};
    const TimedWork rawWrite = {[&] { return RawWrite(raw, bytes); }, [&] { return DeleteFileA(raw.c_str()) != FALSE; }};
    const bool ok = TimePairs(m_runs, job, rawWrite, jobTimes, rawTimes);
    step2.Detach();
    jobTime = Median(jobTimes);
    rawTime = Median(rawTimes);
    return ok;
}

void WizardJobBench::MeasureCreation(int sizeMb, BenchTable& table)
{
    const std::string figure = "image creation, " + SizeText(sizeMb) + " (create job)";
    Progress(figure);
    double jobTime = 0, rawTime = 0;
    if (!TimeCreation(sizeMb, jobTime, rawTime)) {
        table.AddFailure(figure, "a creation or a raw write failed");
        return;
    }
    m_creationMeasured = true;
    if (m_smallestRawTime == 0 || rawTime < m_smallestRawTime)
        m_smallestRawTime = rawTime;
    table.AddRatio(figure, jobTime, "raw sequential write, " + SizeText(sizeMb), rawTime, "s",
                   BenchTable::Goal::kSpeedAtLeast, kJobSpeedGoal);
}

void WizardJobBench::MeasureCreationFixedCost(BenchTable& table)
{
    const std::string figure = "create job's fixed cost, " + SizeText(kSmallJobMb) + " job - raw write";
    Progress(figure);
    double jobTime = 0, rawTime = 0;
    if (!TimeCreation(kSmallJobMb, jobTime, rawTime)) {
        table.AddFailure(figure, "a creation or a raw write failed");
        return;
    }
    // What the smallest image measured may spend beyond its writing and still keep the job at
    // its share of a raw write's speed.
    const double limitMs = m_smallestRawTime * (1 / kJobSpeedGoal - 1) * 1000;
    char goal[48];
    std::snprintf(goal, sizeof goal, "<= %.0f ms", limitMs);
    table.AddValue(figure, (jobTime - rawTime) * 1000, "ms", limitMs, goal);
}

void WizardJobBench::MeasurePortable(int sizeMb, BenchTable& table)
{
    const std::string figure = "portable disk from page 4, " + SizeText(sizeMb);
    Progress(figure);
    // The image, made once by the driver library; the same bytes for every run of both sides.
    const std::string image = harness::JoinPath(m_folder, "portable-source.sqv");
    ImageHeader header = CWizardDlg::MakeImageHeader("Bench123!", 'K', sizeMb, "bench");
    int32_t context = 0;
    if (Tavrin_CreateImage(Wide(image).c_str(), &header, nullptr, &context) != kTavrinCreated) {
        table.AddFailure(figure, "the source image could not be made");
        return;
    }
    harness::FakeUsbDrive drive(harness::JoinPath(m_folder, "usb"));
    if (!drive.Letter()) {
        DeleteFileA(image.c_str());
        table.AddFailure(figure, "no fake USB drive");
        return;
    }
    const std::string plainCopy = drive.Root() + "plain-copy.sqv";
    CPortableDisk layout;
    layout.SetTarget(drive.Letter(), image.c_str());
    const std::string workFolder = PortableLayout::OnDrive(drive.Letter()).WorkFolder();

    CStep4 step4;
    std::vector<double> jobTimes, copyTimes;
    const TimedWork job = {[&] {
                               step4.HoldImage(image.c_str(), kImageKindNormal);
                               CWizardDlg progress(&step4);
                               progress.m_bPortable = TRUE;
                               progress.m_cUsbLetter = drive.Letter();
                               progress.m_bMount = FALSE;
                               progress.DoModal();
                               return progress.m_nPortableResult == 1 && layout.IsImageAtRest();
                           },
                           // The next run finds an empty drive, as page 4 leaves it after removing an old disk.
                           [&] { return harness::DeleteFolderTree(workFolder); }};
    // The job's own copy call, its flags and progress routine (which reports nothing while no
    // progress dialog is up): the two sides differ only in what the job does around the copy.
    const TimedWork plain = {[&] {
                                 return CopyFileExA(image.c_str(), plainCopy.c_str(), &CopyProgressRoutine, nullptr,
                                                    nullptr, COPY_FILE_FAIL_IF_EXISTS) != FALSE;
                             },
                             [&] { return DeleteFileA(plainCopy.c_str()) != FALSE; }};
    const bool ok = TimePairs(m_runs, job, plain, jobTimes, copyTimes);
    DeleteFileA(image.c_str());
    if (!ok) {
        table.AddFailure(figure, "a portable disk or a plain copy failed");
        return;
    }
    table.AddRatio(figure, Median(jobTimes), "the job's copy call alone, same drive", Median(copyTimes), "s",
                   BenchTable::Goal::kSpeedAtLeast, kJobSpeedGoal);
}

void WizardJobBench::ReportProgressMessages(BenchTable& table) const
{
    if (!m_creationMeasured)
        return;
    table.AddValue("WM_USER+54 messages per creation, most", m_mostProgressMessages, "messages",
                   kMostProgressMessages, "<= 101");
}
