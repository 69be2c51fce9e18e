// Brixom as a user and its neighbours see it: whether it starts at all, the sheet it shows, and
// where each command-line verb takes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrixomFixture.h"
#include "Paths.h"
#include "Recorder.h"
#include "Registry.h"
#include "WindowDriver.h"

using namespace harness;

namespace {

// Ids of the sheet and its pages, as a user finds them.
constexpr int kNext = 170, kBack = 172, kFinish = 173, kCancel = 174, kHelp = 175, kTitle = 176, kClose = 178,
              kMinimize = 179, kFeedback = 245, kHistory = 246;
constexpr int kRadioCreate = 1009, kRadioMount = 1005, kRadioUnmount = 1025;
constexpr int kModeUsb = 1043, kModeHardDisk = 1044;
constexpr int kKindHidden = 1034, kKindUsb = 1073, kKindNormal = 1074;

const std::vector<LanguageEntry> kFixtureTexts = {
    {"Product", "Company Name", "Norvalix"},
    {"Product", "Product short Name", "Testora"},
    {"frmAbout", "VersionNumber", "7.5"},
    {"Main", "lblHistory", "History"},
    {"Main", "lblFeedback", "Feedback"},
    {"Main", "btnNext", "Next"},
    {"Main", "btnBack", "Back"},
    {"Main", "btnCancel", "Cancel"},
    {"Main", "btnHelp", "Help"},
    {"Main", "btnFinish", "Finish"},
};

// 64-bit Windows, asked of the system itself.
bool IsWindows64BitForTest()
{
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
}

std::vector<std::string> CallNames(const std::vector<std::string>& journal)
{
    std::vector<std::string> names;
    for (const std::string& line : journal)
        names.push_back(line.substr(0, line.find('(')));
    return names;
}

}  // namespace

// The lock service is started when it is not running and the driver installed when it is not
// ready; the program goes on only when the driver and then the service say they are ready.
TEST(BrixomStartup, ServiceGateEndsSilentlyUnlessBothServicesAreReady)
{
    struct Case {
        const char* name;
        bool freshComputer;     // neither service set up yet
        const char* faults;
        bool shows;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"fresh computer", true, "", true,
         {"Quilmar_IsServiceRunning", "Quilmar_StartService", "Tavrin_IsInstalled", "Tavrin_Install",
          "Tavrin_IsInstalled", "Quilmar_IsServiceRunning"}},
        {"both ready", false, "", true,
         {"Quilmar_IsServiceRunning", "Tavrin_IsInstalled", "Tavrin_IsInstalled", "Quilmar_IsServiceRunning"}},
        // The driver stays unready: the lock service is not asked again.
        {"driver not ready", false, "tavrin-not-ready", false,
         {"Quilmar_IsServiceRunning", "Tavrin_IsInstalled", "Tavrin_Install", "Tavrin_IsInstalled"}},
        {"lock service not ready", false, "quilmar-not-ready", false,
         {"Quilmar_IsServiceRunning", "Quilmar_StartService", "Tavrin_IsInstalled", "Tavrin_IsInstalled",
          "Quilmar_IsServiceRunning"}},
        {"neither ready", false, "tavrin-not-ready,quilmar-not-ready", false,
         {"Quilmar_IsServiceRunning", "Quilmar_StartService", "Tavrin_IsInstalled", "Tavrin_Install",
          "Tavrin_IsInstalled"}},
    };
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.freshComputer) {
            // How the outside libraries remember that they were set up (outside/README.md).
            DeleteRegistryValue(HKEY_CURRENT_USER, "Software\\Tavrin", "Installed");
            DeleteRegistryValue(HKEY_CURRENT_USER, "Software\\Quilmar", "Service");
        }
        // A verb, so that no launcher runs and the calls are the start-up's only.
        ASSERT_TRUE(brixom.Start("unmount", c.faults)) << "error " << brixom.LastStartError();
        if (c.shows) {
            HWND sheet = brixom.WaitForSheet();
            ASSERT_NE(sheet, nullptr);
            EXPECT_TRUE(brixom.CloseSheet(sheet));
        } else {
            ASSERT_TRUE(brixom.Process().Wait(15000)) << "Brixom should end by itself";
            EXPECT_TRUE(TopLevelWindows(brixom.Process().Pid()).empty());
            EXPECT_EQ(FindMessageBox(brixom.Process().Pid()), nullptr);
            EXPECT_EQ(brixom.Process().ExitCode(), 0u);
        }
        std::vector<std::string> names = CallNames(brixom.Journal());
        // After start-up the pages ask their own questions; only the gate's calls are compared.
        if (c.shows)
            names.resize(std::min(names.size(), c.calls.size()));
        EXPECT_EQ(names, c.calls);
    }
}

// Borderless, clipped to its round corners, the background's size plus 15, centred; the ten
// controls in their places; Finish hidden, Back disabled; the title from the language file.
TEST(BrixomSheet, LooksAsDrawnWithTitleFromTheLanguageFile)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.WriteLanguage(kFixtureTexts));
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);

    EXPECT_EQ(GetWindowLongA(sheet, GWL_STYLE) & WS_CAPTION, 0);
    // Clipped to the round-corner rectangle (3, 3, 613, 412) with a 9 x 9 corner ellipse.
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(sheet, clip), COMPLEXREGION);
    HRGN expected = CreateRoundRectRgn(3, 3, 613, 412, 9, 9);
    RECT box = {}, expectedBox = {};
    GetRgnBox(clip, &box);
    GetRgnBox(expected, &expectedBox);
    EXPECT_TRUE(EqualRect(&box, &expectedBox));
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.top, 3);
    for (POINT p : {POINT{3, 3}, POINT{611, 3}, POINT{3, 410}, POINT{611, 410}})
        EXPECT_FALSE(PtInRegion(clip, p.x, p.y)) << "corner " << p.x << "," << p.y;
    for (POINT p : {POINT{8, 8}, POINT{300, 3}, POINT{3, 200}, POINT{606, 405}})
        EXPECT_TRUE(PtInRegion(clip, p.x, p.y)) << "inside " << p.x << "," << p.y;
    DeleteObject(expected);
    DeleteObject(clip);

    const RECT window = WindowRectOf(sheet);
    EXPECT_EQ(window.right - window.left, 624);
    EXPECT_EQ(window.bottom - window.top, 423);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);

    struct Place {
        int id;
        RECT rect;
    };
    const Place fixed[] = {
        {kClose, {580, 7, 600, 27}},    {kMinimize, {560, 7, 580, 27}}, {kHelp, {518, 366, 603, 392}},
        {kCancel, {429, 366, 514, 392}}, {kNext, {343, 366, 428, 392}}, {kFinish, {343, 366, 428, 392}},
        {kBack, {257, 366, 342, 392}},
    };
    for (const Place& p : fixed) {
        SCOPED_TRACE("control " + std::to_string(p.id));
        HWND control = GetDlgItem(sheet, p.id);
        ASSERT_NE(control, nullptr);
        const RECT r = ChildRectInParent(control);
        EXPECT_EQ(r.left, p.rect.left);
        EXPECT_EQ(r.top, p.rect.top);
        EXPECT_EQ(r.right, p.rect.right);
        EXPECT_EQ(r.bottom, p.rect.bottom);
    }
    // The caption texts: title from 30, history link 2 pixels left of the title's end, feedback
    // link ending at 555, all at the top.
    const RECT title = ChildRectInParent(GetDlgItem(sheet, kTitle));
    const RECT history = ChildRectInParent(GetDlgItem(sheet, kHistory));
    const RECT feedback = ChildRectInParent(GetDlgItem(sheet, kFeedback));
    EXPECT_EQ(title.left, 30);
    EXPECT_EQ(title.top, 7);
    EXPECT_EQ(history.left, title.right - 2);
    EXPECT_EQ(history.top, 7);
    EXPECT_EQ(feedback.right, 555);
    EXPECT_EQ(feedback.top, 7);

    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, kNext)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet, kNext)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, kFinish)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, kBack)));
    EXPECT_EQ(WindowText(GetDlgItem(sheet, kNext)), "Next");

    EXPECT_EQ(WindowText(sheet), "Testora 7.5");
    EXPECT_EQ(WindowText(GetDlgItem(sheet, kTitle)), "Testora 7.5");

    // The background is painted under the page: the caption band is dark, not the dialog grey.
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(CaptureWindow(sheet, pixels, width, height, true));
    const DWORD band = pixels[3 * width + 300];
    EXPECT_LT(band & 0xFF, 0x40u);
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

TEST(BrixomSheet, WithoutALanguageFileEveryTextIsUnknown)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.RemoveLanguage());
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(WindowText(sheet), "??? ???");
    EXPECT_EQ(WindowText(GetDlgItem(sheet, kNext)), "???");
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// Each verb, however it is written, lands on its page and choice; anything else, and an empty
// line, starts Lumetta through the launcher instead.
TEST(BrixomCommandLine, VerbsLandOnTheirPageAndOtherTextStartsLumetta)
{
    struct Case {
        const char* arguments;
        int pageControl;        // a control only the expected page has
        int checkedRadio;       // checked on that page (0: none checked)
        bool startsLumetta;
    };
    const Case cases[] = {
        {"mount_usb", kKindUsb, kKindUsb, false},
        {"MOUNT_HDD", kKindNormal, kKindNormal, false},
        {"\"mount_hiddenhdd\"", kKindHidden, kKindHidden, false},
        // No USB drive: page 2's scan leaves it in hard-disk mode.
        {"  create_usb  ", kModeUsb, kModeHardDisk, false},
        {"Create_HDD", kModeHardDisk, kModeHardDisk, false},
        // No disk is mounted: page 1 refuses the dismount radio and keeps create.
        {"unmount", kRadioCreate, kRadioCreate, false},
        {"mount_usb now", kRadioCreate, kRadioCreate, true},
        {"junk", kRadioCreate, kRadioCreate, true},
        {"", kRadioCreate, kRadioCreate, true},
        {"   ", kRadioCreate, kRadioCreate, true},
    };
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.WriteLanguage(kFixtureTexts));
    const std::string expectedLauncher = IsWindows64BitForTest() ? "Obentil64.exe" : "Obentil32.exe";
    size_t launches = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("command line [") + c.arguments + "]");
        ASSERT_TRUE(brixom.Start(c.arguments));
        HWND sheet = brixom.WaitForSheet();
        ASSERT_NE(sheet, nullptr);
        HWND page = ActivePage(sheet);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(PageHolds(page, c.pageControl));
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page, c.checkedRadio)); }, 5000));
        if (c.pageControl == kKindUsb || c.pageControl == kKindNormal || c.pageControl == kKindHidden) {
            // Page 1 was left with mount chosen.
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet, kBack)));
        }
        if (c.startsLumetta) {
            ++launches;
            ASSERT_TRUE(WaitUntil([&] { return brixom.LauncherCalls().size() >= launches; }, 10000));
        } else {
            Sleep(300);
        }
        const std::vector<std::string> calls = brixom.LauncherCalls();
        ASSERT_EQ(calls.size(), launches);
        if (c.startsLumetta) {
            EXPECT_EQ(calls.back(), expectedLauncher + " |\"" + brixom.Folder() + "\\Lumetta.exe\"");
        }
        EXPECT_TRUE(brixom.CloseSheet(sheet));
    }
}

// Feedback goes to Feedback.exe with the quoted language file; without it, and for the history
// without Update.Log, the help page of the language file opens instead.
TEST(BrixomSheet, FeedbackAndHistoryLinksOpenTheirProgramOrTheHelpPage)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    const std::string helpPage = brixom.Path("helppage.exe");
    ASSERT_TRUE(InstallRecorder(helpPage));
    std::vector<LanguageEntry> texts = kFixtureTexts;
    // In the [Product] section itself: a second section of that name would not be read.
    texts.insert(texts.begin() + 1, {"Product", "ProductHelpPage", helpPage});
    ASSERT_TRUE(brixom.WriteLanguage(texts));
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);

    ASSERT_TRUE(ClickButton(sheet, kFeedback));
    ASSERT_TRUE(WaitForRecordedCalls(brixom.Path("Feedback.exe"), 1));
    EXPECT_EQ(RecordedCalls(brixom.Path("Feedback.exe")).at(0), "\"" + brixom.Path("Lang\\Sequora.ini") + "\"");

    // The recorder may still be ending: its file goes once it has.
    ASSERT_TRUE(WaitUntil([&] { return DeleteFileA(brixom.Path("Feedback.exe").c_str()) != 0; }, 10000));
    ASSERT_TRUE(ClickButton(sheet, kFeedback));
    ASSERT_TRUE(WaitForRecordedCalls(helpPage, 1));
    ASSERT_TRUE(ClickButton(sheet, kHistory));
    ASSERT_TRUE(WaitForRecordedCalls(helpPage, 2));
    ASSERT_TRUE(ClickButton(sheet, kHelp));
    ASSERT_TRUE(WaitForRecordedCalls(helpPage, 3));
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

TEST(BrixomSheet, MinimizeIconifiesAndCloseEndsTheProgram)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(ClickButton(sheet, kMinimize));
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet) != FALSE; }, 5000));
    ASSERT_TRUE(ClickButton(sheet, kClose));
    ASSERT_TRUE(brixom.Process().Wait(15000));
    EXPECT_EQ(brixom.Process().ExitCode(), 0u);
}

// The history link's width after start-up: its auto-sized width plus 6 for brand 0 and a text
// without "History", unchanged for brand 0 with it, minus 8 for any other brand.
TEST(BrixomSheet, HistoryLinkWidthFollowsBrandAndText)
{
    auto linkWidth = [](const char* company, const char* link) {
        BrixomFixture brixom;
        std::vector<LanguageEntry> texts = kFixtureTexts;
        texts[0].value = company;
        texts[3].value = link;
        if (!brixom.Ready() || !brixom.WriteLanguage(texts) || !brixom.Start("unmount"))
            return -1000;
        HWND sheet = brixom.WaitForSheet();
        if (!sheet)
            return -1000;
        const RECT r = ChildRectInParent(GetDlgItem(sheet, kHistory));
        brixom.CloseSheet(sheet);
        return static_cast<int>(r.right - r.left);
    };
    // Same text, brand 0 against brand 1: +6 against -8.
    EXPECT_EQ(linkWidth("Norvalix", "Notes") - linkWidth("Coldrey", "Notes"), 14);
    // A text holding "History": unchanged against -8.
    EXPECT_EQ(linkWidth("norvalix", "History") - linkWidth("Kestrin", "History"), 8);
}

// The sheet's own buttons walk the wizard: Next to the page of the chosen operation, whose
// buttons it sets, Back to page 1, Cancel out of the program.
TEST(BrixomSheet, OwnButtonsMoveBetweenPagesAndCancelEnds)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.WriteLanguage(kFixtureTexts));
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    // Page 1 is told by its dismount radio: its create radio's id is also page 2's size box.
    ASSERT_TRUE(PageHolds(ActivePage(sheet), kRadioUnmount));

    ASSERT_TRUE(ClickButton(sheet, kNext));
    ASSERT_TRUE(WaitUntil([&] { return PageHolds(ActivePage(sheet), kModeUsb); }, 5000));
    // Page 2 looks for USB drives first; with none it ends in hard-disk mode and the wizard takes
    // input again.
    ASSERT_TRUE(WaitUntil([&] {
        return IsWindowEnabled(sheet) && IsChecked(GetDlgItem(ActivePage(sheet), kModeHardDisk));
    }, 10000));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet, kBack)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, kNext)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, kFinish)));
    const RECT page = ChildRectInParent(ActivePage(sheet));
    EXPECT_EQ(page.left, 2);
    EXPECT_EQ(page.top, 30);
    EXPECT_EQ(page.right - page.left, 600);
    EXPECT_EQ(page.bottom - page.top, 336);

    ASSERT_TRUE(ClickButton(sheet, kBack));
    ASSERT_TRUE(WaitUntil([&] { return PageHolds(ActivePage(sheet), kRadioUnmount); }, 5000));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, kBack)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, kNext)));

    // Choosing mount on page 1 leads to page 3 instead.
    HWND first = ActivePage(sheet);
    PostMessageA(GetDlgItem(first, kRadioMount), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(first, kRadioMount)); }, 5000));
    ASSERT_TRUE(ClickButton(sheet, kNext));
    ASSERT_TRUE(WaitUntil([&] { return PageHolds(ActivePage(sheet), kKindNormal); }, 5000));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, kNext)));

    ASSERT_TRUE(ClickButton(sheet, kCancel));
    ASSERT_TRUE(brixom.Process().Wait(15000));
    EXPECT_EQ(brixom.Process().ExitCode(), 0u);
}

// Every text the sheet and page 1 show is read from its own section and key of the language file.
TEST(BrixomSheet, EveryTextComesFromItsOwnLanguageKey)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    const std::string language = brixom.Path("Lang\\Sequora.ini");
    const std::string shipped = brixom.Path("Lang\\Shipped.ini");
    ASSERT_TRUE(CopyFileA(language.c_str(), shipped.c_str(), FALSE));
    ASSERT_TRUE(DeleteFileA(language.c_str()));
    ASSERT_TRUE(WriteEchoLanguageFile(shipped, language));
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);

    const std::string title = EchoText("Product", "Product short Name") + " " + EchoText("frmAbout", "VersionNumber");
    EXPECT_EQ(WindowText(sheet), title);
    EXPECT_EQ(WindowText(GetDlgItem(sheet, kTitle)), title);
    const struct {
        int id;
        const char* key;
    } sheetTexts[] = {{kNext, "btnNext"},     {kBack, "btnBack"},         {kFinish, "btnFinish"},
                      {kCancel, "btnCancel"}, {kHelp, "btnHelp"},         {kFeedback, "lblFeedback"},
                      {kHistory, "lblHistory"}};
    for (const auto& t : sheetTexts)
        EXPECT_EQ(WindowText(GetDlgItem(sheet, t.id)), EchoText("Main", t.key)) << t.key;
    HWND page = ActivePage(sheet);
    const struct {
        int id;
        const char* key;
    } pageTexts[] = {{kRadioCreate, "rdCreate"}, {kRadioMount, "rdMount"}, {kRadioUnmount, "rdUnmount"}};
    for (const auto& t : pageTexts)
        EXPECT_EQ(WindowText(GetDlgItem(page, t.id)), EchoText("Step1", t.key)) << t.key;
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// The bottom buttons track the mouse: under the cursor a button shows its hover face, and its
// normal face again once the cursor has gone.
TEST(BrixomSheet, ButtonsShowTheirHoverFaceUnderTheCursor)
{
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.WriteLanguage(kFixtureTexts));
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    HWND cancel = GetDlgItem(sheet, kCancel);
    auto faceColour = [&] {
        std::vector<DWORD> pixels;
        int width = 0, height = 0;
        if (!CaptureWindow(cancel, pixels, width, height, true))
            return DWORD(0);
        return pixels[(height - 4) * width + 4];   // below the caption, inside the border
    };
    SetCursorPos(5, 5);
    Sleep(300);
    const DWORD normal = faceColour();
    RECT r = WindowRectOf(cancel);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(WaitUntil([&] { return faceColour() != normal; }, 5000)) << "no hover face";
    SetCursorPos(5, 5);
    EXPECT_TRUE(WaitUntil([&] { return faceColour() == normal; }, 5000)) << "hover face stays";
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}
