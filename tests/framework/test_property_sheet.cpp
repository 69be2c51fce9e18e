// Our own wizard sheet: pages made on first activation, synchronous navigation, pages added and
// removed while shown, cancel heard by every page, finish, device events to the active page, and
// no system buttons that Enter could press.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <functional>
#include <string>
#include <vector>

#include "Framework.h"
#include "test_framework.h"

namespace {

std::vector<std::string> g_log;

class LoggingPage : public CPropertyPage {
public:
    LoggingPage(UINT id, const char* name) : CPropertyPage(id), m_name(name) {}
    LRESULT nextResult = 0;
    BOOL finishResult = TRUE;

    BOOL OnInitDialog() override
    {
        g_log.push_back(m_name + ".init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        g_log.push_back(m_name + ".active");
        return CPropertyPage::OnSetActive();
    }
    LRESULT OnWizardNext() override
    {
        g_log.push_back(m_name + ".next");
        return nextResult;
    }
    LRESULT OnWizardBack() override
    {
        g_log.push_back(m_name + ".back");
        return 0;
    }
    BOOL OnWizardFinish() override
    {
        g_log.push_back(m_name + ".finish");
        return finishResult;
    }
    void OnCancel() override { g_log.push_back(m_name + ".cancel"); }
    BOOL OnDeviceChange(UINT event, DWORD_PTR)
    {
        g_log.push_back(m_name + ".device " + std::to_string(event));
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()

private:
    std::string m_name;
};

BEGIN_MESSAGE_MAP(LoggingPage, CPropertyPage)
    ON_WM_DEVICECHANGE()
END_MESSAGE_MAP()

// Runs a script inside the sheet's initialisation, as the wizard's verbs do.
class ScriptedSheet : public CPropertySheet {
public:
    ScriptedSheet() : CPropertySheet("Test Sheet")
    {
        m_psh.dwFlags |= PSH_WIZARD;
        AddPage(&a);
        AddPage(&b);
    }
    BOOL OnInitDialog() override
    {
        const BOOL result = CPropertySheet::OnInitDialog();
        if (script)
            script(*this);
        return result;
    }
    // Shown by the sheet (the sheet itself is not shown yet during its initialisation).
    bool Visible(CPropertyPage& page) const { return page.m_hWnd && (page.GetStyle() & WS_VISIBLE); }

    LoggingPage a{IDD_PAGE_A, "A"};
    LoggingPage b{IDD_PAGE_B, "B"};
    LoggingPage c{IDD_PAGE_C, "C"};
    std::function<void(ScriptedSheet&)> script;
};

std::vector<std::string> Log(std::initializer_list<const char*> entries)
{
    return std::vector<std::string>(entries.begin(), entries.end());
}

}  // namespace

TEST(CPropertySheet, NavigatesSynchronouslyAndEndsOnCancelWithEveryPageHearingIt)
{
    g_log.clear();
    ScriptedSheet sheet;
    bool checked = false;
    sheet.script = [&](ScriptedSheet& s) {
        // Only the start page exists, made inside the base initialisation.
        EXPECT_EQ(g_log, Log({"A.init", "A.active"}));
        EXPECT_EQ(s.b.m_hWnd, nullptr);
        EXPECT_EQ(::GetParent(s.a.m_hWnd), s.m_hWnd);
        EXPECT_TRUE(s.a.GetStyle() & WS_CHILD);

        // A real tab control, hidden in a wizard; no system buttons at all.
        CWnd* tab = s.GetTabControl();
        ASSERT_NE(tab, nullptr);
        char name[64] = {};
        ::GetClassNameA(tab->m_hWnd, name, sizeof name);
        EXPECT_STREQ(name, "SysTabControl32");
        EXPECT_FALSE(tab->IsWindowVisible());
        for (int id : {IDOK, IDCANCEL, IDHELP, ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH})
            EXPECT_EQ(::GetDlgItem(s.m_hWnd, id), nullptr) << id;

        // Next is done when PressButton returns.
        g_log.clear();
        EXPECT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(g_log, Log({"A.next", "B.init", "B.active"}));
        EXPECT_TRUE(s.Visible(s.b));
        EXPECT_FALSE(s.Visible(s.a));
        EXPECT_EQ(s.GetActivePage(), &s.b);

        // -1 stays; Enter presses nothing.
        g_log.clear();
        s.b.nextResult = -1;
        s.PressButton(PSBTN_NEXT);
        s.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
        EXPECT_EQ(g_log, Log({"B.next"}));
        EXPECT_EQ(s.GetActivePage(), &s.b);

        // Pages added and removed while the sheet is shown.
        s.b.nextResult = 0;
        s.AddPage(&s.c);
        EXPECT_EQ(s.GetPageCount(), 3);
        s.RemovePage(&s.c);
        EXPECT_EQ(s.GetPageCount(), 2);
        s.AddPage(&s.c);
        g_log.clear();
        s.PressButton(PSBTN_NEXT);
        EXPECT_EQ(g_log, Log({"B.next", "C.init", "C.active"}));
        g_log.clear();
        s.PressButton(PSBTN_BACK);
        EXPECT_EQ(g_log, Log({"C.back", "B.active"}));

        // Device events reach the active page.
        g_log.clear();
        DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 4, 0};
        s.SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
        EXPECT_EQ(g_log, Log({"B.device 32768"}));

        // Closing the window is a cancel: every page that has a window hears it.
        g_log.clear();
        s.PostMessage(WM_CLOSE);
        checked = true;
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(checked);
    EXPECT_EQ(g_log, Log({"A.cancel", "B.cancel", "C.cancel"}));
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(sheet.b.m_hWnd, nullptr);
}

TEST(CPropertySheet, FinishRefusedByThePageKeepsTheSheetOpen)
{
    g_log.clear();
    ScriptedSheet sheet;
    sheet.script = [](ScriptedSheet& s) {
        s.a.finishResult = FALSE;
        s.PressButton(PSBTN_FINISH);
        EXPECT_TRUE(::IsWindow(s.m_hWnd));
        s.a.finishResult = TRUE;
        s.PostMessage(PSM_PRESSBUTTON, PSBTN_FINISH);
    };
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(g_log, Log({"A.init", "A.active", "A.finish", "A.finish"}));
}

TEST(CPropertySheet, RemovingTheActivePageShowsTheOneBefore)
{
    g_log.clear();
    ScriptedSheet sheet;
    sheet.script = [](ScriptedSheet& s) {
        s.PressButton(PSBTN_NEXT);
        s.RemovePage(&s.b);
        EXPECT_EQ(s.b.m_hWnd, nullptr);
        EXPECT_EQ(s.GetActivePage(), &s.a);
        EXPECT_TRUE(s.Visible(s.a));
        s.SetTitle("Renamed");
        char text[32] = {};
        ::GetWindowTextA(s.m_hWnd, text, sizeof text);
        EXPECT_STREQ(text, "Renamed");
        s.PostMessage(WM_CLOSE);
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}
