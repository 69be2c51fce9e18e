#include "CWizardDlg.h"

#include "ShellLaunch.h"

#include <algorithm>
#include <cstring>

#include "CAboutDlg.h"
#include "CDlgFontScaler.h"
#include "CPortableDisk.h"
#include "CStep2.h"
#include "CStep4.h"
#include "CWinApp.h"
#include "DriveLists.h"
#include "DriverPath.h"
#include "HiddenMounts.h"
#include "Quilmar.h"
#include "Tavrin.h"
#include "WizardGlobals.h"
#include "resource.h"

CWizardDlg* g_ProgressDlg = nullptr;

namespace {

constexpr double kLayoutDpi = 96.0;
constexpr int kParentOffsetX = 110, kParentOffsetY = 150;
constexpr int kBarDropY = 5;            // the bar sits 5 pixels below the centre line
constexpr int kTextAboveBar = 15;
constexpr unsigned kFullPercent = 100;
constexpr LONGLONG kBytesPerMB = 1048576;
// The new drive is given a moment to settle before the shell opens it.
constexpr DWORD kCreateMountSettleMs = 1000;
constexpr DWORD kMountStepMs = 100;
constexpr unsigned kMountSteps = 10;

void OpenDriveInShell(const std::string& root)
{
    LateShellExecute(nullptr, nullptr, "explorer.exe", root.c_str(), nullptr, SW_SHOWNORMAL);
}

// Copies `text` into a field of `size` bytes, always NUL-terminated.
void CopyField(char* field, size_t size, const char* text)
{
    if (!text || size == 0)
        return;
    const size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace

BEGIN_MESSAGE_MAP(CWizardDlg, CPanelDlg)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_PROGRESS_PERCENT, CWizardDlg::OnProgress)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CWizardDlg::CWizardDlg(CStep2* owner, CWnd* parent)
    : CPanelDlg(IDD_PROGRESS, parent, IDC_LBL_PROGRESS_TEXT), m_pStep2(owner)
{
}

CWizardDlg::CWizardDlg(CStep4* owner, CWnd* parent)
    : CPanelDlg(IDD_PROGRESS, parent, IDC_LBL_PROGRESS_TEXT), m_pStep4(owner)
{
}

CWizardDlg::~CWizardDlg()
{
    m_thread.Join();
    if (g_ProgressDlg == this)
        g_ProgressDlg = nullptr;
}

INT_PTR CWizardDlg::DoModal()
{
    const INT_PTR result = CPanelDlg::DoModal();
    // The run ends only when the job is done, but a quit message ends any modal run early: the
    // worker is waited for all the same, so nothing is left half-written.
    m_thread.Join();
    return result;
}

ImageHeader CWizardDlg::MakeImageHeader(const char* password, char letter, int sizeMB, const char* description)
{
    ImageHeader header;
    std::memset(&header, 0, sizeof header);
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    CopyField(header.password, sizeof header.password, password);
    header.driveLetter = letter;
    header.dataBytes = static_cast<uint64_t>(static_cast<int64_t>(sizeMB) * kBytesPerMB - ImageHeader::kHeaderSize);
    header.field653 = 0;
    header.field657 = ImageHeader::kHeaderSize;
    header.field661 = 0;
    CopyField(header.description, sizeof header.description, description);
    return header;
}

void CWizardDlg::DoDataExchange(CDataExchange* dx)
{
    CPanelDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS_BAR, m_ctlBar);
}

BOOL CWizardDlg::OnInitDialog()
{
    CPanelDlg::OnInitDialog();
    CDlgFontScaler scaler;
    scaler.Apply(AfxGetResourceHandle(), m_hWnd, IDD_PROGRESS, kLayoutDpi);
    ClipToPanel();

    CBitmap bar;
    if (bar.LoadBitmap(IDB_PROGRESS_BAR)) {
        BITMAP info = {};
        bar.GetBitmap(&info);
        m_nBarWidth = info.bmWidth;
        m_nBarHeight = info.bmHeight;
    }
    const int x = (m_nWidth - m_nBarWidth) / 2, y = (m_nHeight - m_nBarHeight) / 2;
    const UINT place = SWP_NOZORDER | SWP_NOACTIVATE;
    if (m_ctlBar.m_hWnd)
        m_ctlBar.SetWindowPos(nullptr, x, y + kBarDropY, 0, m_nBarHeight, place);
    if (HWND frame = GetDlgItemHwnd(IDC_PROGRESS_FRAME))
        ::SetWindowPos(frame, nullptr, x - 1, y + kBarDropY - 1, m_nBarWidth + 2, m_nBarHeight + 2, place);
    if (HWND text = GetDlgItemHwnd(IDC_LBL_PROGRESS_TEXT))
        ::SetWindowPos(text, nullptr, x - 1, y - kTextAboveBar, 0, 0, place | SWP_NOSIZE);

    g_ProgressDlg = this;

    CRect parent;
    if (HWND owner = ::GetWindow(m_hWnd, GW_OWNER))
        ::GetWindowRect(owner, &parent);
    SetWindowPos(nullptr, parent.left + kParentOffsetX, parent.top + kParentOffsetY, m_nWidth, m_nHeight,
                 SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);

    char about[128] = "";
    if (::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, about, sizeof about) > 0) {
        if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE)) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    return TRUE;
}

void CWizardDlg::OnShowWindow(BOOL show, UINT status)
{
    CPanelDlg::OnShowWindow(show, status);
    // Shown again (the owner restored, say) is not a new job.
    if (!show || m_workerStarted)
        return;
    m_workerStarted = true;
    if (!m_thread.CreateThread(&CWizardDlg::WorkerThread, this, THREAD_PRIORITY_IDLE, CREATE_SUSPENDED)) {
        // Nothing ran: the results say so and the dialog must not wait for a worker.
        m_jobDone = true;
        PostMessage(WM_CLOSE);
        return;
    }
    m_thread.ResumeThread();
}

UINT CWizardDlg::WorkerThread(void* self)
{
    CWizardDlg* dialog = static_cast<CWizardDlg*>(self);
    dialog->RunJob();
    dialog->FinishJob();
    return 0;
}

void CWizardDlg::RunJob()
{
    if (m_bPortable)
        RunPortableJob();
    else if (m_pStep2)
        RunCreateJob();
    else if (m_pStep4)
        RunMountJob();
}

void CWizardDlg::FinishJob()
{
    HWND window = m_hWnd;
    m_jobDone = true;
    // The worker's last act; the dialog ends on it.
    ::PostMessageA(window, WM_CLOSE, 0, 0);
}

CString CWizardDlg::JobImagePath() const
{
    return m_pStep4 ? m_pStep4->Image().path : g_ImagePath;
}

void CWizardDlg::RunPortableJob()
{
    CPortableDisk disk;
    disk.SetTarget(m_cUsbLetter, JobImagePath());
    m_nPortableResult = disk.CreatePortable(&CopyProgressRoutine);
}

void CWizardDlg::RunCreateJob()
{
    ::SetDlgItemTextA(m_hWnd, IDC_LBL_PROGRESS_TEXT, LangText("Main", "strCreateTip"));
    const std::string root = GetSelectedDriveRoot(::GetDlgItem(m_pStep2->m_hWnd, IDC_CMB_STEP2_LETTERS));
    const char letter = DriveLetterOf(root);
    const ImageHeader header =
        MakeImageHeader(g_ImagePassword, letter, m_pStep2->GetSize(), m_pStep2->GetDescription());

    const std::wstring path = ToDriverPath(g_ImagePath.str());
    // Only the last folder level is made: the file dialog chose an existing folder.
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos)
        ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);

    int32_t context = 0;
    m_nCreateResult = Tavrin_CreateImage(path.c_str(), &header, &CreateProgressCallback, &context);
    if (m_nCreateResult == kTavrinCreated && m_bMount)
        MountAndOpen(root, FALSE, kCreateMountSettleMs);
}

void CWizardDlg::RunMountJob()
{
    ::SetDlgItemTextA(m_hWnd, IDC_LBL_PROGRESS_TEXT, LangText("Main", "strCreateTip"));
    const std::string root = GetSelectedDriveRoot(::GetDlgItem(m_pStep4->m_hWnd, IDC_CMB_STEP4_LETTERS));
    const OpenedImage& image = m_pStep4->Image();
    if (image.kind == kImageKindHidden && !image.path.IsEmpty())
        m_nReleaseResult = Quilmar_SetProtection(image.path, 0, 0, kQuilmarRelease);
    if (m_bMount)
        MountAndOpen(root, m_pStep4->m_bReadOnly ? TRUE : FALSE, 0);
}

void CWizardDlg::MountAndOpen(const std::string& root, BOOL readOnly, DWORD settleMs)
{
    const char letter = DriveLetterOf(root);
    if (!letter) {
        // Never on letter 0: the page says there was no free letter.
        m_bNoFreeLetter = TRUE;
        m_nMountResult = 0;
        return;
    }
    m_strDriveRoot = std::string(1, letter) + ":\\";
    const std::wstring path = ToDriverPath(JobImagePath().str());
    m_nMountResult = Tavrin_Mount(path.c_str(), static_cast<uint32_t>(static_cast<unsigned char>(letter)), readOnly);
    // Page 1's dismount, in this run or a later one, hides a hidden image again wherever it lies.
    if (m_nMountResult != 0)
        MarkMountedImage(JobImagePath().str(), m_pStep4 && m_pStep4->Image().kind == kImageKindHidden);
    if (m_pStep4) {
        // The page-4 mount shows steps of its own and never reaches 100 before it closes.
        for (unsigned step = 0; step < kMountSteps; ++step) {
            ::Sleep(kMountStepMs);
            ReportProgress(step * (kFullPercent / kMountSteps));
        }
    }
    if (m_nMountResult == 0)
        return;
    if (settleMs)
        ::Sleep(settleMs);
    OpenDriveInShell(m_strDriveRoot.str());
}

void CWizardDlg::ReportProgress(unsigned percent)
{
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    ::SendMessageA(m_hWnd, WM_PROGRESS_PERCENT, percent, 0);
}

LRESULT CWizardDlg::OnProgress(WPARAM wParam, LPARAM)
{
    if (!m_ctlBar.m_hWnd)
        return 1;
    const unsigned percent = std::min(static_cast<unsigned>(wParam), kFullPercent);
    m_ctlBar.SetWindowPos(nullptr, 0, 0, static_cast<int>(percent * static_cast<unsigned>(m_nBarWidth) / kFullPercent),
                          m_nBarHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    m_ctlBar.Invalidate(TRUE);
    return 0;
}

void CWizardDlg::OnOK()
{
    // Enter does not end the job.
}

void CWizardDlg::OnCancel()
{
    // Nor does Esc: the job is not cancellable, and the page must learn how it ended.
}

void CWizardDlg::OnClose()
{
    // Only the worker's close counts; until then Alt+F4, the system menu and other programs are
    // refused.
    if (!m_jobDone)
        return;
    if (m_pAbout && m_pAbout->m_hWnd)
        m_pAbout->EndDialog(IDOK);
    EndDialog(IDOK);
}

void CWizardDlg::OnDestroy()
{
    if (g_ProgressDlg == this)
        g_ProgressDlg = nullptr;
    CPanelDlg::OnDestroy();
}

void CWizardDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        m_pAbout = &about;
        about.DoModal();
        m_pAbout = nullptr;
        return;
    }
    CPanelDlg::OnSysCommand(id, lParam);
}

uint8_t __cdecl CreateProgressCallback(const int32_t* percent)
{
    if (percent && g_ProgressDlg)
        g_ProgressDlg->ReportProgress(static_cast<unsigned>(*percent));
    return TRUE;
}

unsigned CopyPercent(LONGLONG transferred, LONGLONG total)
{
    if (total <= 0)
        return kFullPercent;
    return static_cast<unsigned>(transferred * 100 / total);
}

DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalSize, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER,
                                   DWORD, DWORD, HANDLE, HANDLE, LPVOID)
{
    if (g_ProgressDlg)
        g_ProgressDlg->ReportProgress(CopyPercent(transferred.QuadPart, totalSize.QuadPart));
    return PROGRESS_CONTINUE;
}
