// The scanning box and the progress dialog's page-4 mount job in the test process, with Brixom's own
// resources and the real outside libraries: the box shows while a scan runs and nobody can close
// it; the mount job releases a hidden image, mounts it read-only on the page's letter, opens it, and
// hands every result back - never a mount on letter 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "CStep2.h"
#include "CStep4.h"
#include "CWaitDlg.h"
#include "CWizardDlg.h"
#include "GoldenHeader.h"
#include "HandleOwner.h"
#include "HiddenMounts.h"
#include "LanguageFixture.h"
#include "MountedDisks.h"
#include "Paths.h"
#include "Quilmar.h"
#include "Registry.h"
#include "ShellWindows.h"
#include "Tavrin.h"
#include "TempFolder.h"
#include "UnmanagedWindows.h"
#include "WindowDriver.h"
#include "WizardGlobals.h"
#include "resource.h"

using namespace harness;

namespace {

const char* const kProtectedList = "Software\\Quilmar\\Protected";

// Set before this process makes its first window, when the display driver reads it.
const UnmanagedWindows g_unmanaged("test_wizard_dialogs.exe");

// The shipped language file as an echo file, read by the dialogs through g_LanguageFile.
struct EchoLanguage {
    TempFolder folder{"lang"};
    EchoLanguage()
    {
        const std::string file = folder / "Sequora.ini";
        WriteEchoLanguageFile(JoinPath(ProgramDir(), "Lang\\Sequora.ini"), file);
        g_LanguageFile = file;
    }
    ~EchoLanguage() { g_LanguageFile = ""; }
};

// A wizard-like window with a page inside, as the pages own the dialogs.
struct OwnerWindows {
    HWND top = CreateWindowExA(0, "STATIC", "wizard", WS_POPUP | WS_VISIBLE, 100, 80, 620, 420, nullptr, nullptr,
                               nullptr, nullptr);
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_CHILD | WS_VISIBLE, 2, 30, 600, 336, top, nullptr, nullptr,
                                nullptr);
    HWND letters = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, 10, 10, 80,
                                   120, page, reinterpret_cast<HMENU>(IDC_CMB_STEP4_LETTERS), nullptr, nullptr);
    ~OwnerWindows() { DestroyWindow(top); }
};

size_t CountStarting(const std::vector<std::string>& lines, const std::string& prefix)
{
    return static_cast<size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

}  // namespace

TEST(WaitDialog, ShownWhileTheScanRunsAndNotClosedBeforeItEnds)
{
    EchoLanguage language;
    OwnerWindows owner;
    CWnd page;
    ASSERT_TRUE(page.Attach(owner.page));

    struct Scan {
        KernelHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        HWND list = nullptr;
        std::atomic<DWORD> thread{0};
    } scan;
    scan.list = owner.letters;

    // What the user sees meanwhile, looked at from a thread of its own while the page's thread is
    // inside the box's modal run.
    struct Seen {
        bool found = false, text = false, place = false, noTaskbar = false, topDisabled = false, stayed = false;
    } seen;
    std::thread watcher([&] {
        HWND box = nullptr;
        WaitUntil([&] {
            for (HWND w : TopLevelWindows(GetCurrentProcessId())) {
                if (IsWindowVisible(w) && GetDlgItem(w, IDC_LBL_WAIT_TEXT))
                    box = w;
            }
            return box != nullptr;
        }, 10000);
        seen.found = box != nullptr;
        if (box) {
            seen.text = WindowText(GetDlgItem(box, IDC_LBL_WAIT_TEXT)) == "Main.strScanUSB";
            const RECT r = WindowRectOf(box), p = WindowRectOf(owner.page);
            seen.place = r.left == p.left + 110 && r.top == p.top + 150 && r.right - r.left == 405 &&
                         r.bottom - r.top == 91;
            seen.noTaskbar = !(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_APPWINDOW);
            seen.topDisabled = !IsWindowEnabled(owner.top);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(box, WM_CLOSE, 0, 0);
            PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            Sleep(300);
            seen.stayed = IsWindow(box) && IsWindowVisible(box);
        }
        SetEvent(scan.release.Get());
    });

    CWaitDlg wait(&page);
    wait.RunScan(
        [](void* context) {
            Scan* s = static_cast<Scan*>(context);
            s->thread = GetCurrentThreadId();
            WaitForSingleObject(s->release.Get(), 15000);
            // The page's list is filled by messages its thread serves inside the box's run.
            SendMessageA(s->list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("E:\\"));
        },
        &scan);
    watcher.join();
    EXPECT_TRUE(seen.found);
    EXPECT_TRUE(seen.text);
    EXPECT_TRUE(seen.place);
    EXPECT_TRUE(seen.noTaskbar);
    EXPECT_TRUE(seen.topDisabled);
    EXPECT_TRUE(seen.stayed);
    // Back only when the scan had ended, on a thread of its own, with the wizard usable again.
    EXPECT_NE(scan.thread.load(), GetCurrentThreadId());
    EXPECT_EQ(SendMessageA(owner.letters, CB_GETCOUNT, 0, 0), 1);
    EXPECT_TRUE(IsWindowEnabled(owner.top));
    page.Detach();
}

TEST(ProgressDialog, MountJobOfPageFourHandsItsResultsBack)
{
    EchoLanguage language;
    TempFolder temp("mountjob");
    const std::string journal = temp / "journal.txt";
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", journal.c_str());
    const std::string image = temp / "hidden.sqv";
    const std::vector<unsigned char> header = GoldenHeader("pw123456", 'D', 2);
    int32_t context = 0;
    ASSERT_EQ(Tavrin_CreateImage(Wide(image).c_str(), reinterpret_cast<const ImageHeader*>(header.data()), nullptr,
                                 &context),
              kTavrinCreated);
    ASSERT_NE(Quilmar_SetProtection(image.c_str(), 0, 0, kQuilmarProtect), 0);
    struct Cleanup {
        std::string image;
        ~Cleanup()
        {
            for (const char letter : MountedDriveLetters())
                Tavrin_Unmount(static_cast<unsigned char>(letter), 0);
            DeleteRegistryValue(HKEY_CURRENT_USER, kProtectedList, image);
            SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_NORMAL);
            SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", nullptr);
            SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
            CloseShellWindows();
        }
    } cleanup{image};

    OwnerWindows owner;
    CStep4 step4;
    ASSERT_TRUE(step4.Attach(owner.page));
    step4.HoldImage(image.c_str(), kImageKindHidden);
    step4.m_bReadOnly = TRUE;
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
    ASSERT_NE(letter, 0);
    const std::string root = std::string(1, letter) + ":\\";
    SendMessageA(owner.letters, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root.c_str()));
    SendMessageA(owner.letters, CB_SETCURSEL, 0, 0);

    {
        CWizardDlg progress(&step4);
        progress.m_bMount = TRUE;
        progress.DoModal();
        EXPECT_EQ(progress.m_nReleaseResult, 1);
        EXPECT_NE(progress.m_nMountResult, 0);
        EXPECT_NE(progress.m_nMountResult, CWizardDlg::kNotRun);
        EXPECT_EQ(progress.m_nCreateResult, CWizardDlg::kNotRun);
        EXPECT_FALSE(progress.m_bNoFreeLetter);
        EXPECT_EQ(progress.m_strDriveRoot.str(), root);
    }
    const std::vector<std::string> lines = ReadLines(journal);
    const std::string path = "\"" + image + "\"";
    EXPECT_EQ(CountStarting(lines, "Quilmar_SetProtection(" + path + ", 0, 0, 0) -> 1"), 1u);
    EXPECT_EQ(CountStarting(lines, "Tavrin_Mount(" + path + ", " + std::string(1, letter) + ", 1) -> 1"), 1u);
    EXPECT_TRUE(WaitUntil([&] { return FindShellWindowOfDrive(letter) != nullptr; }, 30000));
    CloseShellWindows();
    ASSERT_TRUE(Tavrin_Unmount(static_cast<uint32_t>(letter), 0));
    EXPECT_TRUE(TakeHiddenMountMark(image)) << "marked hidden for the dismount";
    EXPECT_FALSE(TakeHiddenMountMark(image)) << "the mark goes with the answer";

    // A refused mount: said so, and no shell window for a drive that is not there.
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", "mount-fails");
    step4.HoldImage(image.c_str(), kImageKindNormal);
    {
        CWizardDlg progress(&step4);
        progress.m_bMount = TRUE;
        progress.DoModal();
        EXPECT_EQ(progress.m_nReleaseResult, CWizardDlg::kNotRun);   // only a hidden image is released
        EXPECT_EQ(progress.m_nMountResult, 0);
    }
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
    Sleep(500);
    EXPECT_EQ(FindShellWindowOfDrive(letter), nullptr);

    // No letter chosen: nothing is mounted at all, never on letter 0.
    SendMessageA(owner.letters, CB_RESETCONTENT, 0, 0);
    const size_t mountsBefore = CountStarting(ReadLines(journal), "Tavrin_Mount(");
    {
        CWizardDlg progress(&step4);
        progress.m_bMount = TRUE;
        progress.DoModal();
        EXPECT_TRUE(progress.m_bNoFreeLetter);
        EXPECT_EQ(progress.m_nMountResult, 0);
        EXPECT_TRUE(progress.m_strDriveRoot.IsEmpty());
    }
    EXPECT_EQ(CountStarting(ReadLines(journal), "Tavrin_Mount("), mountsBefore);
    EXPECT_EQ(g_ProgressDlg, nullptr);
    step4.Detach();
}

namespace {

// Page 2 as the create job reads it: a size and a letter list.
class SizedStep2 : public CStep2 {
public:
    explicit SizedStep2(int size) { m_nSize = size; }
};

// The progress dialog, noting every percent report it receives and its bar's width on each.
class CountingProgressDlg : public CWizardDlg {
public:
    using CWizardDlg::CWizardDlg;
    std::vector<unsigned> percents;
    std::vector<int> widths;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const LRESULT result = CWizardDlg::WindowProc(message, wParam, lParam);
        if (message == WM_PROGRESS_PERCENT) {
            percents.push_back(static_cast<unsigned>(wParam));
            const RECT bar = ChildRectInParent(GetDlgItemHwnd(IDC_PROGRESS_BAR));
            widths.push_back(bar.right - bar.left);
        }
        return result;
    }
};

}  // namespace

// The create job of page 2 without a mount: each percent reported once (at most 101 reports), the
// bar following it to its full width, the image made, nothing mounted.
TEST(ProgressDialog, CreateJobReportsEachPercentOnce)
{
    EchoLanguage language;
    TempFolder temp("createjob");
    const std::string journal = temp / "journal.txt";
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", journal.c_str());
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", "create-slow=500");
    OwnerWindows owner;
    HWND letters = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 40, 80, 120,
                                   owner.page, reinterpret_cast<HMENU>(IDC_CMB_STEP2_LETTERS), nullptr, nullptr);
    SendMessageA(letters, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("K:\\"));
    SendMessageA(letters, CB_SETCURSEL, 0, 0);
    SizedStep2 step2(50);
    ASSERT_TRUE(step2.Attach(owner.page));
    g_ImagePath = temp / "sub\\new.sqv";
    g_ImagePassword = "Abc123!x";

    CountingProgressDlg progress(&step2);
    progress.m_bMount = FALSE;
    progress.DoModal();
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", nullptr);
    step2.Detach();

    EXPECT_EQ(progress.m_nCreateResult, kTavrinCreated);
    EXPECT_EQ(progress.m_nMountResult, CWizardDlg::kNotRun);
    ASSERT_FALSE(progress.percents.empty());
    EXPECT_LE(progress.percents.size(), 101u);
    EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end()));
    EXPECT_EQ(std::adjacent_find(progress.percents.begin(), progress.percents.end()), progress.percents.end());
    EXPECT_EQ(progress.percents.back(), 100u);
    EXPECT_EQ(progress.widths.back(), 350);
    for (size_t i = 0; i < progress.percents.size(); ++i)
        EXPECT_EQ(progress.widths[i], static_cast<int>(progress.percents[i] * 350 / 100));
    // The last folder level is made for the image; the header carries the page's letter.
    const std::string bytes = ReadFileBytes(g_ImagePath.str()).substr(0, 2048);
    EXPECT_TRUE(std::vector<unsigned char>(bytes.begin(), bytes.end()) == GoldenHeader("Abc123!x", 'K', 50));
    EXPECT_EQ(CountStarting(ReadLines(journal), "Tavrin_Mount("), 0u);
}
