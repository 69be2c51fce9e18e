// How the wizard's dark pages look in the real Brixom with its shipped texts. Each page is written
// as a PNG under the build folder (looks\) for a person to open; the drop-down lists are checked by
// their pixels: the chosen entry drawn whole and sharp inside the box, nothing drawn under it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "OpenDiskFixture.h"
#include "DriverPath.h"
#include "MountedLetters.h"
#include "Paths.h"
#include "Tavrin.h"
#include "WindowDriver.h"

using namespace harness;
using namespace opentest;

namespace {

constexpr int kDiskList = 1026, kLetterList2 = 1003;

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

}  // namespace

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
