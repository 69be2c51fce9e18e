// How the wizard's dark pages look in the real Brixom with its shipped texts. Each page, in each of
// its modes, is written as a PNG under the build folder (looks\) for a person to open, and checked
// by its pixels as a person would look at it: no line of the background art through a control, no
// text cut at its box's edge, no control over another; the drop-down lists drawn whole and sharp
// inside their boxes, nothing drawn under them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "OpenDiskFixture.h"
#include "DriverPath.h"
#include "FakeUsbDrive.h"
#include "LocalHttpServer.h"
#include "LayoutCheck.h"
#include "MountedLetters.h"
#include "Paths.h"
#include "Tavrin.h"
#include "TempFolder.h"
#include "WindowDriver.h"

using namespace harness;
using namespace opentest;

namespace {

constexpr int kDiskList = 1026, kLetterList2 = 1003, kUsbList2 = 1055, kPassword2 = 1006;
constexpr int kCreate = 1009, kMount = 1005;
constexpr int kConfirm2 = 1022, kSize2 = 1009, kWaitText = 1069, kProgressText = 1051, kProgressBar = 1075,
              kProgressFrame = 1076, kNoticeCancel = 1015, kNoticeUpdate = 1028, kNoticeClose = 1091;
constexpr UINT kAboutCommand = 0x10;

std::string LooksFolder()
{
    const std::string folder = JoinPath(BuildDir(), "looks");
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A picture of the sheet, written as `name`.png; its pixels for the checks.
struct Shot {
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    RECT origin = {};            // the sheet's screen rectangle
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Shot TakeShot(HWND sheet, const std::string& name)
{
    Shot shot;
    // Painting settles first.
    WaitUntil([] { return false; }, 600);
    shot.origin = WindowRectOf(sheet);
    EXPECT_TRUE(CaptureWindow(sheet, shot.pixels, shot.width, shot.height));
    EXPECT_TRUE(SavePngFile(JoinPath(LooksFolder(), name + ".png"), shot.pixels, shot.width, shot.height));
    return shot;
}

// A drop-down list as the picture shows it: the box as high as its 15-pixel bitmaps, its entry in
// full-strength ink clear of both borders, and nothing light drawn under the box.
void ExpectListDrawnWhole(const Shot& shot, HWND list, const char* entry)
{
    SCOPED_TRACE(entry);
    const RECT box = WindowRectOf(list);
    const int left = box.left - shot.origin.left, top = box.top - shot.origin.top;
    const int width = box.right - box.left, height = box.bottom - box.top;
    EXPECT_EQ(height, 15) << "the box is its bitmaps' height";
    int ink = 0, firstRow = height, lastRow = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 2; x < width - 20; ++x) {
            const DWORD px = shot.At(left + x, top + y);
            if ((px & 0xFF) < 0x40 && ((px >> 8) & 0xFF) < 0x40 && ((px >> 16) & 0xFF) < 0x40) {
                ++ink;
                firstRow = std::min(firstRow, y);
                lastRow = std::max(lastRow, y);
            }
        }
    EXPECT_GT(ink, 10) << "the entry in dark, sharp ink";
    EXPECT_GE(firstRow, 1);
    EXPECT_LE(lastRow, height - 2) << "the entry is not cut at the bottom";
    for (int y = height; y < height + 4; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD px = shot.At(left + x, top + y);
            ASSERT_LT((px & 0xFF) + ((px >> 8) & 0xFF) + ((px >> 16) & 0xFF), 3u * 0xA0)
                << "a light line under the box at row " << y - height << ", x " << x;
        }
}

// The sheet as it is now: its picture written as `name`.png, and each flaw of its layout a failure.
void ExpectLooksFinished(HWND sheet, const std::string& name)
{
    TakeShot(sheet, name);
    for (const std::string& flaw : LayoutFlaws(SceneOfWindow(sheet)))
        ADD_FAILURE() << name << ": " << flaw;
}

// A window of the program holding the control `id` (and `other` when given), once it shows.
HWND WaitForWindowHolding(DWORD pid, int id, int other = 0, DWORD timeoutMs = 20000)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : TopLevelWindows(pid))
            if (IsWindowVisible(w) && GetDlgItem(w, id) && (!other || GetDlgItem(w, other)))
                found = w;
        return found != nullptr;
    }, timeoutMs);
    return found;
}

void ExpectSceneFinished(const LayoutScene& scene, const std::string& name)
{
    for (const std::string& flaw : LayoutFlaws(scene))
        ADD_FAILURE() << name << ": " << flaw;
}

bool WaitForEntries(HWND list)
{
    return WaitUntil([&] { return SendMessageA(list, CB_GETCOUNT, 0, 0) > 0; }, 20000);
}

// Brixom from a folder of the test's own with the shipped texts, and an image to open.
struct LooksFixture {
    OpenDiskFixture brixom;
    std::string image;
    bool ready = false;
    LooksFixture()
    {
        ready = brixom.Ready() &&
                CopyFileA(JoinPath(ProgramDir(), "Lang\\Sequora.ini").c_str(), brixom.Path("Lang\\Sequora.ini").c_str(),
                          FALSE) &&
                MakeImage(image = brixom.Image("Looks.sqv"), "Secret12");
    }
};

}  // namespace

TEST(WizardLooks, PageOneInEachChoiceLooksFinished)
{
    LooksFixture f;
    ASSERT_TRUE(f.ready);
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
    ASSERT_NE(letter, 0);
    ASSERT_EQ(Tavrin_Mount(ToDriverPath(f.image).c_str(), static_cast<uint32_t>(letter), 0), 1);
    f.brixom.DismountAtEnd(letter);
    ASSERT_NE(f.brixom.StartOn("unmount"), nullptr);
    ASSERT_TRUE(f.brixom.WaitForPageWith(kDiskList, 20000));
    ExpectLooksFinished(f.brixom.Sheet(), "page1-dismount");
    ASSERT_TRUE(f.brixom.Click(kCreate));
    ExpectLooksFinished(f.brixom.Sheet(), "page1-create");
    ASSERT_TRUE(f.brixom.Click(kMount));
    ExpectLooksFinished(f.brixom.Sheet(), "page1-mount");
    EXPECT_TRUE(f.brixom.Cancel());
    Dismount(letter);
}

TEST(WizardLooks, PageTwoInBothModesLooksFinished)
{
    LooksFixture f;
    ASSERT_TRUE(f.ready);
    ASSERT_NE(f.brixom.StartOn("create_hdd"), nullptr);
    ASSERT_TRUE(f.brixom.WaitForPageWith(kLetterList2, 20000));
    // A password typed: its strength word and bar show.
    ASSERT_TRUE(SetText(f.brixom.PageControl(kPassword2), "Secret12"));
    ExpectLooksFinished(f.brixom.Sheet(), "page2-hdd");
    // Its drive letters dropped down, for the eye.
    HWND letters = f.brixom.PageControl(kLetterList2);
    SendMessageA(letters, CB_SHOWDROPDOWN, TRUE, 0);
    HWND dropped = nullptr;
    WaitUntil([&] {
        for (HWND w : TopLevelWindows(f.brixom.Process().Pid()))
            if (IsWindowVisible(w) && ClassNameOf(w) == "ComboLBox")
                dropped = w;
        return dropped != nullptr;
    }, 3000);
    if (dropped) {
        WaitUntil([] { return false; }, 300);
        std::vector<DWORD> pixels;
        int width = 0, height = 0;
        if (CaptureWindow(dropped, pixels, width, height))
            SavePngFile(JoinPath(LooksFolder(), "page2-letters-dropped.png"), pixels, width, height);
    }
    SendMessageA(letters, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_TRUE(f.brixom.Cancel());

    TempFolder usbFolder("looks-usb");
    FakeUsbDrive usb(usbFolder / "usb");
    ASSERT_NE(usb.Letter(), 0);
    ASSERT_NE(f.brixom.StartOn("create_usb"), nullptr);
    ASSERT_TRUE(f.brixom.WaitForPageWith(kUsbList2, 20000));
    ASSERT_TRUE(WaitForEntries(f.brixom.PageControl(kUsbList2)));
    ExpectLooksFinished(f.brixom.Sheet(), "page2-usb");
    EXPECT_TRUE(f.brixom.Cancel());
}

TEST(WizardLooks, PageThreeInEachKindAndPageFourLookFinished)
{
    LooksFixture f;
    ASSERT_TRUE(f.ready);
    ProtectedListGuard protectedList;
    ASSERT_TRUE(ListEntry(f.image, 1, 1));
    ASSERT_NE(f.brixom.StartOn("mount_hiddenhdd"), nullptr);
    ASSERT_TRUE(f.brixom.WaitForPageWith(kProtectedList, 20000));
    ExpectLooksFinished(f.brixom.Sheet(), "page3-hidden");
    EXPECT_TRUE(f.brixom.Cancel());
    ForgetProtection(f.image);

    TempFolder usbFolder("looks-usb");
    FakeUsbDrive usb(usbFolder / "usb");
    ASSERT_NE(usb.Letter(), 0);
    ASSERT_TRUE(MakeLayoutAtRest(usb.Letter(), ReadFileBytes(f.image)));
    ASSERT_NE(f.brixom.StartOn("mount_usb"), nullptr);
    ASSERT_TRUE(f.brixom.WaitForPageWith(kUsbList3, 20000));
    ASSERT_TRUE(WaitForEntries(f.brixom.PageControl(kUsbList3)));
    ExpectLooksFinished(f.brixom.Sheet(), "page3-usb");
    ASSERT_TRUE(SetText(f.brixom.PageControl(kPasswordEdit), "Secret12"));
    ClickButton(f.brixom.Sheet(), kNext);
    ASSERT_TRUE(f.brixom.WaitForPage4Ready());
    ExpectLooksFinished(f.brixom.Sheet(), "page4-usb");
    EXPECT_TRUE(f.brixom.Cancel());

    ASSERT_NE(f.brixom.StartOn("mount_hdd"), nullptr);
    ASSERT_TRUE(f.brixom.WaitForPageWith(kImageEdit, 20000));
    ASSERT_TRUE(SetText(f.brixom.PageControl(kImageEdit), f.image));
    ASSERT_TRUE(SetText(f.brixom.PageControl(kPasswordEdit), "Secret12"));
    ExpectLooksFinished(f.brixom.Sheet(), "page3-normal");
    ClickButton(f.brixom.Sheet(), kNext);
    ASSERT_TRUE(f.brixom.WaitForPage4Ready());
    ExpectLooksFinished(f.brixom.Sheet(), "page4-normal");
    EXPECT_TRUE(f.brixom.Cancel());
}

// The new-version notice, the scanning box, the progress dialog with its about box and a message
// box, as a user meets them.
TEST(WizardLooks, DialogsLookFinished)
{
    LooksFixture f;
    ASSERT_TRUE(f.ready);
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        SetEnvironmentVariableA(name, nullptr);
    {
        LocalHttpServer server("[Update]\r\nVersion=9.9\r\nUrl=http://127.0.0.1/get\r\n");
        ASSERT_TRUE(server.Listening());
        ASSERT_TRUE(WritePrivateProfileStringA("Product", "UpdateUrl", server.Url().c_str(),
                                               f.brixom.Path("Lang\\Sequora.ini").c_str()));
        ASSERT_NE(f.brixom.StartOn(""), nullptr);
        HWND notice = WaitForWindowHolding(f.brixom.Process().Pid(), kNoticeUpdate, kNoticeClose);
        ASSERT_NE(notice, nullptr);
        TakeShot(notice, "new-version");
        ExpectSceneFinished(SceneOfWindow(notice), "new-version");
        ASSERT_TRUE(ClickButton(notice, kNoticeCancel));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }, 10000));
        EXPECT_TRUE(f.brixom.Cancel());
    }

    TempFolder usbFolder("looks-usb");
    FakeUsbDrive usb(usbFolder / "usb");
    ASSERT_NE(usb.Letter(), 0);
    ASSERT_NE(f.brixom.StartOn("create_usb", "usb-check-slow=1500,create-slow=20000"), nullptr);
    const DWORD pid = f.brixom.Process().Pid();
    HWND wait = WaitForWindowHolding(pid, kWaitText);
    ASSERT_NE(wait, nullptr);
    TakeShot(wait, "wait-dialog");
    ExpectSceneFinished(SceneOfWindow(wait), "wait-dialog");
    ASSERT_TRUE(f.brixom.WaitForPageWith(kUsbList2, 20000));
    ASSERT_TRUE(WaitForEntries(f.brixom.PageControl(kUsbList2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(wait); }, 30000));
    ASSERT_TRUE(SetText(f.brixom.PageControl(kSize2), "50"));
    ASSERT_TRUE(SetText(f.brixom.PageControl(kPassword2), "Secret12"));
    ASSERT_TRUE(SetText(f.brixom.PageControl(kConfirm2), "Secret12"));
    ClickButton(f.brixom.Sheet(), kFinish);

    HWND progress = WaitForWindowHolding(pid, kProgressText, kProgressBar);
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(progress, kProgressText)) != "Please wait..."; }, 5000));
    TakeShot(progress, "progress-dialog");
    LayoutScene scene = SceneOfWindow(progress);
    // The bar fills its frame: drawn inside it on purpose.
    for (LaidOutControl& control : scene.controls)
        if (control.name.rfind("Static " + std::to_string(kProgressFrame) + " ", 0) == 0)
            control.parent = &control;
    ExpectSceneFinished(scene, "progress-dialog");

    PostMessageA(progress, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = WaitForWindowHolding(pid, IDOK);
    ASSERT_NE(about, nullptr);
    TakeShot(about, "about-box");
    ExpectSceneFinished(SceneOfWindow(about), "about-box");
    ClickButton(about, IDOK);

    // The portable disk made: the message that says so.
    HWND box = WaitForMessageBox(pid, 120000);
    ASSERT_NE(box, nullptr);
    TakeShot(box, "message-box");
    ExpectSceneFinished(SceneOfWindow(box), "message-box");
    AnswerMessageBox(pid, IDOK);
    EXPECT_TRUE(f.brixom.WaitForEnd());
}

TEST(WizardLooks, PagesAsAUserSeesThem)
{
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(CopyFileA(JoinPath(ProgramDir(), "Lang\\Sequora.ini").c_str(),
                          brixom.Path("Lang\\Sequora.ini").c_str(), FALSE));
    const std::string image = brixom.Image("Looks.sqv");
    ASSERT_TRUE(MakeImage(image, "Secret12"));

    // Page 1 with a disk mounted, before and after its list was opened and closed.
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
    ASSERT_NE(letter, 0);
    ASSERT_EQ(Tavrin_Mount(ToDriverPath(image).c_str(), static_cast<uint32_t>(letter), 0), 1);
    brixom.DismountAtEnd(letter);
    ASSERT_NE(brixom.StartOn("unmount"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kDiskList, 20000));
    HWND disks = GetDlgItem(brixom.Page(), kDiskList);
    ExpectListDrawnWhole(TakeShot(brixom.Sheet(), "page1"), disks, "page 1's disk list");
    SendMessageA(disks, CB_SHOWDROPDOWN, TRUE, 0);
    WaitUntil([] { return false; }, 300);
    SendMessageA(disks, CB_SHOWDROPDOWN, FALSE, 0);
    ExpectListDrawnWhole(TakeShot(brixom.Sheet(), "page1-list-closed"), disks, "page 1's list after a close");
    EXPECT_TRUE(brixom.Cancel());
    Dismount(letter);

    ASSERT_NE(brixom.StartOn("create_hdd"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kLetterList2, 20000));
    ExpectListDrawnWhole(TakeShot(brixom.Sheet(), "page2"), GetDlgItem(brixom.Page(), kLetterList2),
                         "page 2's drive letters");
    EXPECT_TRUE(brixom.Cancel());

    ASSERT_NE(brixom.StartOn("mount_hdd"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kImageEdit, 20000));
    HWND page = brixom.Page();
    ASSERT_TRUE(SetText(GetDlgItem(page, kImageEdit), image));
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Secret12"));
    TakeShot(brixom.Sheet(), "page3");
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    ExpectListDrawnWhole(TakeShot(brixom.Sheet(), "page4"), GetDlgItem(brixom.Page(), kLetterList),
                         "page 4's drive letters");
    EXPECT_TRUE(brixom.Cancel());
}
