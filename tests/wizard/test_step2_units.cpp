// Page 2's rules and the new image's header, free of windows: size bounds, the size edit's reading,
// password strength, file names, and the percent the copy routine reports.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "CPortableDisk.h"
#include "CStep2.h"
#include "CWizardDlg.h"
#include "Step2Rules.h"
#include "FakeFileSystem.h"
#include "GoldenHeader.h"
#include "ImageHeader.h"

TEST(ImageHeaderLayout, EveryByteAsTheOffsetTableGivesIt)
{
    struct Case {
        const char* password;
        char letter;
        int sizeMB;
        const char* description;
    };
    const Case cases[] = {
        {"Abc123!x", 'D', 50, ""},
        {"0123456789abcdef", 'Z', 4095, "My disk"},
        {"p", 0, 2048, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        const ImageHeader header = CWizardDlg::MakeImageHeader(c.password, c.letter, c.sizeMB, c.description);
        std::vector<unsigned char> actual(2048);
        std::memcpy(actual.data(), &header, 2048);
        EXPECT_EQ(actual, GoldenHeader(c.password, c.letter, c.sizeMB, c.description));
    }

    // Fields that would overflow are cut and stay terminated.
    const std::string longPassword(400, 'p'), longDescription(600, 'd');
    const ImageHeader header = CWizardDlg::MakeImageHeader(longPassword.c_str(), 'E', 50, longDescription.c_str());
    EXPECT_EQ(std::string(header.password), std::string(259, 'p'));
    EXPECT_EQ(std::string(header.description), std::string(256, 'd'));
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&header);
    for (size_t i = 665 + 257; i < 2048; ++i)
        ASSERT_EQ(raw[i], 0) << "byte " << i;
}

TEST(Step2Sizes, BoundsProposalsAndClamps)
{
    struct Case {
        const char* name;
        ULONGLONG freeBytes;
        const char* fileSystem;
        bool hardDisk;
        unsigned maximum;
        int proposed;
    };
    const ULONGLONG MB = 1048576;
    const Case cases[] = {
        {"NTFS, 50 MB free", 50 * MB, "NTFS", true, 10, 5},
        {"NTFS, exactly 100 MB free", 100 * MB, "NTFS", true, 10, 5},
        {"NTFS, 101 MB free", 101 * MB, "NTFS", true, 1, 0},
        {"FAT32, 5000 MB free", 5000 * MB, "FAT32", true, 3996, 2048},
        {"fat32 in small letters is not FAT32", 5000 * MB, "fat32", true, 4900, 2048},
        {"NTFS, 2000 MB free", 2000 * MB, "NTFS", true, 1900, 950},
        {"NTFS, 3000 MB free", 3000 * MB, "NTFS", true, 2900, 2048},
        {"USB, 3000 MB free", 3000 * MB, "NTFS", false, 2900, 1450},
        {"half a megabyte is no megabyte", MB / 2, "NTFS", true, 10, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned maximum = Step2Rules::MaximumSizeFor(Step2Rules::FreeSpaceMBFor(c.freeBytes, c.fileSystem));
        EXPECT_EQ(maximum, c.maximum);
        EXPECT_EQ(Step2Rules::ProposedSizeFor(maximum, c.hardDisk), c.proposed);
    }
    EXPECT_EQ(Step2Rules::FreeSpaceMBFor(4095 * MB, "FAT32"), 4095u);

    struct Clamp {
        int size;
        unsigned maximum;
        int clamped;
    };
    const Clamp clamps[] = {
        {5 + 1, 10, 50},       // the floor wins over a maximum below it
        {60, 1900, 60},
        {1901, 1900, 1900},
        {-1, 1900, 1900},      // compared unsigned: a negative value becomes the maximum
        {INT_MIN, 1900, 1900},
        {49, 1900, 50},
        {INT_MAX, 4095, 4095},
    };
    for (const Clamp& c : clamps) {
        SCOPED_TRACE(std::to_string(c.size) + " under " + std::to_string(c.maximum));
        EXPECT_EQ(Step2Rules::ClampSize(c.size, c.maximum), c.clamped);
    }
}

// Finish's size rules by mode: the 50 MB floor and the exact "FAT32" test belong to hard-disk mode;
// USB mode refuses only what no image file can be (no size at all, 4 GiB or more on FAT).
TEST(Step2Sizes, FinishRefusesBySizeAndFileSystem)
{
    const struct {
        int mode;
        int size;
        const char* fileSystem;
        const char* refusal;
    } cases[] = {
        {CStep2::kModeHardDisk, 49, "NTFS", "strSizeMustGreater50"},
        {CStep2::kModeHardDisk, 50, "NTFS", ""},
        {CStep2::kModeHardDisk, 4095, "FAT32", ""},
        {CStep2::kModeHardDisk, 4096, "FAT32", "strMustNTFS"},
        {CStep2::kModeHardDisk, 4096, "FAT", ""},
        {CStep2::kModeHardDisk, 4096, "", ""},
        {CStep2::kModeHardDisk, 20, "FAT32", "strSizeMustGreater50"},
        {CStep2::kModeUsb, 5, "NTFS", ""},
        {CStep2::kModeUsb, 1, "FAT32", ""},
        {CStep2::kModeUsb, 0, "NTFS", "strSizeMustBePositive"},
        {CStep2::kModeUsb, -7, "NTFS", "strSizeMustBePositive"},
        {CStep2::kModeUsb, 4095, "FAT32", ""},
        {CStep2::kModeUsb, 4096, "FAT32", "strMustNTFS"},
        {CStep2::kModeUsb, 4096, "FAT", "strMustNTFS"},
        {CStep2::kModeUsb, 4096, "fat32", ""},
        {CStep2::kModeUsb, 9000, "NTFS", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode == CStep2::kModeUsb ? "USB " : "hard disk ") + std::to_string(c.size) +
                     " MB on [" + c.fileSystem + "]");
        const char* refusal = Step2Rules::SizeRefusal(c.mode, c.size, c.fileSystem);
        EXPECT_EQ(std::string(refusal ? refusal : ""), c.refusal);
    }
}

// The page asks a drive's file system through the portable-drive maker's query, so a FAT32 drive
// can be had under Wine (which says NTFS for every drive): its free space is capped at 4096 MB.
TEST(Step2Sizes, TheFileSystemIsAskedThroughTheMakersQuery)
{
    char folder[MAX_PATH] = "";
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 3u);
    const std::string root = std::string(1, folder[0]) + ":\\";
    ULARGE_INTEGER available = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr));
    const ULONGLONG freeMB = available.QuadPart >> 20;

    {
        FakeFileSystem fake("FAT32");
        EXPECT_EQ(CPortableDisk::FileSystemOf(folder[0]), "FAT32");
        EXPECT_EQ(GetFreeSpaceMB(folder), freeMB >= 4096 ? 4096u : static_cast<unsigned>(freeMB));
        fake.Set("NTFS");
        EXPECT_NEAR(static_cast<double>(GetFreeSpaceMB(folder)), static_cast<double>(freeMB), 64.0);
        fake.Set(nullptr);
        EXPECT_EQ(CPortableDisk::FileSystemOf(folder[0]), "");
    }
    EXPECT_FALSE(CPortableDisk::FileSystemOf(folder[0]).empty()) << "the real query again";
}

TEST(Step2Sizes, TheSizeEditIsReadAsLeadingDigitsThatSaturate)
{
    struct Case {
        const char* text;
        int size;
    };
    const Case cases[] = {
        {" 12abc", 12}, {"", 0}, {"abc", 0}, {"  50  ", 50}, {"0050", 50},
        {"99999999999", INT_MAX}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
        {"-5", -5}, {"-99999999999", INT_MIN}, {nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(Step2Rules::ParseSize(c.text), c.size);
    }
}

TEST(Step2Password, StrengthClasses)
{
    struct Case {
        const char* password;
        int classes;
        int strength;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"Ab1!x", 0, 0},             // five characters or fewer rate "short", whatever they hold
        {"abcdef", 2, 1},
        {"ABCDEF", 1, 1},
        {"Abc123", 7, 3},
        {"Abc123!x", 15, 4},
        {"abc\xE9" "de", 10, 2},     // a byte over 127 counts with the other signs
        {"      ", 8, 1},
        {"123456", 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        EXPECT_EQ(Step2Rules::GetCharClasses(c.password), c.classes);
        EXPECT_EQ(Step2Rules::GetPasswordStrength(c.password), c.strength);
    }
}

TEST(Step2Names, DefaultNameAndTheImageExtension)
{
    SYSTEMTIME time = {};
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDay = 7;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 1;
    EXPECT_EQ(Step2Rules::DefaultNameTail(time).str(), "(20240307090501).sqv");

    struct Case {
        const char* chosen;
        const char* stored;
    };
    const Case cases[] = {
        {"C:\\Disks & Co\\100% \xE9.txt", "C:\\Disks & Co\\100% \xE9.sqv"},
        {"C:\\a\\disk", "C:\\a\\disk.sqv"},
        {"C:\\a.b\\disk", "C:\\a.b\\disk.sqv"},
        {"C:\\a\\disk.sqv", "C:\\a\\disk.sqv"},
        {"C:\\a\\disk.tar.gz", "C:\\a\\disk.tar.sqv"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Step2Rules::WithImageExtension(c.chosen).str(), c.stored);
}

TEST(CopyProgress, PercentOfTheBytesCopied)
{
    struct Case {
        LONGLONG transferred, total;
        unsigned percent;
    };
    const Case cases[] = {
        {0, 100, 0}, {50, 100, 50}, {100, 100, 100}, {0, 0, 100},   // an empty file is done at once
        {1, 3, 33}, {0x7FFFFFFFFFLL, 0x10000000000LL, 49},           // far past 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopyPercent(c.transferred, c.total), c.percent);
    // Without a running progress dialog the routine reports nowhere and goes on.
    LARGE_INTEGER total, done, zero = {};
    total.QuadPart = 0;
    done.QuadPart = 0;
    EXPECT_EQ(CopyProgressRoutine(total, done, zero, zero, 1, CALLBACK_CHUNK_FINISHED, nullptr, nullptr, nullptr),
              static_cast<DWORD>(PROGRESS_CONTINUE));
}
