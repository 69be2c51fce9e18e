// The wizard sheet inside the test process, where its services can be called directly: the
// button flags the pages use, and the title layout each UpdateTitle run repeats.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "CWinApp.h"
#include "CWizardSheet.h"
#include "WindowDriver.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

class TestApp : public CWinApp {};
TestApp g_testApp;

class ScriptedWizard : public CWizardSheet {
public:
    ScriptedWizard() : CWizardSheet("Wizard Sheet") { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL OnInitDialog() override
    {
        const BOOL result = CWizardSheet::OnInitDialog();
        script(*this);
        PostMessage(WM_CLOSE);
        return result;
    }
    std::function<void(ScriptedWizard&)> script;
};

bool Shown(HWND sheet, int id)
{
    return (GetWindowLongA(GetDlgItem(sheet, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Enabled(HWND sheet, int id)
{
    return IsWindowEnabled(GetDlgItem(sheet, id)) != FALSE;
}

int RunWizard(const std::function<void(ScriptedWizard&)>& script)
{
    char unmount[] = "unmount";          // a verb: no launcher is started
    g_testApp.m_lpCmdLine = unmount;
    ScriptedWizard wizard;
    wizard.script = script;
    g_testApp.m_pMainWnd = &wizard;
    const int result = static_cast<int>(wizard.DoModal());
    g_testApp.m_pMainWnd = nullptr;
    return result;
}

}  // namespace

TEST(CWizardSheet, ButtonFlagsShowAndEnableBackNextAndFinish)
{
    bool ran = false;
    EXPECT_EQ(RunWizard([&](ScriptedWizard& w) {
        struct Case {
            DWORD flags;
            bool back, next, finishShown, finishEnabled;
        };
        const Case cases[] = {
            {0, false, false, false, false},
            {kWizardBack, true, false, false, false},
            {kWizardNext, false, true, false, false},
            {kWizardBack | kWizardNext, true, true, false, false},
            {kWizardFinish, false, false, true, true},
            {kWizardBack | kWizardFinish, true, false, true, true},
            {kWizardFinishDisabled, false, false, true, false},
            {kWizardBack | kWizardFinishDisabled, true, false, true, false},
            {kWizardFinish | kWizardFinishDisabled, false, false, true, true},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.flags);
            w.EnableWizardButtons(c.flags);
            EXPECT_EQ(Enabled(w.m_hWnd, IDC_BTN_BACK), c.back);
            EXPECT_TRUE(Shown(w.m_hWnd, IDC_BTN_BACK)) << "Back's visibility is never touched";
            EXPECT_EQ(Shown(w.m_hWnd, IDC_BTN_NEXT), c.next);
            EXPECT_EQ(Enabled(w.m_hWnd, IDC_BTN_NEXT), c.next);
            EXPECT_EQ(Shown(w.m_hWnd, IDC_BTN_FINISH), c.finishShown);
            EXPECT_EQ(Enabled(w.m_hWnd, IDC_BTN_FINISH), c.finishEnabled);
        }
        ran = true;
    }), IDCANCEL);
    EXPECT_TRUE(ran);
}

// Each run lays the caption out again from the title's new size, but changes the history link's
// width from whatever the run before left: with brand 0 and no "History" in its text, +3 a run.
TEST(CWizardSheet, UpdateTitleMovesTheLinkAndChangesItsWidthEachRun)
{
    EXPECT_EQ(RunWizard([](ScriptedWizard& w) {
        EXPECT_EQ(g_BrandIndex, 0);
        HWND link = GetDlgItem(w.m_hWnd, IDC_LBL_HISTORY);
        HWND title = GetDlgItem(w.m_hWnd, IDC_LBL_TITLE);
        RECT before;
        GetWindowRect(link, &before);
        w.UpdateTitle();
        RECT after, titleRect;
        GetWindowRect(link, &after);
        GetWindowRect(title, &titleRect);
        EXPECT_EQ(after.right - after.left, before.right - before.left + 3);
        EXPECT_EQ(after.left, titleRect.right - 2);
        char text[64] = {};
        GetWindowTextA(w.m_hWnd, text, sizeof text);
        EXPECT_STREQ(text, g_MessageCaption);
        EXPECT_STREQ(text, "??? ???");
    }), IDCANCEL);
}

TEST(CWizardSheet, FinishEndsTheRunWithTheWizardResult)
{
    EXPECT_EQ(RunWizard([](ScriptedWizard& w) {
        // Page 1 keeps the sheet open on Finish (it dismounts there, and says that nothing was
        // left to do); the result waits for a page that lets it end.
        w.EnableWizardButtons(kWizardFinish);
        std::string told;
        std::thread answer([&] { told = harness::AnswerMessageBox(GetCurrentProcessId(), IDOK); });
        w.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_FINISH, BN_CLICKED));
        answer.join();
        EXPECT_FALSE(told.empty());
        EXPECT_TRUE(IsWindow(w.m_hWnd));
        w.RemovePage(0);
        w.AddPage(&w.m_step4);
        w.SetActivePage(0);
        // Page 4 finishes at once when asked to unprotect with no image chosen.
        w.m_step4.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RADIO_STEP4_UNPROTECT, BN_CLICKED));
        w.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_FINISH, BN_CLICKED));
    }), ID_WIZFINISH);
}

// The title message takes a text or a string resource's id. A 64-bit text whose pointer has a zero
// second word (one at 4 GiB) is still a text.
TEST(CWizardSheet, TitleMessageTellsATextFromAResourceId)
{
    char* high = nullptr;
#ifdef _WIN64
    for (ULONG_PTR base = 0x100000000ull; !high && base < 0x1000000000ull; base += 0x100000000ull)
        high = static_cast<char*>(VirtualAlloc(reinterpret_cast<void*>(base), 4096, MEM_RESERVE | MEM_COMMIT,
                                               PAGE_READWRITE));
    ASSERT_NE(high, nullptr);
    ASSERT_EQ(HIWORD(reinterpret_cast<ULONG_PTR>(high)), 0) << "a pointer the old test took for an id";
    lstrcpyA(high, "A title at 4 GiB");
#endif
    char resourceText[256] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, resourceText, sizeof resourceText), 0);
    std::string fromId, fromHigh;
    RunWizard([&](ScriptedWizard& w) {
        char text[256] = "";
        w.SendMessage(PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDS_ABOUTBOX)));
        GetWindowTextA(w.m_hWnd, text, sizeof text);
        fromId = text;
        if (high) {
            w.SendMessage(PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(high));
            GetWindowTextA(w.m_hWnd, text, sizeof text);
            fromHigh = text;
        }
    });
    EXPECT_EQ(fromId, resourceText);
#ifdef _WIN64
    EXPECT_EQ(fromHigh, "A title at 4 GiB");
    VirtualFree(high, 0, MEM_RELEASE);
#endif
}
