// Windows with message maps, modal dialogs with their own loop, data exchange, strings.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "CWinThread.h"
#include "Framework.h"
#include "WindowDriver.h"
#include "test_framework.h"

using namespace harness;

namespace {

constexpr UINT kAppPing = WM_APP + 1;
constexpr UINT kAppFromWorker = WM_APP + 2;
constexpr UINT kAppPosted = WM_APP + 3;

class CountingWindow : public CWnd {
public:
    int pings = 0;
    int clicks = 0;
    int timers = 0;
    LRESULT OnPing(WPARAM wParam, LPARAM)
    {
        ++pings;
        return static_cast<LRESULT>(wParam * 2);
    }
    void OnClicked() { ++clicks; }
    void OnTimer(UINT_PTR id)
    {
        ++timers;
        KillTimer(id);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingWindow, CWnd)
    ON_MESSAGE(kAppPing, CountingWindow::OnPing)
    ON_BN_CLICKED(IDC_TEST_BUTTON, CountingWindow::OnClicked)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A derived map only adds: the base class's entries still answer.
class DerivedWindow : public CountingWindow {
public:
    int paints = 0;
    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, CountingWindow)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST_DIALOG) {}
    CString m_text = "typed";
    int fromWorker = 0;
    int posted = 0;
    bool parentDisabled = false;
    CWnd* parent = nullptr;
    std::thread worker;
    bool startWorker = true;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        parentDisabled = parent && !parent->IsWindowEnabled();
        PostMessage(kAppPosted);
        if (!startWorker)
            return TRUE;
        HWND self = m_hWnd;
        // A worker that sends into the dialog while it runs modally, then ends it.
        worker = std::thread([self] {
            ::SendMessageA(self, kAppFromWorker, 0, 0);
            ::SendMessageA(self, kAppFromWorker, 0, 0);
            ::PostMessageA(self, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
        });
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == kAppPosted) {
            ++posted;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_TEST_EDIT, m_text);
        DDV_MaxChars(dx, m_text, 8);
    }
    LRESULT OnFromWorker(WPARAM, LPARAM)
    {
        ++fromWorker;
        return 0;
    }
    void OnPress()
    {
        worker.join();
        EndDialog(42);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
    ON_MESSAGE(kAppFromWorker, TestDialog::OnFromWorker)
    ON_BN_CLICKED(IDC_TEST_BUTTON, TestDialog::OnPress)
END_MESSAGE_MAP()

}  // namespace

TEST(CString, TrimsFindsAndCuts)
{
    CString text = "  \t\"Mount_USB\"  ";
    text.Trim();
    EXPECT_EQ(text, "\"Mount_USB\"");
    text.Trim('"');
    EXPECT_EQ(text, "Mount_USB");
    text.MakeLower();
    EXPECT_EQ(text, "mount_usb");
    EXPECT_EQ(text.Find("usb"), 6);
    EXPECT_EQ(text.Find('x'), -1);
    EXPECT_EQ(text.Left(5), "mount");
    EXPECT_EQ(text.Mid(6), "usb");
    EXPECT_EQ(text.Mid(2, 3), "unt");
    EXPECT_EQ(text.Right(3), "usb");
    EXPECT_EQ(text.Mid(40), "");
    EXPECT_EQ(CString("\"\"").Trim('"'), "");
    CString formatted;
    formatted.Format("%c:\\ %d%%", 'E', 5);
    EXPECT_EQ(formatted, "E:\\ 5%");
    EXPECT_EQ(CString("a") + "b" + CString("c"), "abc");
    EXPECT_EQ(CString("History").CompareNoCase("HISTORY"), 0);
}

TEST(CWnd, MessageMapsDispatchMessagesCommandsAndTimersThroughTheBaseChain)
{
    DerivedWindow window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "map", WS_POPUP | WS_VISIBLE, CRect(50, 50, 250, 150), nullptr, 0));
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
    EXPECT_EQ(window.SendMessage(kAppPing, 21), 42);
    EXPECT_EQ(window.pings, 1);

    CButton button;
    ASSERT_TRUE(button.Create("Press", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 90, 40), &window, IDC_TEST_BUTTON));
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(window.clicks, 1);

    window.SetTimer(7, 10);
    EXPECT_TRUE(WaitUntil([&] { return window.timers == 1; }, 3000));
    window.Invalidate();
    EXPECT_TRUE(WaitUntil([&] { return window.paints > 0; }, 3000));

    HWND hwnd = window.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

// Our window procedure leaves out the default non-client paint of a child that has no frame;
// children with a border or an edge still get theirs drawn, and the frameless one shows whole.
TEST(CWnd, ChildFramesArePaintedAndFramelessChildrenShowWhole)
{
    CWnd host;
    // A white host under dark children: a frame left unpainted would show white.
    ASSERT_TRUE(host.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, CRect(60, 60, 260, 160), nullptr, 0));
    struct Case {
        const char* name;
        DWORD style;
        DWORD exStyle;
        int frame;      // pixels of frame on each side
    };
    const Case cases[] = {
        {"frameless", 0, 0, 0},
        {"border", WS_BORDER, 0, 1},
        {"client edge", 0, WS_EX_CLIENTEDGE, 2},
    };
    CWnd children[3];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(children[i].CreateEx(cases[i].exStyle, "STATIC", "",
                                         WS_CHILD | WS_VISIBLE | SS_BLACKRECT | cases[i].style,
                                         CRect(10 + 60 * i, 20, 60 + 60 * i, 70), &host, 100 + i));
    host.UpdateWindow();
    const DWORD white = 0xFFFFFF;
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        std::vector<DWORD> pixels;
        int width = 0, height = 0;
        // Read once the frame has reached the screen.
        const bool painted = WaitUntil([&] {
            return CaptureWindow(children[i].m_hWnd, pixels, width, height) && width == 50 &&
                   pixels[static_cast<size_t>(25 * width + 25)] != white &&
                   (c.frame == 0 || pixels[static_cast<size_t>(25 * width)] != white);
        }, 3000);
        EXPECT_TRUE(painted) << c.name;
        if (!painted)
            continue;
        // The frame's left side is drawn (a sunken edge's light right side may be white), and
        // the dark client reaches up to the frame.
        const DWORD client = pixels[static_cast<size_t>(25 * width + 25)];
        for (int x = 0; x < width - c.frame; ++x) {
            const DWORD pixel = pixels[static_cast<size_t>(25 * width + x)];
            if (x < c.frame)
                EXPECT_NE(pixel, white) << c.name << " x " << x;
            else
                EXPECT_EQ(pixel, client) << c.name << " x " << x;
        }
    }
}

TEST(CWnd, SubclassedWindowIsHandedBackAndNotDestroyed)
{
    HWND hwnd = CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    {
        CountingWindow window;
        ASSERT_TRUE(window.SubclassWindow(hwnd));
        EXPECT_EQ(::SendMessageA(hwnd, kAppPing, 1, 0), 2);
    }
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), original);
    DestroyWindow(hwnd);
}

TEST(CDialog, ModalLoopServesWorkersAndPreTranslatesAndReturnsTheResult)
{
    CountingWindow owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
    TestDialog dialog;
    dialog.m_pParentWnd = &owner;
    dialog.parent = &owner;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.fromWorker, 2);
    EXPECT_EQ(dialog.posted, 1);
    EXPECT_TRUE(dialog.parentDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

class EndsAtOnce : public CDialog {
public:
    EndsAtOnce() : CDialog(IDD_TEST_DIALOG) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        EndDialog(7);
        return TRUE;
    }
};

TEST(CDialog, EndedDuringItsInitialisationItNeverShows)
{
    EndsAtOnce dialog;
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(dialog.DoModal(), 7) << "and again: each run starts afresh";
}

class FramelessDialog : public CDialog {
public:
    FramelessDialog() : CDialog(IDD_TEST_DIALOG) {}
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override
    {
        cs.style &= ~static_cast<LONG>(WS_CAPTION);
        return CDialog::PreCreateWindow(cs);
    }
};

TEST(CDialog, PreCreateWindowAdjustsTheTemplatesStyle)
{
    FramelessDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG, nullptr));
    EXPECT_EQ(dialog.GetStyle() & WS_CAPTION, 0u);
    dialog.DestroyWindow();
    CDialog plain(IDD_TEST_DIALOG);
    ASSERT_TRUE(plain.Create(IDD_TEST_DIALOG, nullptr));
    EXPECT_EQ(plain.GetStyle() & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    plain.DestroyWindow();
}

TEST(CDialog, ADialogTakingItsTemplateAsItStandsIsNotAdjusted)
{
    FramelessDialog dialog;
    dialog.m_bPreCreateTemplate = false;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG, nullptr));
    EXPECT_EQ(dialog.GetStyle() & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    dialog.DestroyWindow();
}

TEST(CDialog, DataExchangeMovesTextBothWaysAndRefusesTooLong)
{
    TestDialog dialog;
    dialog.startWorker = false;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG, nullptr));
    EXPECT_EQ(dialog.GetDlgItem(IDC_TEST_EDIT)->GetWindowText(), "typed");
    dialog.SetDlgItemText(IDC_TEST_EDIT, "changed");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_text, "changed");
    dialog.SetDlgItemText(IDC_TEST_EDIT, "far too long");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_text, "far too long");   // read, then refused by the length check
    dialog.DestroyWindow();
}

namespace {

class ChoiceDialog : public CDialog {
public:
    ChoiceDialog() : CDialog(IDD_TEST_DIALOG) {}
    int m_radio = 1;
    int m_check = BST_CHECKED;
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Radio(dx, IDC_TEST_RADIO_ONE, m_radio);
        DDX_Check(dx, IDC_TEST_CHECK, m_check);
    }
};

}  // namespace

TEST(CDialog, DataExchangeOfRadioGroupsAndCheckBoxes)
{
    ChoiceDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG, nullptr));
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_TEST_RADIO_ONE), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_TEST_RADIO_TWO), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_TEST_CHECK), static_cast<UINT>(BST_CHECKED));
    dialog.CheckDlgButton(IDC_TEST_RADIO_TWO, BST_UNCHECKED);
    dialog.CheckDlgButton(IDC_TEST_RADIO_ONE, BST_CHECKED);
    dialog.CheckDlgButton(IDC_TEST_CHECK, BST_UNCHECKED);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_radio, 0);
    EXPECT_EQ(dialog.m_check, BST_UNCHECKED);
    dialog.CheckDlgButton(IDC_TEST_RADIO_ONE, BST_UNCHECKED);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_radio, -1) << "none of the group checked";
    dialog.DestroyWindow();
}

TEST(CWinThread, ADetachedThreadRunsOnItsOwnWithItsParameter)
{
    struct Run {
        HANDLE done;
        LONG seen;
    } runs[8];
    for (Run& run : runs) {
        run.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        run.seen = 0;
        ASSERT_TRUE(AfxBeginDetachedThread(
            [](void* parameter) -> UINT {
                Run* run = static_cast<Run*>(parameter);
                InterlockedExchange(&run->seen, 1);
                SetEvent(run->done);
                return 0;
            },
            &run));
    }
    for (Run& run : runs) {
        EXPECT_EQ(WaitForSingleObject(run.done, 5000), WAIT_OBJECT_0);
        EXPECT_EQ(run.seen, 1);
        CloseHandle(run.done);
    }
    EXPECT_FALSE(AfxBeginDetachedThread(nullptr, nullptr));
}
