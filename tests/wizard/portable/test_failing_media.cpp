// The maker on media that let it down, mounted by failing-media.sh: a tiny drive that fills up and
// a write-protected one. Each ends in a clear result with no image lost or half-moved.
#include "PortableDiskFixture.h"

#include <windows.h>

using namespace portabletest;

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

constexpr char kSkipped[] = "run by the portable_disk_on_failing_media test on its mounts";

template <typename Operation>
int OnTarget(DriveFixture& x, Operation operation)
{
    CPortableDisk maker;
    x.Aim(maker, x.SourceImage());
    return operation(maker);
}

}  // namespace

TEST(FailingMedia, FullDriveStopsTheCopyAndLeavesNoPartOfTheImage)
{
    std::string media = Environment("SEQUORA_FULL_DRIVE");
    if (media.empty())
        GTEST_SKIP() << kSkipped;
    DriveFixture x(media);
    ASSERT_TRUE(x.Ready());
    const DrivePaths& on = x.OnDrive();

    ULONGLONG freeBytes = 0;
    ASSERT_NE(OnTarget(x, [&](CPortableDisk& m) { return m.GetFreeSpace(freeBytes); }), FALSE);
    EXPECT_GT(freeBytes, 0u);
    EXPECT_LE(freeBytes, 4u << 20);

    // More than the whole drive holds.
    x.WriteSourceImage(PatternBytes(5u << 20, 5));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.CreatePortable(nullptr); }), 0);
    EXPECT_FALSE(IsFileAt(on.WorkPlace())) << "the partial copy must go";
    EXPECT_FALSE(IsFileAt(on.RestPlace()));
    EXPECT_TRUE(IsFileAt(on.InWork("Agent.exe")));
    EXPECT_TRUE(BytesOf(x.SourceImage()) == x.SourceBytes());
    x.ExpectUserFileUntouched();

    // The same drive takes an image that fits.
    x.WriteSourceImage(PatternBytes(1u << 20, 6));
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.CreatePortable(nullptr); }), 1);
    x.ExpectLayoutAtRest(true, x.SourceBytes());
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
    EXPECT_EQ(EntriesOf(on.root.substr(0, 2)), std::set<std::string>{kUserFile});
}

TEST(FailingMedia, FullDriveLeavesNoTruncatedAgent)
{
    std::string media = Environment("SEQUORA_FULL_DRIVE");
    if (media.empty())
        GTEST_SKIP() << kSkipped;
    DriveFixture x(media);
    ASSERT_TRUE(x.Ready());
    const DrivePaths& on = x.OnDrive();

    // A user's file takes all but a little of the drive, too little for Agent.
    ULONGLONG freeBytes = 0;
    ASSERT_NE(OnTarget(x, [&](CPortableDisk& m) { return m.GetFreeSpace(freeBytes); }), FALSE);
    const std::string fillerBytes = PatternBytes(static_cast<size_t>(freeBytes) - (64u << 10), 8);
    ASSERT_TRUE(harness::WriteFileBytes(on.root + "filler.bin", fillerBytes));

    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.CreatePortable(nullptr); }), 0);
    EXPECT_FALSE(IsFileAt(on.InWork("Agent.exe")));
    EXPECT_FALSE(IsFileAt(on.WorkPlace()));
    EXPECT_FALSE(IsFileAt(on.RestPlace()));
    EXPECT_TRUE(BytesOf(on.root + "filler.bin") == fillerBytes);
    x.ExpectUserFileUntouched();
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 1);
}

// Writes what the write-protected drive holds before the script mounts it read-only.
TEST(FailingMedia, PrepareWriteProtected)
{
    std::string media = Environment("SEQUORA_PROTECTED_DRIVE");
    if (media.empty() || !Environment("SEQUORA_PROTECTED_READY").empty())
        GTEST_SKIP() << kSkipped;
    DriveFixture x(media);
    ASSERT_TRUE(x.Ready());
    ASSERT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.CreatePortable(nullptr); }), 1);
    ASSERT_TRUE(harness::WriteFileBytes(x.OnDrive().root + "__tmp", "a user's __tmp"));
    x.KeepDriveContents();
}

TEST(FailingMedia, WriteProtectedDriveRefusesEveryChangeAndKeepsItsDisk)
{
    std::string media = Environment("SEQUORA_PROTECTED_DRIVE");
    if (media.empty() || Environment("SEQUORA_PROTECTED_READY").empty())
        GTEST_SKIP() << kSkipped;
    DriveFixture x(media);
    ASSERT_TRUE(x.Ready());
    x.KeepDriveContents();
    const DrivePaths& on = x.OnDrive();
    const auto before = Snapshot(media);
    ASSERT_EQ(before.count(kUserFile), 1u);
    ASSERT_EQ(before.count(PortableLayout("").RestPlace()), 1u);

    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.IsDriveWritable(); }), 0);
    EXPECT_NE(OnTarget(x, [](CPortableDisk& m) { return m.IsPortableOnDrive(); }), FALSE);
    EXPECT_NE(OnTarget(x, [](CPortableDisk& m) { return m.IsDriveReady(); }), FALSE);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.CreatePortable(nullptr); }), 0);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.FinishPortableInPlace(); }), 0);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.UnhideImage(); }), 0);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.HideImage(); }), 0);
    EXPECT_EQ(OnTarget(x, [](CPortableDisk& m) { return m.DeletePortable(); }), 0);

    EXPECT_TRUE(Snapshot(media) == before) << "nothing on a write-protected drive may change";
    EXPECT_TRUE(BytesOf(on.RestPlace()) == x.SourceBytes());
    EXPECT_EQ(BytesOf(on.root + "__tmp"), "a user's __tmp");
}
