// The form layer under Wine: components owned and freed, told of each other's removal; a form
// built the way every form of the program is (defaults, stored properties, Loaded, OnCreate,
// OnShow); the published-property probe; modal runs; painting into a given device context;
// bitmaps, image lists, menus, timers and INI files.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "WindowDriver.h"

#include "TApplication.h"
#include "TBitmap.h"
#include "TCustomControl.h"
#include "TForm.h"
#include "TImageList.h"
#include "TIniFile.h"
#include "TLabel.h"
#include "TPopupMenu.h"
#include "TWindowTimer.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_log = nullptr;

void Log(const std::string& line)
{
    if (g_log)
        g_log->push_back(line);
}

// A component that writes what happens to it into the log.
class TLoggingComponent : public TComponent {
public:
    explicit TLoggingComponent(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
    ~TLoggingComponent() override { Log("free " + Name()); }

    const char* ClassName() const override { return "TLoggingComponent"; }

    TComponent* Watched = nullptr;

    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove) {
            Log(Name() + " heard removal of " + component->Name());
            if (component == Watched)
                Watched = nullptr;
        }
    }

    // A property whose write fires an event, as a check box's Checked does.
    void SetValue(int value)
    {
        m_value = value;
        if (!IsLoading())
            Log(Name() + " changed");
    }

protected:
    void Loaded() override
    {
        TComponent::Loaded();
        Log("loaded " + Name() + " value " + std::to_string(m_value));
    }

private:
    int m_value = 0;
};

struct LogScope {
    std::vector<std::string> lines;
    LogScope() { g_log = &lines; }
    ~LogScope() { g_log = nullptr; }
};

struct AppScope {
    TApplication app;
};

}  // namespace

TEST(Components, OwnerFreesLastCreatedFirstAndSiblingsHearOfRemovals)
{
    LogScope log;
    {
        TLoggingComponent owner(nullptr, "owner");
        auto* a = new TLoggingComponent(&owner, "a");
        auto* b = new TLoggingComponent(&owner, "b");
        new TLoggingComponent(&owner, "c");
        b->Watched = a;
        ASSERT_EQ(owner.ComponentCount(), 3);
        EXPECT_EQ(owner.FindComponent("b"), b);

        delete a;   // while the owner lives, the others hear of it
        EXPECT_EQ(b->Watched, nullptr);
        EXPECT_EQ(owner.ComponentCount(), 2);
        log.lines.clear();
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{"free owner", "free c", "free b"}));
}

TEST(Components, FreeNotificationReachesAComponentOfAnotherOwner)
{
    LogScope log;
    TLoggingComponent ownerA(nullptr, "ownerA");
    TLoggingComponent ownerB(nullptr, "ownerB");
    auto* watcher = new TLoggingComponent(&ownerA, "watcher");
    auto* theme = new TLoggingComponent(&ownerB, "theme");
    watcher->Watched = theme;
    watcher->FreeNotification(theme);
    delete theme;
    EXPECT_EQ(watcher->Watched, nullptr);

    // Once the watcher is gone, freeing what it watched must not reach it.
    auto* other = new TLoggingComponent(&ownerB, "other");
    auto* watcher2 = new TLoggingComponent(&ownerA, "watcher2");
    watcher2->FreeNotification(other);
    delete watcher2;
    delete other;
    SUCCEED();
}

TEST(Components, PublishedPropertyProbeFollowsTheClassChain)
{
    AppScope scope;
    TForm form(&scope.app);
    auto* label = new TLabel(&form);
    const struct {
        const char* name;
        bool published;
    } cases[] = {{"Transparent", true}, {"AutoSize", true}, {"Caption", true}, {"Name", true},
                 {"FileTheme", false}, {"UIStyle", false}, {"transparent", false}};
    for (const auto& c : cases)
        EXPECT_EQ(label->HasPublished(c.name), c.published) << c.name;
    EXPECT_TRUE(form.HasPublished("OnCreate"));
    EXPECT_FALSE(form.HasPublished("PasswordChar"));
}

namespace {

// A form built like every form of the program: components in form order, properties as stored,
// events bound, then FinishBuilding.
class TOrderForm : public TForm {
public:
    explicit TOrderForm(TComponent* owner) : TForm(owner)
    {
        BeginLoading();
        SetBorderStyle(bsNone);
        SetBounds(100, 100, 200, 120);
        first = new TLoggingComponent(this, "first");
        first->SetValue(1);
        second = new TLoggingComponent(this, "second");
        second->SetValue(2);
        OnCreate = MethodOf(this, &TOrderForm::FormCreate);
        OnShow = MethodOf(this, &TOrderForm::FormShow);
        FinishBuilding();
    }

    void FormCreate(TObject*) { Log(std::string("create, loading ") + (first->IsLoading() ? "on" : "off")); }
    void FormShow(TObject*) { Log(std::string("show, window visible ") + (IsWindowVisible(Handle()) ? "yes" : "no")); }

    TLoggingComponent* first;
    TLoggingComponent* second;
};

}  // namespace

TEST(Forms, BuildingRunsLoadedOnEveryComponentThenOnCreateThenOnShow)
{
    LogScope log;
    AppScope scope;
    auto* form = new TOrderForm(&scope.app);
    form->Show();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->first->SetValue(5);   // after loading, writes fire
    EXPECT_EQ(log.lines, (std::vector<std::string>{"loaded first value 1", "loaded second value 2",
                                                    "create, loading off", "show, window visible no",
                                                    "first changed"}));
    EXPECT_EQ(scope.app.MainForm(), form);
    delete form;
    EXPECT_EQ(scope.app.MainForm(), nullptr);
}

namespace {

// A control that ends its form's modal run with a given result when clicked.
class TResultControl : public TCustomControl {
public:
    TResultControl(TComponent* owner, TModalResult result) : TCustomControl(owner), m_result(result)
    {
        SetTabStop(true);
    }
    void Click() override
    {
        if (TCustomForm* form = ParentForm())
            form->SetModalResult(m_result);
        TCustomControl::Click();
    }

private:
    TModalResult m_result;
};

}  // namespace

TEST(Forms, ShowModalRunsUntilAModalResultAndDisablesTheOtherForms)
{
    AppScope scope;
    TForm mainForm(&scope.app);
    mainForm.SetBorderStyle(bsNone);
    mainForm.SetBounds(10, 10, 100, 100);
    mainForm.Show();
    TForm dialog(&scope.app);
    dialog.SetBorderStyle(bsNone);
    dialog.SetBounds(200, 200, 120, 80);
    auto* button = new TResultControl(&dialog, mrOk);
    button->SetParent(&dialog);
    button->SetBounds(10, 10, 50, 20);

    bool mainDisabledDuringRun = false;
    TWindowTimer press;
    press.OnTimer = [&] {
        press.Stop();
        mainDisabledDuringRun = !IsWindowEnabled(mainForm.Handle());
        // A click as the mouse makes it: press and release inside the control.
        SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    press.Start(50);
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(mainDisabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(mainForm.Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
}

TEST(Forms, ClosingAModalFormEndsItWithCancelAndAReleaseOutsideIsNoClick)
{
    AppScope scope;
    TForm mainForm(&scope.app);
    TForm dialog(&scope.app);
    dialog.SetBorderStyle(bsNone);
    dialog.SetBounds(200, 200, 120, 80);
    auto* button = new TResultControl(&dialog, mrOk);
    button->SetParent(&dialog);
    button->SetBounds(10, 10, 50, 20);
    TWindowTimer close;
    close.OnTimer = [&] {
        close.Stop();
        SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(70, 5));   // released outside
        PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
    };
    close.Start(50);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

namespace {

COLORREF PixelAt(TBitmap& bitmap, int x, int y)
{
    return GetPixel(bitmap.DC(), x, y);
}

}  // namespace

TEST(Forms, PaintWithADeviceContextInWParamPaintsTheWindowAndItsGraphicChildren)
{
    AppScope scope;
    TForm form(&scope.app);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 60, 40);
    form.SetColor(RGB(200, 0, 0));
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 20, 10);
    label->SetColor(RGB(0, 0, 200));
    label->SetCaption("");
    form.Handle();

    TBitmap target;
    target.SetSize(60, 40);
    SendMessageA(form.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    SendMessageA(form.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(target.DC()), 0);
    EXPECT_EQ(PixelAt(target, 2, 2), RGB(200, 0, 0));
    EXPECT_EQ(PixelAt(target, 15, 15), RGB(0, 0, 200));
    EXPECT_EQ(PixelAt(target, 29, 19), RGB(0, 0, 200));
    EXPECT_EQ(PixelAt(target, 30, 20), RGB(200, 0, 0));

    label->SetTransparent(true);
    SendMessageA(form.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(target.DC()), 0);
    EXPECT_EQ(PixelAt(target, 15, 15), RGB(200, 0, 0));
}

TEST(Forms, MouseOnAGraphicChildReachesItInItsOwnCoordinates)
{
    AppScope scope;
    TForm form(&scope.app);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 100, 60);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetAutoSize(false);
    label->SetBounds(20, 10, 40, 15);
    int gotX = -1, gotY = -1, clicks = 0;
    label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { gotX = x; gotY = y; };
    label->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 12));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(25, 12));
    EXPECT_EQ(gotX, 5);
    EXPECT_EQ(gotY, 2);
    EXPECT_EQ(clicks, 1);
}

TEST(Forms, AlignedChildrenFillTheirSide)
{
    AppScope scope;
    TForm form(&scope.app);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 100, 80);
    form.Handle();
    auto* top = new TCustomControl(&form);
    top->SetParent(&form);
    top->SetBounds(5, 5, 10, 20);
    top->SetAlign(alTop);
    auto* client = new TCustomControl(&form);
    client->SetParent(&form);
    client->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect().right, 100);
    EXPECT_EQ(top->Height(), 20);
    EXPECT_EQ(client->Top(), 20);
    EXPECT_EQ(client->Height(), 60);
    form.SetBounds(0, 0, 150, 100);
    EXPECT_EQ(client->Width(), 150);
    EXPECT_EQ(client->Height(), 80);
}

namespace {

// A Windows bitmap file image of 2 x 2 pixels, 24 bits, bottom-up.
std::string TinyBitmapFile()
{
    std::string bmp(54 + 16, '\0');
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i)); };
    auto put16 = [&](size_t at, uint16_t v) { bmp[at] = static_cast<char>(v); bmp[at + 1] = static_cast<char>(v >> 8); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    put16(26, 1);
    put16(28, 24);
    // bottom row: blue, green; top row: red, white (B, G, R order; rows padded to 8 bytes)
    const unsigned char rows[16] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    for (int i = 0; i < 16; ++i)
        bmp[54 + i] = static_cast<char>(rows[i]);
    return bmp;
}

}  // namespace

TEST(Graphics, BitmapFileImagesLoadAndBrokenOnesAreRefused)
{
    std::string good = TinyBitmapFile();
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromBitmapFile(good.data(), good.size()));
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap, 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(bitmap.TransparentColor(), RGB(255, 0, 0));

    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", ""});
    cases.push_back({"truncated pixels", good.substr(0, good.size() - 3)});
    cases.push_back({"header only", good.substr(0, 30)});
    std::string magic = good;
    magic[0] = 'X';
    cases.push_back({"wrong magic", magic});
    std::string huge = good;
    huge[18] = '\x00';
    huge[19] = '\x00';
    huge[20] = '\x01';   // 65536 pixels wide
    cases.push_back({"too wide", huge});
    std::string offset = good;
    offset[10] = '\xF0';
    cases.push_back({"pixels past the end", offset});
    std::string depth = good;
    depth[28] = 7;
    cases.push_back({"odd depth", depth});
    for (const Case& c : cases) {
        TBitmap b;
        EXPECT_FALSE(b.LoadFromBitmapFile(c.bytes.data(), c.bytes.size())) << c.what;
        EXPECT_TRUE(b.Empty()) << c.what;
    }
}

TEST(Graphics, ImageListDrawsMaskedImagesSeeThrough)
{
    TBitmap strip;
    strip.SetSize(8, 4);
    strip.Canvas().SetBrushColor(RGB(255, 255, 255));
    strip.Canvas().FillRect(RECT{0, 0, 8, 4});
    strip.Canvas().SetBrushColor(RGB(0, 0, 255));
    strip.Canvas().FillRect(RECT{1, 1, 3, 3});      // image 0: a blue square on white
    strip.Canvas().SetBrushColor(RGB(0, 128, 0));
    strip.Canvas().FillRect(RECT{4, 0, 8, 4});      // image 1: all green
    TImageList list(nullptr, 4, 4);
    EXPECT_EQ(list.AddMasked(strip, RGB(255, 255, 255)), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target;
    target.SetSize(10, 10);
    target.Canvas().SetBrushColor(RGB(90, 90, 90));
    target.Canvas().FillRect(RECT{0, 0, 10, 10});
    list.Draw(target.Canvas(), 2, 2, 0);
    list.Draw(target.Canvas(), 6, 6, 1);
    EXPECT_EQ(PixelAt(target, 2, 2), RGB(90, 90, 90));     // white was the mask
    EXPECT_EQ(PixelAt(target, 3, 3), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(target, 7, 7), RGB(0, 128, 0));
    list.Draw(target.Canvas(), 0, 0, 5);                     // no such image: nothing drawn
    EXPECT_EQ(PixelAt(target, 0, 0), RGB(90, 90, 90));
}

TEST(Graphics, TransparentBitmapLeavesItsCornerColourOut)
{
    TBitmap picture;
    picture.SetSize(4, 4);
    picture.Canvas().SetBrushColor(RGB(255, 0, 255));
    picture.Canvas().FillRect(RECT{0, 0, 4, 4});
    picture.Canvas().SetBrushColor(RGB(10, 20, 30));
    picture.Canvas().FillRect(RECT{1, 1, 3, 3});
    picture.SetTransparent(true);
    TBitmap target;
    target.SetSize(4, 4);
    target.Canvas().SetBrushColor(RGB(0, 200, 0));
    target.Canvas().FillRect(RECT{0, 0, 4, 4});
    target.Canvas().Draw(0, 0, picture);
    EXPECT_EQ(PixelAt(target, 0, 0), RGB(0, 200, 0));
    EXPECT_EQ(PixelAt(target, 2, 2), RGB(10, 20, 30));
}

TEST(Menus, OwnerDrawnItemsAreMeasuredAndDrawnThroughThePopupListWindow)
{
    TComponent owner(nullptr);
    TPopupMenu menu(&owner);
    menu.SetOwnerDraw(true);
    auto* item = new TMenuItem(&owner);
    item->SetCaption("Open");
    menu.Items()->Add(item);
    bool drawnSelected = false;
    item->OnMeasureItem = [](TObject*, TCanvas&, int& w, int& h) { w = 77; h = 19; };
    item->OnAdvancedDrawItem = [&](TObject*, TCanvas& canvas, const RECT& r, bool selected) {
        drawnSelected = selected;
        canvas.SetBrushColor(RGB(1, 2, 3));
        canvas.FillRect(r);
    };
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(item);
    SendMessageA(TPopupMenu::PopupListWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(mis.itemWidth, 77u);
    EXPECT_EQ(mis.itemHeight, 19u);

    TBitmap target;
    target.SetSize(20, 20);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemData = reinterpret_cast<ULONG_PTR>(item);
    dis.itemState = ODS_SELECTED;
    dis.hDC = target.DC();
    dis.rcItem = RECT{0, 0, 10, 10};
    SendMessageA(TPopupMenu::PopupListWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_TRUE(drawnSelected);
    EXPECT_EQ(PixelAt(target, 5, 5), RGB(1, 2, 3));
    EXPECT_EQ(item->GetParentMenu(), &menu);
}

TEST(Menus, PopupRunsThePickedItemsClick)
{
    TComponent owner(nullptr);
    TPopupMenu menu(&owner);
    auto* first = new TMenuItem(&owner);
    first->SetCaption("&First");
    auto* second = new TMenuItem(&owner);
    second->SetCaption("&Second");
    menu.Items()->Add(first);
    menu.Items()->Add(second);
    int picked = 0;
    first->OnClick = [&](TObject*) { picked = 1; };
    second->OnClick = [&](TObject*) { picked = 2; };
    // While the menu is tracked, its window gets the keys a user would press.
    TWindowTimer keys;
    keys.OnTimer = [&] {
        HWND popup = FindWindowA("#32768", nullptr);
        if (!popup)
            return;
        keys.Stop();
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    };
    keys.Start(50);
    menu.Popup(50, 50);
    EXPECT_EQ(picked, 2);
}

TEST(Timers, AWindowTimerTicksThroughTheMessageLoopAndZeroNeverTicks)
{
    int ticks = 0, zeroTicks = 0;
    TWindowTimer timer, zero;
    timer.OnTimer = [&] { ++ticks; };
    zero.OnTimer = [&] { ++zeroTicks; };
    timer.Start(20);
    zero.Start(0);
    EXPECT_FALSE(zero.Running());
    EXPECT_TRUE(harness::WaitUntil([&] { return ticks >= 3; }, 3000));
    timer.Stop();
    int after = ticks;
    harness::WaitUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, after);
    EXPECT_EQ(zeroTicks, 0);
}

TEST(Ini, ReadStringGivesTheValueOrTheDefault)
{
    harness::TempFolder folder("ini");
    std::string path = folder / "Agent.ini";
    {
        std::ofstream out(path);
        out << "[Main]\nTitle=Norvalix Sequora \nlblPassword_Tip=Password:\n";
    }
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Main", "lblPassword_Tip", "1.1"), "Password:");
    EXPECT_EQ(ini.ReadString("Main", "Missing", "1.1"), "1.1");
    EXPECT_EQ(TIniFile(folder / "none.ini").ReadString("Main", "Title", "1.1"), "1.1");
    std::string longValue(3000, 'x');
    {
        std::ofstream out(path);
        out << "[Main]\nLong=" << longValue << "\n";
    }
    EXPECT_EQ(ini.ReadString("Main", "Long", "1.1").size(), 2047u);
}

TEST(Ini, ASectionReadAtOnceGivesEveryKeyWhatReadStringGivesIt)
{
    harness::TempFolder folder("ini");
    const std::string path = folder / "Agent.ini";
    {
        std::ofstream out(path);
        out << "[Other]\nTitle=other\n"
               "[Main]\n; a comment\nTitle=\"Norvalix Sequora \"\n  Spaced  =  padded value  \n"
               "Single='quoted'\nHalf=\"open\nLone=\"\nEmpty=\nEquals=a=b\nTITLE=second\nlong="
            << std::string(3000, 'x') << "\n"
            // Quoted values about the length ReadString's buffer holds.
            << "Quoted2046=\"" << std::string(2046, 'q') << "\"\nQuoted2047=\"" << std::string(2047, 'q')
            << "\"\nQuoted2048=\"" << std::string(2048, 'q') << "\"\n";
    }
    const TIniFile ini(path);
    const TIniFile::Values values = ini.ReadSectionValues("Main");
    for (const char* key : {"Title", "title", "Spaced", "Single", "Half", "Lone", "Empty", "Equals", "Long", "Quoted2046",
                            "Quoted2047", "Quoted2048"}) {
        const auto found = values.find(key);
        ASSERT_NE(found, values.end()) << key;
        EXPECT_EQ(found->second, ini.ReadString("Main", key, "1.1")) << key;
    }
    EXPECT_EQ(values.size(), 11u);  // the second Title is not another key
    EXPECT_EQ(values.at("Title"), "Norvalix Sequora ");
    EXPECT_TRUE(ini.ReadSectionValues("Missing").empty());
    EXPECT_TRUE(TIniFile(folder / "none.ini").ReadSectionValues("Main").empty());
}
