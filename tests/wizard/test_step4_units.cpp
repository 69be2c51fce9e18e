// Page 4's refusals of an install for lack of room, in the test process: the rule itself as a table,
// then asked of a real target drive through the portable-drive maker, whose volume query a test can
// replace (Wine reports NTFS for every drive).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "CPortableDisk.h"
#include "CStep4.h"
#include "FakeFileSystem.h"
#include "HandleOwner.h"
#include "Paths.h"
#include "TempFolder.h"

namespace {

constexpr ULONGLONG kGiB4 = 4ULL << 30;

std::string Key(const char* refusal)
{
    return refusal ? refusal : "";
}

// A file of `size` bytes that takes no room: its end is set, nothing written.
bool MakeSparseFile(const std::string& path, ULONGLONG size)
{
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get());
}

}  // namespace

TEST(Step4Install, RoomRuleTable)
{
    const struct {
        BOOL fat;
        ULONGLONG size;
        BOOL freeKnown;
        ULONGLONG freeBytes;
        const char* refusal;
    } cases[] = {
        {TRUE, kGiB4, TRUE, 100 * kGiB4, "strFailed3"},         // FAT holds no file of 4 GiB
        {TRUE, kGiB4 - 1, TRUE, 100 * kGiB4, ""},               // one byte less fits
        {FALSE, kGiB4, TRUE, 100 * kGiB4, ""},                  // NTFS does
        {TRUE, kGiB4, FALSE, 0, "strFailed3"},                  // whatever the free space
        {FALSE, 1000, TRUE, 1000, "strFailed4"},                // equal is too small
        {FALSE, 1000, TRUE, 1001, ""},                          // one byte more passes
        {FALSE, 1000, TRUE, 0, "strFailed4"},
        {FALSE, 1000, FALSE, 0, ""},                            // unknown free space: no test
        {FALSE, ~0ULL, TRUE, ~0ULL - 1, "strFailed4"},          // unsigned 64-bit compare
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " on " + (c.fat ? "FAT" : "NTFS") + ", free " + std::to_string(c.freeBytes));
        EXPECT_EQ(Key(CStep4::InstallSpaceRefusal(c.fat, c.size, c.freeKnown, c.freeBytes)), c.refusal);
    }
}

// The same rule on a real drive: the maker's file-system name (exact "FAT" or "FAT32") and the
// image's real size decide.
TEST(Step4Install, FatRuleAskedOfTheTargetDrive)
{
    harness::TempFolder folder("step4");
    const std::string big = folder / "big.sqv";
    const std::string fits = folder / "fits.sqv";
    ASSERT_TRUE(MakeSparseFile(big, kGiB4));
    ASSERT_TRUE(MakeSparseFile(fits, kGiB4 - 1));
    const char letter = folder.Path()[0];
    FakeFileSystem fake("NTFS");

    const struct {
        const char* fileSystem;
        const std::string& image;
        bool refusedForFat;
    } cases[] = {
        {"FAT32", big, true}, {"FAT", big, true}, {"FAT32", fits, false},
        {"NTFS", big, false}, {"fat32", big, false}, {nullptr, big, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fileSystem ? c.fileSystem : "(no answer)") + " " + c.image);
        fake.Set(c.fileSystem);
        CPortableDisk maker;
        maker.SetTarget(letter, c.image.c_str());
        EXPECT_EQ(Key(CStep4::InstallSpaceRefusal(maker)) == "strFailed3", c.refusedForFat);
    }
    // An image that cannot be opened counts as empty.
    fake.Set("FAT32");
    CPortableDisk maker;
    maker.SetTarget(letter, (folder / "missing.sqv").c_str());
    EXPECT_NE(Key(CStep4::InstallSpaceRefusal(maker)), "strFailed3");
}
