// Agent's parts in the test's own process: the tray icon as the shell sees it (every call to the
// shell recorded), the click and double-click timing, the tray menu, the password dialog's
// strength label, and the header's password field.
#include <gtest/gtest.h>

#include "LayoutCheck.h"
#include "Paths.h"
#include "WindowDriver.h"

#include "AgentDisk.h"
#include "AgentPictures.h"
#include "MainFrm.h"
#include "TApplication.h"
#include "TForm.h"
#include "TForm_Password.h"
#include "TLabel.h"
#include "TMenuItem.h"
#include "TPopupMenu.h"
#include "TTrayNotifyIcon.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};

std::vector<ShellCall>& Calls()
{
    static std::vector<ShellCall> calls;
    return calls;
}

BOOL WINAPI RecordCall(DWORD message, PNOTIFYICONDATAA data)
{
    Calls().push_back({message, *data});
    return TRUE;
}

struct ClassSearch {
    const char* name;
    HWND found;
};

BOOL CALLBACK FindClassWindow(HWND w, LPARAM p)
{
    auto* search = reinterpret_cast<ClassSearch*>(p);
    if (harness::ClassNameOf(w) == search->name) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND OwnWindowOfClass(const char* className)
{
    ClassSearch search{className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindClassWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Closes a menu from inside its own loop.
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EndMenu();
}

void Pump(DWORD ms)
{
    harness::WaitUntil([] { return false; }, ms);
    if (Application)
        Application->ProcessMessages();
}

size_t Count(DWORD message, UINT id)
{
    size_t n = 0;
    for (const ShellCall& call : Calls())
        n += call.message == message && call.data.uID == id;
    return n;
}

class TrayIcon : public ::testing::Test {
protected:
    void SetUp() override
    {
        Calls().clear();
        TTrayNotifyIcon::NotifyIcon = RecordCall;
        form = new TForm(&app);
        form->SetBounds(100, 100, 200, 100);
        form->Handle();
        icon = new TTrayNotifyIcon(form);
        icon->SetIconVisible(true);
        ASSERT_FALSE(Calls().empty());
        id = Calls().back().data.uID;
        handler = OwnWindowOfClass("TTrayIconHandler");
        ASSERT_NE(nullptr, handler);
    }

    void TearDown() override { TTrayNotifyIcon::NotifyIcon = Shell_NotifyIconA; }

    void Mouse(UINT message) { SendMessageA(handler, TTrayNotifyIcon::kCallbackMessage, id, message); }

    TApplication app;
    TForm* form = nullptr;
    TTrayNotifyIcon* icon = nullptr;
    UINT id = 0;
    HWND handler = nullptr;
};

}  // namespace

TEST_F(TrayIcon, ShowsItselfToTheShellWithItsCallbackAndGoesWhenHiddenOrDestroyed)
{
    const ShellCall& add = Calls().back();
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE), add.data.cbSize);
    EXPECT_EQ(handler, add.data.hWnd);
    EXPECT_EQ(TTrayNotifyIcon::kCallbackMessage, add.data.uCallbackMessage);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), add.data.uFlags);

    icon->SetIconVisible(false);
    EXPECT_EQ(1u, Count(NIM_DELETE, id));
    icon->SetIconVisible(true);
    delete icon;
    EXPECT_EQ(2u, Count(NIM_DELETE, id));
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), Calls().back().message);
}

TEST_F(TrayIcon, ASingleClickFiresAfterTheDoubleClickTimeAndADoubleClickOnlyOnce)
{
    int clicks = 0, doubleClicks = 0;
    icon->OnClick = [&](TObject*) { ++clicks; };
    icon->OnDblClick = [&](TObject*) { ++doubleClicks; };
    const DWORD doubleClickTime = GetDoubleClickTime();

    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Mouse(WM_LBUTTONDBLCLK);
    Mouse(WM_LBUTTONUP);
    Pump(doubleClickTime + 300);
    EXPECT_EQ(1, doubleClicks);
    EXPECT_EQ(0, clicks);

    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    Pump(doubleClickTime / 3);
    EXPECT_EQ(0, clicks) << "a click waits for a possible second one";
    Pump(doubleClickTime + 300);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(1, doubleClicks);

    // Without a double-click handler a click fires at once; nothing fires while disabled.
    icon->OnDblClick = nullptr;
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(2, clicks);
    icon->SetEnabled(false);
    Mouse(WM_LBUTTONDOWN);
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(2, clicks);
}

TEST_F(TrayIcon, ARestartedTaskbarGetsTheVisibleIconBackButNotAHiddenOne)
{
    const UINT restarted = TTrayNotifyIcon::TaskbarCreatedMessage();
    ASSERT_NE(0u, restarted);
    SendMessageA(handler, restarted, 0, 0);
    EXPECT_EQ(2u, Count(NIM_ADD, id));
    icon->SetIconVisible(false);
    SendMessageA(handler, restarted, 0, 0);
    EXPECT_EQ(2u, Count(NIM_ADD, id));
}

TEST_F(TrayIcon, TipBalloonTextAndTitleAreCutToWhatTheShellHolds)
{
    icon->SetHint(std::string(200, 't'));
    EXPECT_EQ(127u, strlen(Calls().back().data.szTip));
    icon->SetShowHint(false);
    EXPECT_EQ(0u, strlen(Calls().back().data.szTip));

    ASSERT_TRUE(icon->PopBalloon(std::string(100, 'h'), std::string(300, 'b'), TTrayNotifyIcon::bitInfo, 10));
    const ShellCall& balloon = Calls().back();
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), balloon.message);
    EXPECT_TRUE(balloon.data.uFlags & NIF_INFO);
    EXPECT_EQ(255u, strlen(balloon.data.szInfo));
    EXPECT_EQ(63u, strlen(balloon.data.szInfoTitle));
    EXPECT_EQ(10000u, balloon.data.uTimeout);
    EXPECT_EQ(static_cast<DWORD>(NIIF_INFO), balloon.data.dwInfoFlags);
    // The balloon was cleared first, and later changes carry no balloon.
    EXPECT_EQ(0u, strlen(Calls()[Calls().size() - 2].data.szInfo));
    icon->SetHint("tip");
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), Calls().back().data.uFlags);
}

TEST_F(TrayIcon, AnIconIndexBeyondTheListTakesTheLastIcon)
{
    TImageList list(form, 16, 16);
    for (COLORREF color : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        TBitmap face;
        face.TakeBitmap(harness::SolidBitmap(16, 16, color));
        list.Add(face);
    }
    icon->SetIconList(&list);
    icon->SetIconIndex(10);
    EXPECT_EQ(2, icon->IconIndex());
    EXPECT_NE(nullptr, Calls().back().data.hIcon);
    icon->SetIconList(nullptr);
    EXPECT_EQ(0, icon->IconIndex());
}

TEST_F(TrayIcon, TheRightButtonPopsTheMenuUpForTheIconAndNudgesTheOwnerAfterwards)
{
    auto* menu = new TPopupMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    bool popped = false;
    menu->OnPopup = [&](TObject*) { popped = true; };
    icon->SetPopupMenu(menu);
    int downs = 0;
    icon->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int, int) { downs += button == mbRight; };

    SetTimer(nullptr, 0, 300, EndMenuSoon);
    MSG stale;
    while (PeekMessageA(&stale, form->Handle(), WM_NULL, WM_NULL, PM_REMOVE)) {
    }
    Mouse(WM_RBUTTONDOWN);
    EXPECT_TRUE(popped);
    EXPECT_EQ(1, downs);
    EXPECT_EQ(icon, menu->PopupComponent());
    MSG nudge;
    EXPECT_TRUE(PeekMessageA(&nudge, form->Handle(), WM_NULL, WM_NULL, PM_REMOVE));

    delete menu;
    EXPECT_EQ(nullptr, icon->PopupMenu());
}

// The strength label follows the new password as it is typed (texts of the Agent.ini beside the
// test program, a copy of the reference file).
TEST(PasswordDialog, TheStrengthLabelCountsTheKindsOfCharacters)
{
    TApplication app;
    AgentDisk disk(AgentDisk::OwnPath(), "");
    app.CreateForm(Form_Password, disk);
    Form_Password->Handle();
    // A password of six or more characters of no class keeps whatever the label said before.
    const std::string noClass = "\xE9\xE9\xE9\xE9\xE9\xE9";
    const struct {
        std::string typed;
        const char* label;
    } rows[] = {{"a", "Short"},       {"aB1!x", "Short"}, {"abcdef", "Low"},  {"abcDEF", "Normal"},
                {"abcDE1", "Medium"}, {"abD1!x", "High"}, {"ab cDE1", "High"}, {"123456", "Low"},
                {noClass, "Low"},     {"", ""},           {noClass, ""}};
    for (const auto& row : rows) {
        Form_Password->et_pw->SetText(row.typed);
        EXPECT_EQ(row.label, Form_Password->lblStrenth->Caption()) << row.typed;
    }
    EXPECT_EQ("Change Password ", Form_Password->lblTop->Caption());
    EXPECT_EQ("Minimum of 6 characters in length.", Form_Password->Label5->Caption());
}

TEST(PasswordDialog, CharacterClassesAreBytes)
{
    EXPECT_EQ(0, PasswordStrength("\x80\xFF\xE9"));
    EXPECT_TRUE(HasSymbol(" "));
    EXPECT_TRUE(HasSymbol("\x7F"));
    EXPECT_FALSE(HasSymbol("\x1F"));
    EXPECT_EQ(4, PasswordStrength("a A 1"));
}

TEST(ImageHeader, ANewPasswordFillsOnlyTheFieldAndOneTooLongChangesNothing)
{
    ImageHeader header;
    memset(&header, 0x5A, sizeof header);
    // The header as the image file stores it.
    const auto bytes = [&header] { return std::string(reinterpret_cast<const char*>(&header), sizeof header); };
    const std::string before = bytes();
    ASSERT_TRUE(AgentDisk::SetStoredPassword(header, std::string(259, 'p')));
    EXPECT_EQ(before.substr(0, 372), bytes().substr(0, 372));
    EXPECT_EQ(std::string(259, 'p') + '\0', bytes().substr(372, 260));
    EXPECT_EQ(before.substr(632), bytes().substr(632));

    const std::string kept = bytes();
    EXPECT_FALSE(AgentDisk::SetStoredPassword(header, std::string(260, 'q')));
    EXPECT_EQ(kept, bytes());
    ASSERT_TRUE(AgentDisk::SetStoredPassword(header, "short1"));
    EXPECT_EQ(std::string("short1") + std::string(254, '\0'), bytes().substr(372, 260));
    EXPECT_EQ("short1", TrimBlanks(AgentDisk::StoredPassword(header)));
}

namespace {

// A column of a picture as a button of that size draws it (stretched where it must be).
std::vector<COLORREF> DrawnColumn(int picture, int width, int height, int x)
{
    TPicture face;
    std::vector<COLORREF> column;
    if (!LoadAgentPicture(face, picture))
        return column;
    TBitmap canvas;
    canvas.SetSize(width, height);
    face.Graphic()->DrawTo(canvas.DC(), RECT{0, 0, width, height});
    for (int y = 0; y < height; ++y)
        column.push_back(GetPixel(canvas.DC(), x, y));
    return column;
}

// A system colour changed for the life of the object.
class ScopedSystemColor {
public:
    ScopedSystemColor(int index, COLORREF color) : m_index(index), m_old(GetSysColor(index))
    {
        SetSysColors(1, &m_index, &color);
    }
    ~ScopedSystemColor() { SetSysColors(1, &m_index, &m_old); }

private:
    int m_index;
    COLORREF m_old;
};

}  // namespace

// Agent's own main form, as Agent builds it: its texts from the Agent.ini beside the program, its
// pictures, the Cancel button's 90 x 25 faces squeezed to 23 rows, the wait panel in the system's
// gradient caption colour (set to a colour of the test's own, so no fixed colour can pass), and
// only its own events fire.
TEST(MainForm, TheRealFormShowsItsPartsAsBuilt)
{
    const COLORREF waitColor = RGB(12, 200, 34);
    ScopedSystemColor caption(COLOR_GRADIENTACTIVECAPTION, waitColor);
    TApplication app;
    AgentDisk disk(AgentDisk::OwnPath(), "");
    app.CreateForm(frmMain, disk);
    EXPECT_EQ("Norvalix Sequora ", frmMain->lblTop->Caption());
    EXPECT_EQ("Open sequora as read-only mode.", frmMain->skCheckBox_ReadOnly->Caption());
    EXPECT_EQ("Online Manual", frmMain->popMenu_Help->Caption());
    EXPECT_EQ("Online Manual", frmMain->popMenu_Help1->Caption());
    EXPECT_EQ("Browse Disk()", frmMain->popMenu_Browse->Caption());
    EXPECT_FALSE(frmMain->skCheckBox_ReadOnly->Checked());

    TskImageButton* cancel = frmMain->bt_cancel;
    for (TPicture* face : {&cancel->PicNormal(), &cancel->PicMouseOn(), &cancel->PicMouseDown(), &cancel->PicDisabled()}) {
        EXPECT_EQ(90, face->Width());
        EXPECT_EQ(25, face->Height());
    }
    EXPECT_TRUE(cancel->Stretch());
    EXPECT_EQ(90, cancel->Width());
    EXPECT_EQ(23, cancel->Height());
    EXPECT_EQ(23, frmMain->bt_OK->PicNormal().Height());

    frmMain->Show();
    SetForegroundWindow(frmMain->Handle());
    std::vector<DWORD> pixels;
    int w = 0, h = 0;
    auto capture = [&](const char* name) {
        harness::WaitUntil([] { return false; }, 300);
        app.ProcessMessages();
        const bool captured = harness::CaptureWindow(frmMain->Handle(), pixels, w, h, true);
        if (captured)
            harness::SaveBitmapFile(harness::JoinPath(harness::BuildDir(), name), pixels, w, h);
        return captured && w == 323 && h == 190;
    };
    auto at = [&](int x, int y) {
        const DWORD p = pixels[static_cast<size_t>(y * w + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    };
    ASSERT_TRUE(capture("agent-main-form.bmp"));
    // The Cancel button at (188, 131): a column left of its caption is its own face, stretched.
    const auto expected = DrawnColumn(agentpic::kDialogButton, 90, 23, 8);
    ASSERT_EQ(23u, expected.size());
    EXPECT_NE(expected, DrawnColumn(agentpic::kButton, 90, 23, 8)) << "the test tells the two sets apart";
    std::vector<COLORREF> shown;
    for (int y = 0; y < 23; ++y)
        shown.push_back(at(186 + 8, 130 + y));
    EXPECT_EQ(expected, shown);
    // The Open button at (51, 131) shows its 90 x 23 face as it is.
    std::vector<COLORREF> open;
    for (int y = 0; y < 23; ++y)
        open.push_back(at(49 + 8, 130 + y));
    EXPECT_EQ(DrawnColumn(agentpic::kButton, 90, 23, 8), open);
    // The edit's black border at (76, 76) and its own colour inside it.
    EXPECT_EQ(RGB(0, 0, 0), at(74, 75));
    EXPECT_EQ(RGB(255, 255, 255), at(75 + 5, 76 + 5));
    // lblTop: white text over the background.
    bool whiteText = false;
    for (int y = 8; y < 21; ++y)
        for (int x = 12; x < 108; ++x)
            whiteText = whiteText || at(x, y) == RGB(255, 255, 255);
    EXPECT_TRUE(whiteText);

    // The wait panel at (18, 58) over the middle of the form, as while a disk opens.
    frmMain->pnWait->SetVisible(true);
    ASSERT_TRUE(capture("agent-main-form-opening.bmp"));
    EXPECT_EQ(waitColor, at(16 + 20, 57 + 45));
    EXPECT_EQ(waitColor, at(16 + 280, 57 + 50));
    frmMain->pnWait->SetVisible(false);
    frmMain->Close();
}

namespace {

// The layout check's view of a form: every visible control on its panels, windowed or drawn by
// its parent, as boxes on the screen; labels are texts.
harness::LayoutScene SceneOfForm(TForm* form, TApplication& app)
{
    harness::LayoutScene scene;
    HWND window = form->Handle();
    scene.take = [&app, window](harness::ScreenPicture& picture) {
        harness::WaitUntil([] { return false; }, 100);
        app.ProcessMessages();
        return harness::TakeScreenPicture(window, picture, 50);
    };
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    scene.background = client;
    std::vector<std::pair<TWinControl*, RECT>> containers = {{form, client}};
    for (size_t i = 0; i < containers.size(); ++i) {
        TWinControl* container = containers[i].first;
        const RECT visible = containers[i].second;
        POINT origin = {0, 0};
        ClientToScreen(container->Handle(), &origin);
        for (int k = 0; k < container->ControlCount(); ++k) {
            TControl* control = container->Controls(k);
            if (!control->Visible())
                continue;
            RECT frame = control->BoundsRect();
            OffsetRect(&frame, origin.x, origin.y);
            RECT box = {};
            if (!IntersectRect(&box, &frame, &visible))
                continue;
            auto* inner = dynamic_cast<TWinControl*>(control);
            if (inner && inner->ControlCount() > 0) {
                containers.push_back({inner, box});
                continue;
            }
            harness::LaidOutControl laid;
            laid.name = std::string(control->ClassName()) + " " + control->Name() + " \"" + control->Caption() + "\"";
            laid.frame = frame;
            laid.box = box;
            laid.parent = container;
            laid.show = [control](bool shown) { control->SetVisible(shown); };
            if (dynamic_cast<TLabel*>(control) && !control->Caption().empty()) {
                laid.text = control->Caption();
                laid.wraps = false;
                laid.place = [control, origin](const RECT& f) {
                    control->SetBounds(f.left - origin.x, f.top - origin.y, f.right - f.left, f.bottom - f.top);
                };
            }
            scene.controls.push_back(laid);
        }
    }
    return scene;
}

}  // namespace

// Agent's main form as a person sees it, as built and with the read-only box ticked: no line of
// its background through a control, no label cut or touching another control, nothing over
// anything else. Written as looks\agent-main-form*.png for a person to open.
TEST(MainForm, LooksFinished)
{
    TApplication app;
    AgentDisk disk(AgentDisk::OwnPath(), "");
    app.CreateForm(frmMain, disk);
    frmMain->Show();
    SetForegroundWindow(frmMain->Handle());
    const std::string looks = harness::JoinPath(harness::BuildDir(), "looks");
    CreateDirectoryA(looks.c_str(), nullptr);
    auto expectFinished = [&](const char* name) {
        harness::ScreenPicture picture;
        harness::WaitUntil([] { return false; }, 200);
        app.ProcessMessages();
        ASSERT_TRUE(harness::TakeScreenPicture(frmMain->Handle(), picture));
        harness::SavePngFile(harness::JoinPath(looks, std::string(name) + ".png"), picture.pixels, picture.Width(),
                             picture.Height());
        for (const std::string& flaw : harness::LayoutFlaws(SceneOfForm(frmMain, app)))
            ADD_FAILURE() << name << ": " << flaw;
    };
    expectFinished("agent-main-form");
    frmMain->skCheckBox_ReadOnly->SetChecked(true);
    expectFinished("agent-main-form-read-only");
    frmMain->Close();
}
