// The portable-drive maker on fake USB drives under Wine: the layout it writes, what it finds,
// hides, unhides and removes, and how it ends when the drive or the program folder lets it down.
#include "PortableDiskFixture.h"

#include "ChildProcess.h"
#include "FakeFileSystem.h"
#include "HandleOwner.h"
#include "WindowDriver.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace portabletest;

namespace {

class PortableDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x.Ready()) << "no fake USB drive"; }

    harness::TempFolder folder{"usb"};
    DriveFixture x{folder.Path()};
    const DrivePaths& on = x.OnDrive();
};

int CreateFrom(DriveFixture& x, const std::string& source)
{
    CPortableDisk maker;
    x.Aim(maker, source);
    return maker.CreatePortable(nullptr);
}

int Create(DriveFixture& x) { return CreateFrom(x, x.SourceImage()); }

int FinishInPlace(DriveFixture& x)
{
    CPortableDisk maker;
    x.Aim(maker, "");
    return maker.FinishPortableInPlace();
}

template <typename Operation>
int OnTarget(DriveFixture& x, Operation operation)
{
    CPortableDisk maker;
    x.Aim(maker, "");
    return operation(maker);
}

// Puts the source image at the work place, as page 2 has the driver library create it there.
void PlaceImageAtWorkPlace(DriveFixture& x)
{
    CreateDirectoryA(x.OnDrive().Work().c_str(), nullptr);
    ASSERT_TRUE(harness::WriteFileBytes(x.OnDrive().WorkPlace(), x.SourceBytes()));
}

}  // namespace

TEST_F(PortableDisk, MakesTheWholeLayoutAroundACopyOfTheImage)
{
    EXPECT_EQ(Create(x), 1);
    x.ExpectLayoutAtRest(true, x.SourceBytes());
    EXPECT_TRUE(BytesOf(x.SourceImage()) == x.SourceBytes()) << "the source image must stay where it was";
    EXPECT_NE(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
    x.ExpectUserFileUntouched();
}

TEST_F(PortableDisk, FinishesTheLayoutAroundAnImageAlreadyOnTheDrive)
{
    PlaceImageAtWorkPlace(x);
    EXPECT_EQ(FinishInPlace(x), 1);
    x.ExpectLayoutAtRest(false, x.SourceBytes());
    x.ExpectUserFileUntouched();
}

TEST_F(PortableDisk, UsesAnImageThatAlreadyLiesAtTheWorkPlace)
{
    PlaceImageAtWorkPlace(x);
    // The caller's spelling of the path may differ in case from the maker's.
    EXPECT_EQ(CreateFrom(x, Lower(on.WorkPlace())), 1);
    x.ExpectLayoutAtRest(true, x.SourceBytes());
}

TEST_F(PortableDisk, StopsWithoutMovingAnyImageWhenItCannotFinish)
{
    struct Case {
        const char* what;
        std::function<void(DriveFixture&)> before;
        std::function<int(DriveFixture&)> road;
        std::function<void(DriveFixture&)> after;
    };
    const Case cases[] = {
        {"program folder without Agent.ini",
         [](DriveFixture& x) { DeleteFileA((x.ProgramFolder() + "\\Agent.ini").c_str()); }, Create,
         [](DriveFixture& x) {
             // What was written before the missing file stays.
             EXPECT_TRUE(IsFileAt(x.OnDrive().InWork("Agent.exe")));
             EXPECT_TRUE(IsFileAt(x.OnDrive().Hiding() + "\\desktop.ini"));
             EXPECT_TRUE(IsFolderAt(x.OnDrive().Aux()));
             EXPECT_FALSE(IsFileAt(x.OnDrive().InWork("Agent.ini")));
             EXPECT_FALSE(IsFileAt(x.OnDrive().WorkPlace()));
             EXPECT_FALSE(IsFileAt(x.OnDrive().RestPlace()));
         }},
        {"program folder without Tavrin.dll",
         [](DriveFixture& x) { DeleteFileA((x.ProgramFolder() + "\\Tavrin.dll").c_str()); }, Create,
         [](DriveFixture& x) {
             EXPECT_TRUE(IsFileAt(x.OnDrive().InWork("Agent.ini")));
             EXPECT_FALSE(IsFileAt(x.OnDrive().WorkPlace()));
             EXPECT_FALSE(IsFileAt(x.OnDrive().RestPlace()));
         }},
        {"an older image at the work place",
         [](DriveFixture& x) {
             CreateDirectoryA(x.OnDrive().Work().c_str(), nullptr);
             harness::WriteFileBytes(x.OnDrive().WorkPlace(), "an image of someone else");
         },
         Create,
         [](DriveFixture& x) {
             EXPECT_EQ(BytesOf(x.OnDrive().WorkPlace()), "an image of someone else");
             EXPECT_FALSE(IsFileAt(x.OnDrive().RestPlace()));
         }},
        {"an image already at rest",
         [](DriveFixture& x) {
             ASSERT_EQ(Create(x), 1);
             x.WriteSourceImage(PatternBytes(5000, 9));
         },
         Create,
         [](DriveFixture& x) {
             EXPECT_TRUE(BytesOf(x.OnDrive().RestPlace()) == PatternBytes(300 * 1024, 1));
             EXPECT_FALSE(IsFileAt(x.OnDrive().WorkPlace()));
         }},
        {"a source image that is not there",
         [](DriveFixture& x) { DeleteFileA(x.SourceImage().c_str()); }, Create,
         [](DriveFixture& x) {
             EXPECT_FALSE(IsFileAt(x.OnDrive().WorkPlace()));
             EXPECT_FALSE(IsFileAt(x.OnDrive().RestPlace()));
         }},
        {"finishing in place with no image on the drive", [](DriveFixture&) {}, FinishInPlace,
         [](DriveFixture& x) {
             EXPECT_TRUE(IsFileAt(x.OnDrive().InWork("Tavrin.dll")));
             EXPECT_FALSE(IsFileAt(x.OnDrive().RestPlace()));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        harness::TempFolder usb("usb");
        DriveFixture drive(usb.Path());
        ASSERT_TRUE(drive.Ready());
        c.before(drive);
        EXPECT_EQ(c.road(drive), 0);
        c.after(drive);
        EXPECT_TRUE(BytesOf(drive.SourceImage()) == drive.SourceBytes() || !IsFileAt(drive.SourceImage()));
        drive.ExpectUserFileUntouched();
    }
}

TEST_F(PortableDisk, RebuildsOverALayoutItMadeBefore)
{
    struct Case {
        const char* what;
        std::function<int(DriveFixture&)> road;
        bool withDesktopIni;
    };
    const Case cases[] = {
        {"full road with the image at the work place",
         [](DriveFixture& x) { return CreateFrom(x, x.OnDrive().WorkPlace()); }, true},
        {"in-place road (repair)", FinishInPlace, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        harness::TempFolder usb("usb");
        DriveFixture drive(usb.Path());
        ASSERT_TRUE(drive.Ready());
        ASSERT_EQ(Create(drive), 1);
        // Agent leaves the image at the work place while it is in use; the program folder has a
        // newer Agent.ini meanwhile. The layout's files are hidden, system and read-only now.
        ASSERT_EQ(OnTarget(drive, [](CPortableDisk& m) { return m.UnhideImage(); }), 1);
        harness::WriteFileBytes(drive.ProgramFolder() + "\\Agent.ini", "[Main]\r\nTitle=newer\r\n");
        EXPECT_EQ(c.road(drive), 1);
        drive.ExpectLayoutAtRest(c.withDesktopIni, drive.SourceBytes());
        EXPECT_EQ(BytesOf(drive.OnDrive().InWork("Agent.ini")), "[Main]\r\nTitle=newer\r\n");
    }
}

TEST_F(PortableDisk, DeletesTheLayoutOfEveryRoad)
{
    struct Case {
        const char* what;
        std::function<void(DriveFixture&)> build;
    };
    const Case cases[] = {
        {"full road", [](DriveFixture& x) { ASSERT_EQ(Create(x), 1); }},
        {"in-place road", [](DriveFixture& x) { PlaceImageAtWorkPlace(x); ASSERT_EQ(FinishInPlace(x), 1); }},
        {"image left at the work place",
         [](DriveFixture& x) {
             ASSERT_EQ(Create(x), 1);
             ASSERT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.UnhideImage(); }), 1);
         }},
        {"an image at each place",
         [](DriveFixture& x) {
             ASSERT_EQ(Create(x), 1);
             harness::WriteFileBytes(x.OnDrive().WorkPlace(), "second image");
         }},
        {"a layout whose build stopped", [](DriveFixture& x) {
             DeleteFileA((x.ProgramFolder() + "\\Tavrin.dll").c_str());
             ASSERT_EQ(Create(x), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        harness::TempFolder usb("usb");
        DriveFixture drive(usb.Path());
        ASSERT_TRUE(drive.Ready());
        c.build(drive);
        EXPECT_EQ(OnTarget(drive, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
        EXPECT_EQ(EntriesOf(drive.OnDrive().root.substr(0, 2)), std::set<std::string>{kUserFile});
        EXPECT_EQ(OnTarget(drive, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
        EXPECT_TRUE(BytesOf(drive.SourceImage()) == drive.SourceBytes());
        drive.ExpectUserFileUntouched();
    }
}

TEST_F(PortableDisk, DeleteLeavesAUsersFilesInTheWorkFolder)
{
    ASSERT_EQ(Create(x), 1);
    harness::WriteFileBytes(on.InWork("mine.txt"), "kept");
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
    EXPECT_EQ(EntriesOf(on.Work()), std::set<std::string>{"mine.txt"});
    EXPECT_EQ(BytesOf(on.InWork("mine.txt")), "kept");
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
}

TEST_F(PortableDisk, DeleteReportsFailureAndKeepsTheDiskWhileItsImageIsInUse)
{
    struct Case {
        const char* what;
        bool unhidden;   // where the image lies while it is held open
    };
    for (const Case& c : {Case{"mounted from the work place", true}, Case{"held at rest", false}}) {
        SCOPED_TRACE(c.what);
        harness::TempFolder usb("usb");
        DriveFixture drive(usb.Path());
        ASSERT_TRUE(drive.Ready());
        ASSERT_EQ(Create(drive), 1);
        if (c.unhidden) {
            ASSERT_EQ(OnTarget(drive, [](CPortableDisk& m) { return m.UnhideImage(); }), 1);
        }
        std::string image = c.unhidden ? drive.OnDrive().WorkPlace() : drive.OnDrive().RestPlace();
        // Opened the way a disk driver holds an image: no one may delete or move it meanwhile.
        KernelHandle held(CreateFileA(image.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(OnTarget(drive, [](CPortableDisk& m) { return m.DeletePortable(); }), 0);
        held.Reset();

        EXPECT_TRUE(BytesOf(image) == drive.SourceBytes()) << "the image must stay where it was";
        EXPECT_FALSE(IsFileAt(c.unhidden ? drive.OnDrive().RestPlace() : drive.OnDrive().WorkPlace()));
        EXPECT_TRUE(IsFileAt(drive.OnDrive().InWork("Agent.exe")));
        EXPECT_NE(OnTarget(drive, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
        // Once the image is let go, the delete goes through.
        EXPECT_EQ(OnTarget(drive, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
        EXPECT_EQ(EntriesOf(drive.OnDrive().root.substr(0, 2)), std::set<std::string>{kUserFile});
    }
}

TEST_F(PortableDisk, DeleteReportsFailureWhileTheHidingFolderCannotGo)
{
    ASSERT_EQ(Create(x), 1);
    // The shell reading the folder's desktop.ini keeps it, and so the hiding folder, in place.
    KernelHandle held(CreateFileA((on.Hiding() + "\\desktop.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 0);
    held.Reset();
    EXPECT_NE(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
    EXPECT_EQ(EntriesOf(on.root.substr(0, 2)), std::set<std::string>{kUserFile});
}

TEST_F(PortableDisk, HidesAndUnhidesTheImageWithoutEverOverwritingOne)
{
    ASSERT_EQ(Create(x), 1);
    auto hide = [&] { return OnTarget(x, [](CPortableDisk& m) { return m.HideImage(); }); };
    auto unhide = [&] { return OnTarget(x, [](CPortableDisk& m) { return m.UnhideImage(); }); };

    EXPECT_EQ(unhide(), 1);
    EXPECT_TRUE(BytesOf(on.WorkPlace()) == x.SourceBytes());
    EXPECT_FALSE(IsFileAt(on.RestPlace()));
    EXPECT_EQ(unhide(), 0) << "nothing at rest any more";
    EXPECT_EQ(hide(), 1);
    x.ExpectLayoutAtRest(true, x.SourceBytes());
    EXPECT_EQ(hide(), 0) << "nothing at the work place any more";

    harness::WriteFileBytes(on.WorkPlace(), "other image");
    EXPECT_EQ(hide(), 0);
    EXPECT_EQ(unhide(), 0);
    EXPECT_TRUE(BytesOf(on.RestPlace()) == x.SourceBytes());
    EXPECT_EQ(BytesOf(on.WorkPlace()), "other image");
}

TEST_F(PortableDisk, WriteTestNeverTouchesAUsersFiles)
{
    const std::string root = on.root.substr(0, 2);
    harness::WriteFileBytes(on.root + "__tmp", "a user's __tmp");
    harness::WriteFileBytes(on.root + "__tmp1", "and __tmp1");
    std::set<std::string> before = EntriesOf(root);

    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.IsDriveWritable(); }), 1);
    EXPECT_EQ(EntriesOf(root), before);
    EXPECT_EQ(BytesOf(on.root + "__tmp"), "a user's __tmp");
    EXPECT_EQ(BytesOf(on.root + "__tmp1"), "and __tmp1");
}

TEST_F(PortableDisk, AnswersThePagesQuestionsAboutTheDrive)
{
    CPortableDisk maker;
    x.Aim(maker);
    EXPECT_EQ(maker.GetImagePathOnDrive(), on.WorkPlace());
    EXPECT_EQ(maker.GetAuxFolderName(), PortableLayout::RestFolderInWork());
    EXPECT_NE(maker.IsDriveReady(), FALSE);
    EXPECT_EQ(maker.IsPortableOnDrive(), FALSE);

    ULONGLONG size = 0;
    EXPECT_NE(maker.GetImageFileSize(size), FALSE);
    EXPECT_EQ(size, x.SourceBytes().size());
    ULONGLONG freeBytes = 0;
    EXPECT_NE(maker.GetFreeSpace(freeBytes), FALSE);
    EXPECT_GT(freeBytes, 0u);

    // A user folder beside the work folder's hiding folder is not a portable disk; the hiding
    // folder alone is.
    CreateDirectoryA(on.Work().c_str(), nullptr);
    EXPECT_EQ(maker.IsPortableOnDrive(), FALSE);
    CreateDirectoryA(on.Hiding().c_str(), nullptr);
    EXPECT_NE(maker.IsPortableOnDrive(), FALSE);
    RemoveDirectoryA(on.Hiding().c_str());

    CPortableDisk missing;
    missing.SetTarget(x.Letter(), (folder / "no such image").c_str());
    size = 12345;
    EXPECT_EQ(missing.GetImageFileSize(size), FALSE);
}

TEST(PortableDiskDrive, AnswersForALetterWithNoDrive)
{
    char letter = harness::FirstFreeDriveLetter();
    ASSERT_NE(letter, 0);
    CPortableDisk maker;
    maker.SetTarget(letter, "");
    EXPECT_EQ(maker.IsDriveReady(), FALSE);
    EXPECT_EQ(maker.IsFatVolume(), 0);
    EXPECT_EQ(maker.IsDriveWritable(), 0);
    EXPECT_EQ(maker.IsPortableOnDrive(), FALSE);
    ULONGLONG bytes = 777;
    EXPECT_EQ(maker.GetFreeSpace(bytes), FALSE);
    EXPECT_EQ(bytes, 777u) << "the out value stays as it was on failure";
    EXPECT_EQ(maker.CreatePortable(nullptr), 0);
    EXPECT_EQ(maker.DeletePortable(), 1) << "nothing there is a removed portable disk";
}

TEST(PortableDiskVolume, TellsFatVolumesByTheirFileSystemName)
{
    struct Case {
        const char* fileSystem;
        BOOL answers;
        int fat;
    };
    const Case cases[] = {
        {"FAT32", TRUE, 1}, {"FAT", TRUE, 1},    {"NTFS", TRUE, 0},  {"exFAT", TRUE, 0},
        {"fat32", TRUE, 0}, {"FAT16", TRUE, 0},  {"", TRUE, 0},      {"FAT32", FALSE, 0},
    };
    FakeFileSystem fake(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fileSystem) + (c.answers ? "" : " (query fails)"));
        fake.Set(c.answers ? c.fileSystem : nullptr);
        CPortableDisk maker;
        maker.SetTarget('E', "");
        EXPECT_EQ(maker.IsFatVolume(), c.fat);
        EXPECT_EQ(maker.IsDriveReady() != FALSE, c.answers != FALSE);
    }
}

TEST_F(PortableDisk, ExtractsOnlyWhatThisProgramCarries)
{
    CPortableDisk maker;
    x.Aim(maker);
    CreateDirectoryA(on.Work().c_str(), nullptr);
    // Resource names are looked up without regard to case.
    EXPECT_EQ(maker.ExtractResource("Agent.exe", on.InWork("Agent.exe").c_str(), "PORTABLEDISK"), 1);
    EXPECT_TRUE(BytesOf(on.InWork("Agent.exe")) == harness::ReadFileBytes(harness::RecorderPath()));
    EXPECT_EQ(maker.ExtractResource("NOTHING.EXE", on.InWork("nothing.exe").c_str(), "PORTABLEDISK"), 0);
    EXPECT_FALSE(IsFileAt(on.InWork("nothing.exe")));
    EXPECT_EQ(maker.ExtractResource("Agent.exe", (on.Work() + "\\no folder\\Agent.exe").c_str(), "PORTABLEDISK"), 0);
}

TEST(PortableDiskResources, CarriesThreeLanguageFilesDifferingOnlyInTitleAndHelpAddress)
{
    auto linesOf = [](const std::string& text) {
        std::set<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.insert(text.substr(start, end - start));
        return lines;
    };
    auto withoutBrand = [&](const std::string& text) {
        std::set<std::string> lines = linesOf(text), kept;
        for (const std::string& line : lines)
            if (line.rfind("Title=", 0) != 0 && line.rfind("strHelpUrl=", 0) != 0)
                kept.insert(line);
        return kept;
    };
    std::string english = CarriedResource("LANGUAGE.INI");
    std::string pemba = CarriedResource("LANGUAGE_PEMBA.INI");
    std::string tarnwick = CarriedResource("LANGUAGE_TARNWICK.INI");
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(withoutBrand(pemba), withoutBrand(english));
    EXPECT_EQ(withoutBrand(tarnwick), withoutBrand(english));
    EXPECT_NE(pemba, english);
    EXPECT_NE(tarnwick, english);
    EXPECT_EQ(linesOf(english).count("[Main]"), 1u);
    EXPECT_EQ(linesOf(english).count("[DlgChange]"), 1u);
    EXPECT_EQ(CarriedResource("DESKTOP.INI"), std::string(kDesktopIniBytes));
    EXPECT_EQ(CarriedResource("DESKTOP.INI").size(), 65u);
}

TEST_F(PortableDisk, MakesAndRemovesTheAuxFolderDespiteItsDeviceName)
{
    CPortableDisk maker;
    x.Aim(maker);
    EXPECT_EQ(maker.MakeDirectory(on.Aux().c_str()), 1);
    EXPECT_TRUE(IsFolderAt(on.Aux()));
    EXPECT_TRUE(IsFolderAt(on.Hiding()));

    harness::WriteFileBytes(on.Hiding() + "\\keep", "x");
    EXPECT_EQ(maker.RemoveDirectory(on.Hiding().c_str()), 0) << "only an empty folder goes";
    EXPECT_TRUE(IsFolderAt(on.Aux()));
    EXPECT_EQ(maker.RemoveDirectory(on.Aux().c_str()), 1);
    EXPECT_FALSE(IsFolderAt(on.Aux()));
    EXPECT_TRUE(IsFileAt(on.Hiding() + "\\keep"));
}

TEST_F(PortableDisk, PulledDuringTheCopyEndsWithNoImageMovedOrLost)
{
    // Big enough that the copy is still running when the drive goes.
    x.WriteSourceImage(PatternBytes(160u << 20, 3));
    const std::string unfinishedInFolder = x.InFolder().Unfinished();
    std::atomic<bool> pulled{false}, done{false};
    std::thread puller([&] {
        while (!done && !IsFileAt(unfinishedInFolder))
            Sleep(1);
        if (!done)
            pulled = x.Drive().Remove();
    });
    int result = Create(x);
    done = true;
    puller.join();
    ASSERT_TRUE(pulled) << "the drive was not pulled during the copy";
    EXPECT_EQ(result, 0);

    ASSERT_TRUE(x.Drive().Insert());
    EXPECT_FALSE(IsFileAt(on.RestPlace())) << "nothing may reach the rest place";
    EXPECT_FALSE(IsFileAt(on.WorkPlace())) << "a copy takes the image's name only when whole";
    EXPECT_TRUE(BytesOf(x.SourceImage()) == x.SourceBytes());
    x.ExpectUserFileUntouched();

    // Plugged back, the drive takes the next try: the unfinished copy is cleared, the disk made.
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.HoldsImage(); }), FALSE);
    EXPECT_EQ(Create(x), 1);
    EXPECT_FALSE(IsFileAt(on.Unfinished()));
    EXPECT_FALSE(IsFileAt(on.WorkPlace()));
    EXPECT_TRUE(BytesOf(on.RestPlace()) == x.SourceBytes());
    x.ExpectUserFileUntouched();
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
}

// What an interrupted build leaves is cleared without a question; a finished image is not.
TEST_F(PortableDisk, ClearsLeftoversButNeverAFinishedImage)
{
    // An unfinished image and the hiding folders of a build that stopped: no disk in them.
    ASSERT_TRUE(CreateDirectoryA(on.Work().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(on.Hiding().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((on.Aux() + "\\").c_str(), nullptr));
    ASSERT_TRUE(harness::WriteFileBytes(on.Unfinished(), PatternBytes(4096, 5)));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), TRUE);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.ClearLeftovers(); }), 1);
    EXPECT_FALSE(IsFileAt(on.Unfinished()));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
    x.ExpectUserFileUntouched();

    // A finished image, at the work place without a layout or at rest in one, stays as it is.
    const std::string disk = PatternBytes(8192, 6);
    ASSERT_TRUE(CreateDirectoryA(on.Work().c_str(), nullptr));
    ASSERT_TRUE(harness::WriteFileBytes(on.WorkPlace(), disk));
    ASSERT_TRUE(harness::WriteFileBytes(on.Unfinished(), PatternBytes(4096, 5)));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.ClearLeftovers(); }), 1);
    EXPECT_TRUE(BytesOf(on.WorkPlace()) == disk);
    EXPECT_FALSE(IsFileAt(on.Unfinished()));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.HoldsImage(); }), TRUE);
    ASSERT_TRUE(CreateDirectoryA(on.Hiding().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((on.Aux() + "\\").c_str(), nullptr));
    ASSERT_TRUE(MoveFileA(on.WorkPlace().c_str(), on.RestPlace().c_str()));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.ClearLeftovers(); }), 1);
    EXPECT_TRUE(BytesOf(on.RestPlace()) == disk);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), TRUE);

    // The finished image is never replaced by completing another.
    ASSERT_TRUE(MoveFileA(on.RestPlace().c_str(), on.WorkPlace().c_str()));
    ASSERT_TRUE(harness::WriteFileBytes(on.Unfinished(), PatternBytes(4096, 7)));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.CompleteImage(); }), 0);
    EXPECT_TRUE(BytesOf(on.WorkPlace()) == disk);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.ClearUnfinished(); }), 1);
}

// Run by TakesAgentsFilesFromItsOwnFolder in a copy of this program placed in a program folder.
TEST(PortableDiskChild, MakesThePortableDiskWithTheFilesBesideIt)
{
    char letter[4] = {}, image[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("SEQUORA_PORTABLE_CHILD_DRIVE", letter, sizeof letter) ||
        !GetEnvironmentVariableA("SEQUORA_PORTABLE_CHILD_IMAGE", image, sizeof image))
        GTEST_SKIP() << "run by PortableDisk.TakesAgentsFilesFromItsOwnFolder";
    CPortableDisk maker;
    maker.SetTarget(letter[0], image);
    EXPECT_EQ(maker.CreatePortable(nullptr), 1);
}

TEST_F(PortableDisk, TakesAgentsFilesFromItsOwnFolder)
{
    harness::TempFolder program("installed");
    std::string copy = program / "maker.exe";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    harness::WriteFileBytes(program / "Agent.ini", "[Main]\r\nTitle=\"installed \"\r\n");
    harness::WriteFileBytes(program / "Tavrin.dll", PatternBytes(4000, 11));

    SetEnvironmentVariableA("SEQUORA_PORTABLE_CHILD_DRIVE", std::string(1, x.Letter()).c_str());
    SetEnvironmentVariableA("SEQUORA_PORTABLE_CHILD_IMAGE", x.SourceImage().c_str());
    DWORD exitCode = harness::RunAndWait(copy, "--gtest_filter=PortableDiskChild.*", 120000);
    SetEnvironmentVariableA("SEQUORA_PORTABLE_CHILD_DRIVE", nullptr);
    SetEnvironmentVariableA("SEQUORA_PORTABLE_CHILD_IMAGE", nullptr);
    ASSERT_EQ(exitCode, 0u);

    EXPECT_EQ(BytesOf(on.InWork("Agent.ini")), "[Main]\r\nTitle=\"installed \"\r\n");
    EXPECT_TRUE(BytesOf(on.InWork("Tavrin.dll")) == PatternBytes(4000, 11));
    EXPECT_TRUE(BytesOf(on.RestPlace()) == x.SourceBytes());
}
