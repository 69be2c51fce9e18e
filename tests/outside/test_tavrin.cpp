// Tavrin.dll as the programs use it: images made, read and rewritten, disks mounted on real drive
// letters and dismounted again, without ever losing the disk's files.
#include "TavrinFixture.h"

#include "ChildProcess.h"
#include "Crc32.h"
#include "FakeUsbDrive.h"
#include "Paths.h"
#include "Recorder.h"
#include "WindowDriver.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace tavrintest;
using harness::FileExists;
using harness::JoinPath;
using harness::ReadFileBytes;
using harness::WriteFileBytes;

namespace {

std::string HelperPath() { return JoinPath(harness::TestBinDir(), "tavrinhelper.exe"); }

DWORD RunHelper(const std::string& arguments) { return harness::RunAndWait(HelperPath(), arguments, 120000); }

std::vector<uint8_t> HeaderOf(const std::string& image)
{
    std::vector<uint8_t> header(2048, 0);
    if (!Tavrin_GetInfo(Wide(image).c_str(), AsHeader(header)))
        header.clear();
    return header;
}

uint64_t SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool LetterIsListed(char letter)
{
    char roots[256] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof(roots), roots);
    for (const char* root = roots; root < roots + length && *root; root += strlen(root) + 1)
        if (root[0] == letter)
            return true;
    return false;
}

// What lies in the library's own folder of mounted disks' files.
std::vector<std::string> MountFolders()
{
    char appData[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", appData, MAX_PATH);
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((std::string(appData) + "\\Tavrin\\Mounts\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, ".."))
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<int32_t> g_percents;
uint8_t g_stopAt = 255;

uint8_t __cdecl RecordProgress(const int32_t* percent)
{
    g_percents.push_back(*percent);
    // Only the low byte counts: 0x100 means "stop" as 0 does.
    return *percent >= g_stopAt ? 0 : 1;
}

// A callback that leaves garbage above its one-byte result: 0x100 stops, 0x101 goes on.
uint32_t __cdecl StopWithHighBits(const int32_t* percent) { return *percent >= 30 ? 0x100u : 0x101u; }

std::string Pattern(size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7 + (i >> 12));
    return bytes;
}

}  // namespace

TEST(TavrinService, IsInstalledOnceInstalledAndKnobsSayOtherwise)
{
    ASSERT_NE(0, Tavrin_Install());
    EXPECT_NE(0, Tavrin_IsInstalled());
    {
        ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "tavrin-not-ready,tavrin-install-fails");
        EXPECT_EQ(0, Tavrin_IsInstalled());
        EXPECT_EQ(0, Tavrin_Install());
    }
    EXPECT_NE(0, Tavrin_IsInstalled());
}

class TavrinImage : public TavrinTest {};

TEST_F(TavrinImage, CreateWritesHeaderAndFullLengthWithProgressToOneHundred)
{
    for (uint32_t sizeMb : {1u, 3u, 9u}) {
        const std::string path = m_folder / ("d" + std::to_string(sizeMb) + ".img");
        const auto header = MakeHeader(sizeMb, "pw" + std::to_string(sizeMb), 'Q');
        g_percents.clear();
        g_stopAt = 255;
        int32_t context = 0;
        ASSERT_EQ(1, Tavrin_CreateImage(Wide(path).c_str(), AsHeader(header), RecordProgress, &context)) << sizeMb;
        EXPECT_EQ(uint64_t(sizeMb) * kMiB, SizeOf(path));
        EXPECT_EQ(std::string(header.begin(), header.end()), ReadFileBytes(path).substr(0, 2048));
        EXPECT_EQ(header, HeaderOf(path));
        ASSERT_FALSE(g_percents.empty());
        EXPECT_EQ(0, g_percents.front());
        EXPECT_EQ(100, g_percents.back());
        for (size_t i = 1; i < g_percents.size(); ++i)
            EXPECT_LT(g_percents[i - 1], g_percents[i]) << "each percent at most once, rising";
    }
}

TEST_F(TavrinImage, CreateRefusesExistingFileAndLeavesNothingWhenStoppedOrFailing)
{
    const std::string existing = m_folder / "existing.img";
    ASSERT_TRUE(WriteFileBytes(existing, "precious"));
    const auto header = MakeHeader(2, "pw");
    int32_t context = 0;
    EXPECT_EQ(0, Tavrin_CreateImage(Wide(existing).c_str(), AsHeader(header), nullptr, &context));
    EXPECT_EQ("precious", ReadFileBytes(existing));

    const std::string stopped = m_folder / "stopped.img";
    g_percents.clear();
    g_stopAt = 40;
    EXPECT_EQ(0, Tavrin_CreateImage(Wide(stopped).c_str(), AsHeader(MakeHeader(20, "pw")), RecordProgress, &context));
    EXPECT_FALSE(FileExists(stopped));
    EXPECT_EQ(40, g_percents.back());
    EXPECT_EQ(0, Tavrin_CreateImage(Wide(stopped).c_str(), AsHeader(MakeHeader(20, "pw")),
                                    reinterpret_cast<TavrinProgressProc>(reinterpret_cast<void*>(StopWithHighBits)), &context));
    EXPECT_FALSE(FileExists(stopped));

    ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "create-fails");
    EXPECT_EQ(0, Tavrin_CreateImage(Wide(stopped).c_str(), AsHeader(header), nullptr, &context));
    EXPECT_FALSE(FileExists(stopped));
}

TEST_F(TavrinImage, SlowKnobStretchesCreationOverItsProgress)
{
    const std::string path = m_folder / "slow.img";
    ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "create-slow=1000");
    g_percents.clear();
    g_stopAt = 255;
    int32_t context = 0;
    const DWORD start = GetTickCount();
    ASSERT_EQ(1, Tavrin_CreateImage(Wide(path).c_str(), AsHeader(MakeHeader(2, "pw")), RecordProgress, &context));
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_GT(g_percents.size(), 10u) << "a small image still reports its progress in steps";
    EXPECT_EQ(100, g_percents.back());
}

namespace {

// While the caller reports one percent slowly (the wizard's dialog answers each with a window
// message round trip and a repaint), the writing goes on: the file has grown past that percent by
// the time the report returns.
std::string g_slowPath;
uint64_t g_sizeAtReport = 0, g_sizeAfterReport = 0;

uint8_t __cdecl SlowAtTen(const int32_t* percent)
{
    g_percents.push_back(*percent);
    if (*percent == 10) {
        g_sizeAtReport = SizeOf(g_slowPath);
        Sleep(300);
        g_sizeAfterReport = SizeOf(g_slowPath);
    }
    return 1;
}

}  // namespace

TEST_F(TavrinImage, WritingGoesOnWhileTheCallerReportsProgress)
{
    g_slowPath = m_folder / "overlap.img";
    g_percents.clear();
    int32_t context = 0;
    ASSERT_EQ(1, Tavrin_CreateImage(Wide(g_slowPath).c_str(), AsHeader(MakeHeader(20, "pw")), SlowAtTen, &context));
    EXPECT_GT(g_sizeAfterReport, g_sizeAtReport) << "the file grew during the slow report";
    EXPECT_EQ(20 * kMiB, SizeOf(g_slowPath));
    // Every percent of the pieces is still reported, once each, in order.
    for (int expected = 0; expected <= 100; ++expected)
        EXPECT_TRUE(std::count(g_percents.begin(), g_percents.end(), expected) == 1) << expected;
}

TEST_F(TavrinImage, GetInfoRefusesFilesThatAreNoImage)
{
    const std::string text = m_folder / "notes.txt";
    ASSERT_TRUE(WriteFileBytes(text, std::string(4096, 'n')));
    const std::string small = m_folder / "small.img";
    ASSERT_TRUE(WriteFileBytes(small, std::string(100, '\0')));
    std::vector<uint8_t> header(2048, 0);
    EXPECT_EQ(0, Tavrin_GetInfo(Wide(text).c_str(), AsHeader(header)));
    EXPECT_EQ(0, Tavrin_GetInfo(Wide(small).c_str(), AsHeader(header)));
    EXPECT_EQ(0, Tavrin_GetInfo(Wide(m_folder / "missing.img").c_str(), AsHeader(header)));
    EXPECT_EQ(0, Tavrin_SetInfo(Wide(text).c_str(), AsHeader(MakeHeader(2, "pw"))));
    EXPECT_EQ(std::string(4096, 'n'), ReadFileBytes(text));
}

TEST_F(TavrinImage, SetInfoRewritesOnlyTheHeader)
{
    const std::string image = NewImage("a.img", 2, "old");
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "kept.txt", "data of the disk"));
    ASSERT_TRUE(Unmount(letter));
    const std::string before = ReadFileBytes(image);

    auto header = HeaderOf(image);
    SetPassword(header, "changed");
    ASSERT_NE(0, Tavrin_SetInfo(Wide(image).c_str(), AsHeader(header)));
    const std::string after = ReadFileBytes(image);
    EXPECT_EQ(before.size(), after.size());
    EXPECT_EQ(before.substr(2048), after.substr(2048));
    EXPECT_EQ("changed", PasswordOf(HeaderOf(image)));

    // A buffer that is no image header is not written.
    std::vector<uint8_t> garbage(2048, 0x41);
    EXPECT_EQ(0, Tavrin_SetInfo(Wide(image).c_str(), AsHeader(garbage)));
    ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "setinfo-fails");
    EXPECT_EQ(0, Tavrin_SetInfo(Wide(image).c_str(), AsHeader(MakeHeader(2, "other"))));
    EXPECT_EQ("changed", PasswordOf(HeaderOf(image)));
}

class TavrinMount : public TavrinTest {};

TEST_F(TavrinMount, MountOutlivesItsProcessAndDismountBringsFilesBack)
{
    const std::string image = NewImage("disk.img", 4);
    const char letter = FreeLetter();
    ASSERT_NE(0, letter);
    ASSERT_EQ(1u, RunHelper("mount \"" + image + "\" " + letter));

    // Another process sees the disk: listed, a fixed drive, its image named.
    ASSERT_TRUE(LetterIsListed(letter));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA(Root(letter).c_str()));
    const uint32_t mask = Tavrin_GetMountedMask();
    ASSERT_NE(0u, mask);
    int slot = 0;
    while (!(mask & (1u << slot)))
        ++slot;
    EXPECT_EQ(static_cast<uint32_t>(letter), Tavrin_GetSlotLetter(slot) & 0xFFFF);
    std::vector<uint8_t> info(1096, 0xCC);
    memset(info.data(), 0, 4);
    ASSERT_NE(0, Tavrin_GetMountInfo(static_cast<unsigned char>(letter), AsMountInfo(info)));
    const std::wstring expected = L"\\??\\" + Wide(image);
    uint16_t units = 0;
    memcpy(&units, &info[46], 2);
    EXPECT_EQ(expected.size(), units);
    EXPECT_EQ(expected, std::wstring(reinterpret_cast<const wchar_t*>(&info[48])));
    EXPECT_NE(letter, FreeLetter());

    ASSERT_TRUE(CreateDirectoryA((Root(letter) + "folder").c_str(), nullptr));
    const std::string big = Pattern(3 * kMiB + 123, 'b');
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "folder\\big.bin", big));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "a.txt", "hello"));

    ASSERT_TRUE(Unmount(letter));
    EXPECT_FALSE(LetterIsListed(letter));
    EXPECT_EQ(0u, Tavrin_GetMountedMask() & (1u << slot));
    EXPECT_EQ(0, Tavrin_GetMountInfo(static_cast<unsigned char>(letter), AsMountInfo(info)));
    EXPECT_EQ(uint64_t(4) * kMiB, SizeOf(image));

    // Remounted by the other binding, on another letter: the files are back.
    ASSERT_EQ(1u, RunHelper("mount \"" + image + "\" " + letter));
    EXPECT_EQ("hello", ReadFileBytes(Root(letter) + "a.txt"));
    EXPECT_EQ(big, ReadFileBytes(Root(letter) + "folder\\big.bin"));
    ASSERT_EQ(1u, RunHelper(std::string("unmount ") + letter));
    EXPECT_FALSE(LetterIsListed(letter));
}

TEST_F(TavrinMount, SeveralProcessesMountAtOnceIntoSlotsOfTheirOwn)
{
    constexpr int kProcesses = 4;
    std::vector<std::string> images;
    std::string letters;
    for (int i = 0; i < kProcesses; ++i) {
        images.push_back(NewImage("many" + std::to_string(i) + ".img"));
        const char letter = harness::FirstFreeDriveLetter(letters.empty() ? 'G' : static_cast<char>(letters.back() + 1));
        ASSERT_NE(0, letter);
        letters += letter;
    }
    std::vector<harness::ChildProcess> helpers(kProcesses);
    for (int i = 0; i < kProcesses; ++i)
        ASSERT_TRUE(helpers[i].Start(HelperPath(), "mount \"" + images[i] + "\" " + letters[i]));
    uint32_t expectedMask = 0;
    for (int i = 0; i < kProcesses; ++i) {
        ASSERT_TRUE(helpers[i].Wait(60000));
        EXPECT_EQ(1u, helpers[i].ExitCode()) << letters[i];
        expectedMask = (expectedMask << 1) | 1;
    }
    EXPECT_EQ(expectedMask, Tavrin_GetMountedMask());
    std::string slotLetters;
    for (int slot = 0; slot < kProcesses; ++slot)
        slotLetters += static_cast<char>(Tavrin_GetSlotLetter(slot));
    std::sort(slotLetters.begin(), slotLetters.end());
    std::string sorted = letters;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, slotLetters);
}

// A read-only disk shows its files read-only and refuses every change (as root under Wine the
// refusal cannot be seen: the script test read_only_disk_as_a_user runs this as an ordinary
// user); whatever happens, the image stays the same to the byte and nothing stays behind.
TEST_F(TavrinMount, ReadOnlyMountRefusesWritesAndLeavesTheImageUnchanged)
{
    const std::string image = NewImage("ro.img");
    char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(CreateDirectoryA((Root(letter) + "folder").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "folder\\first.txt", "one"));
    ASSERT_TRUE(Unmount(letter));
    const std::string before = ReadFileBytes(image);
    const std::vector<std::string> mountsBefore = MountFolders();

    ASSERT_TRUE(Mount(image, letter, true));
    const std::string first = Root(letter) + "folder\\first.txt";
    EXPECT_EQ("one", ReadFileBytes(first));
    EXPECT_TRUE(GetFileAttributesA(first.c_str()) & FILE_ATTRIBUTE_READONLY);
    const bool canSeeRefusals = !harness::WineRunsAsRoot();
    const bool written = WriteFileBytes(Root(letter) + "second.txt", "two");
    const bool writtenInFolder = WriteFileBytes(Root(letter) + "folder\\third.txt", "three");
    const bool changed = WriteFileBytes(first, "changed");
    const bool deleted = DeleteFileA(first.c_str()) != FALSE;
    const bool folderMade = CreateDirectoryA((Root(letter) + "new folder").c_str(), nullptr) != FALSE;
    if (canSeeRefusals) {
        EXPECT_FALSE(written);
        EXPECT_FALSE(writtenInFolder);
        EXPECT_FALSE(changed);
        EXPECT_FALSE(deleted);
        EXPECT_FALSE(folderMade);
        EXPECT_FALSE(FileExists(Root(letter) + "second.txt"));
        EXPECT_EQ("one", ReadFileBytes(first));
    }
    ASSERT_TRUE(Unmount(letter));
    EXPECT_EQ(before, ReadFileBytes(image));
    EXPECT_EQ(mountsBefore, MountFolders()) << "the mounted files are all gone";
}

// The owner of a read-only disk's files can lift the rule the mount laid on them and write.
// Read-only keeps nothing, so what was written is dropped; but the dismount says so (its own
// result) instead of a plain success, which stays for a read-only disk left as it was.
TEST_F(TavrinMount, ReadOnlyDiskWhoseRuleWasLiftedTellsItsChangesWereNotKept)
{
    const std::string image = NewImage("lifted.img");
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "kept.txt", "as it was"));
    ASSERT_TRUE(Unmount(letter));
    const std::string before = ReadFileBytes(image);
    const std::vector<std::string> mountsBefore = MountFolders();

    ASSERT_TRUE(Mount(image, letter, true));
    EXPECT_EQ("as it was", ReadFileBytes(Root(letter) + "kept.txt"));
    EXPECT_EQ(1, Tavrin_Unmount(static_cast<unsigned char>(letter), 0)) << "nothing was changed";

    ASSERT_TRUE(Mount(image, letter, true));
    const std::string kept = Root(letter) + "kept.txt";
    ASSERT_TRUE(harness::LiftWriteProtection(kept));
    ASSERT_TRUE(WriteFileBytes(kept, "changed anyway"));
    ASSERT_TRUE(harness::LiftWriteProtection(Root(letter)));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "new.txt", "never kept"));
    EXPECT_EQ(kTavrinDismountedChangesDropped, Tavrin_Unmount(static_cast<unsigned char>(letter), 0));
    EXPECT_FALSE(LetterIsListed(letter));
    EXPECT_TRUE(before == ReadFileBytes(image)) << "read-only keeps nothing";
    EXPECT_EQ(mountsBefore, MountFolders()) << "the mounted files are all gone";
}

TEST_F(TavrinMount, RefusesLettersInUseImagesMountedAndFilesThatAreNoImage)
{
    const std::string image = NewImage("one.img");
    const std::string other = NewImage("two.img");
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    const char next = FreeLetter();
    ASSERT_NE(letter, next);
    EXPECT_FALSE(Mount(other, letter)) << "letter of a mounted disk";
    EXPECT_FALSE(Mount(other, 'C')) << "letter of a drive";
    EXPECT_FALSE(Mount(other, '1'));
    EXPECT_FALSE(Mount(image, next)) << "the same image twice";
    std::string upper = image;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_FALSE(Mount(upper, next)) << "the same image, written otherwise";
    const std::string text = m_folder / "text.img";
    ASSERT_TRUE(WriteFileBytes(text, std::string(5000, 't')));
    EXPECT_FALSE(Mount(text, next));
    EXPECT_FALSE(LetterIsListed(next));
    EXPECT_FALSE(Unmount(next)) << "nothing mounted there";
    {
        ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", std::string("unmount-refused=") + letter);
        EXPECT_FALSE(Unmount(letter));
        EXPECT_TRUE(LetterIsListed(letter));
    }
    EXPECT_TRUE(Unmount(letter));
}

TEST_F(TavrinMount, AnnouncesArrivalAndRemovalToOtherProcesses)
{
    const std::string peer = harness::PeerWindowPath();
    DeleteFileA((peer + ".log").c_str());
    harness::ChildProcess window;
    ASSERT_TRUE(window.Start(peer, "Tavrin peer"));
    ASSERT_NE(nullptr, harness::WaitForWindow(window.Pid(), nullptr, "Tavrin peer"));

    const std::string image = NewImage("seen.img");
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(Unmount(letter));
    char mask[16];
    snprintf(mask, sizeof(mask), "0x%08lX", 1ul << (letter - 'A'));
    const std::vector<std::string> expected = {std::string("event=0x8000 mask=") + mask,
                                               std::string("event=0x8004 mask=") + mask};
    auto events = [&] {
        std::vector<std::string> lines;
        for (const std::string& line : harness::RecordedCalls(peer))
            if (line.rfind("event=", 0) == 0)
                lines.push_back(line);
        return lines;
    };
    ASSERT_TRUE(harness::WaitUntil([&] { return events().size() >= 2; }, 5000));
    EXPECT_EQ(expected, events());
}

TEST_F(TavrinMount, MoveFileNeverReplacesAndPassesReservedFolderNames)
{
    const std::string aux = m_folder / "aux";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Wide(aux)).c_str(), nullptr));
    const std::string rest = aux + "\\image";
    const std::string work = m_folder / "image";
    ASSERT_TRUE(WriteFileBytes(work, "the image"));
    EXPECT_NE(0, Tavrin_MoveFile(Wide(work).c_str(), Wide(rest).c_str()));
    EXPECT_FALSE(FileExists(work));
    EXPECT_NE(0, Tavrin_MoveFile(Wide(rest).c_str(), Wide(work).c_str()));
    EXPECT_EQ("the image", ReadFileBytes(work));

    EXPECT_EQ(0, Tavrin_MoveFile(Wide(rest).c_str(), Wide(work).c_str())) << "missing source";
    const std::string other = m_folder / "other";
    ASSERT_TRUE(WriteFileBytes(other, "other"));
    EXPECT_EQ(0, Tavrin_MoveFile(Wide(other).c_str(), Wide(work).c_str())) << "existing destination";
    EXPECT_EQ("the image", ReadFileBytes(work));
    EXPECT_EQ("other", ReadFileBytes(other));
    RemoveDirectoryW((L"\\\\?\\" + Wide(aux)).c_str());

    // A mounted image stays where its disk's files go back to.
    const std::string image = NewImage("mounted.img");
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ(0, Tavrin_MoveFile(Wide(image).c_str(), Wide(m_folder / "moved.img").c_str()));
    EXPECT_TRUE(FileExists(image));
    ASSERT_TRUE(Unmount(letter));
    EXPECT_NE(0, Tavrin_MoveFile(Wide(image).c_str(), Wide(m_folder / "moved.img").c_str()));
}

// Every way a write-back can fail keeps the letter, the mount and the files; once the cause is
// gone the same dismount succeeds and the image holds the files.
class TavrinNoDataLost : public TavrinTest {};

TEST_F(TavrinNoDataLost, FailedWriteBackKeepsTheMountUntilItCanBeWritten)
{
    struct Case {
        const char* name;
        const char* faults;
    };
    const Case cases[] = {{"write-protected media", "media-readonly"}, {"image moved away", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string image = NewImage(std::string("f") + c.faults + ".img");
        const std::string away = image + ".away";
        const char letter = FreeLetter();
        ASSERT_TRUE(Mount(image, letter));
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "new.txt", "must survive"));
        {
            ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", c.faults);
            if (!*c.faults) {
                ASSERT_TRUE(MoveFileA(image.c_str(), away.c_str()));
            }
            EXPECT_FALSE(Unmount(letter));
        }
        EXPECT_TRUE(LetterIsListed(letter));
        EXPECT_EQ("must survive", ReadFileBytes(Root(letter) + "new.txt"));
        EXPECT_NE(0u, Tavrin_GetMountedMask());
        if (!*c.faults) {
            ASSERT_TRUE(MoveFileA(away.c_str(), image.c_str()));
        }
        ASSERT_TRUE(Unmount(letter));
        ASSERT_TRUE(Mount(image, letter));
        EXPECT_EQ("must survive", ReadFileBytes(Root(letter) + "new.txt"));
        ASSERT_TRUE(Unmount(letter));
    }
}

TEST_F(TavrinNoDataLost, ContentLargerThanTheImageGrowsItAndAFullDiskFailsSafely)
{
    const std::string image = NewImage("grow.img", 2);
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    const std::string big = Pattern(3 * kMiB, 'g');
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "big.bin", big));
    {
        ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "disk-full");
        EXPECT_FALSE(Unmount(letter));
    }
    EXPECT_EQ(uint64_t(2) * kMiB, SizeOf(image)) << "a failed growth is taken back";
    EXPECT_EQ(big, ReadFileBytes(Root(letter) + "big.bin"));
    ASSERT_TRUE(Unmount(letter));
    EXPECT_GT(SizeOf(image), uint64_t(3) * kMiB);

    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ(big, ReadFileBytes(Root(letter) + "big.bin"));
    ASSERT_TRUE(DeleteFileA((Root(letter) + "big.bin").c_str()));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "small.txt", "small again"));
    ASSERT_TRUE(Unmount(letter));
    EXPECT_EQ(uint64_t(2) * kMiB, SizeOf(image)) << "back to its size once the content fits";
    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ("small again", ReadFileBytes(Root(letter) + "small.txt"));
    EXPECT_FALSE(FileExists(Root(letter) + "big.bin"));
}

TEST_F(TavrinNoDataLost, PulledUsbDriveKeepsTheMountAndAMountLaterWritesItBackFirst)
{
    harness::FakeUsbDrive usb(m_folder / "usb");
    ASSERT_NE(0, usb.Letter());
    const std::string image = usb.Root() + "portable.img";
    int32_t context = 0;
    ASSERT_EQ(1, Tavrin_CreateImage(Wide(image).c_str(), AsHeader(MakeHeader(2, "pw")), nullptr, &context));
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "work.txt", "written before the pull"));
    ASSERT_TRUE(usb.Remove());
    EXPECT_FALSE(Unmount(letter));
    EXPECT_EQ("written before the pull", ReadFileBytes(Root(letter) + "work.txt"));

    // The drive is back and the opener mounts the image again, on a letter of its own.
    ASSERT_TRUE(usb.Insert());
    const char again = FreeLetter();
    ASSERT_TRUE(Mount(image, again));
    EXPECT_FALSE(LetterIsListed(letter));
    EXPECT_EQ("written before the pull", ReadFileBytes(Root(again) + "work.txt"));
    ASSERT_TRUE(Unmount(again));
}

// A stick is known by its volume, not by its letter: pulled while its disk kept changes, it may
// come back on another letter, where the kept files go into its image (by a dismount, or by the
// next mount of the image there). Another stick that took the old letter is never written.
TEST_F(TavrinNoDataLost, APulledDriveBackOnAnotherLetterGetsItsChangesThere)
{
    constexpr unsigned long kSerial = 0x5EC0A001;
    const std::string stick = m_folder / "usb";
    const char* const kImage = "\\work\\portable.img";
    auto usb = std::make_unique<harness::FakeUsbDrive>(stick, 0, kSerial);
    ASSERT_NE(0, usb->Letter());
    const char first = usb->Letter();
    ASSERT_TRUE(CreateDirectoryA((usb->Root() + "work").c_str(), nullptr));
    int32_t context = 0;
    ASSERT_EQ(1, Tavrin_CreateImage(Wide(std::string(1, first) + ":" + kImage).c_str(), AsHeader(MakeHeader(2, "pw")),
                                    nullptr, &context));
    const std::vector<std::string> mountsBefore = MountFolders();
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(std::string(1, first) + ":" + kImage, letter));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "work.txt", "written before the pull"));
    ASSERT_TRUE(usb->Remove());
    EXPECT_FALSE(Unmount(letter));

    {
        harness::FakeUsbDrive other(m_folder / "other", first, 0x0DDBA11);
        ASSERT_EQ(first, other.Letter());
        ASSERT_TRUE(CreateDirectoryA((other.Root() + "work").c_str(), nullptr));
        const std::string stranger = std::string(1, first) + ":" + kImage;
        ASSERT_EQ(1, Tavrin_CreateImage(Wide(stranger).c_str(), AsHeader(MakeHeader(2, "pw")), nullptr, &context));
        const std::string untouched = ReadFileBytes(stranger);
        EXPECT_FALSE(Unmount(letter)) << "another stick on the old letter";
        EXPECT_EQ(untouched, ReadFileBytes(stranger));
    }

    usb = std::make_unique<harness::FakeUsbDrive>(stick, harness::FirstFreeDriveLetter(static_cast<char>(first + 1)));
    ASSERT_NE(0, usb->Letter());
    ASSERT_NE(first, usb->Letter());
    ASSERT_TRUE(Unmount(letter));
    EXPECT_FALSE(LetterIsListed(letter));
    EXPECT_EQ(mountsBefore, MountFolders()) << "nothing stays behind";
    const std::string image = std::string(1, usb->Letter()) + ":" + kImage;
    const char again = FreeLetter();
    ASSERT_TRUE(Mount(image, again));
    EXPECT_EQ("written before the pull", ReadFileBytes(Root(again) + "work.txt"));

    // Pulled again with new changes, back on yet another letter: mounting the image there first
    // writes the kept files into it.
    ASSERT_TRUE(WriteFileBytes(Root(again) + "more.txt", "second round"));
    const char second = usb->Letter();
    ASSERT_TRUE(usb->Remove());
    EXPECT_FALSE(Unmount(again));
    usb = std::make_unique<harness::FakeUsbDrive>(stick, harness::FirstFreeDriveLetter(static_cast<char>(second + 1)));
    ASSERT_NE(0, usb->Letter());
    const char third = FreeLetter();
    ASSERT_TRUE(Mount(std::string(1, usb->Letter()) + ":" + kImage, third));
    EXPECT_FALSE(LetterIsListed(again));
    EXPECT_EQ("written before the pull", ReadFileBytes(Root(third) + "work.txt"));
    EXPECT_EQ("second round", ReadFileBytes(Root(third) + "more.txt"));
    ASSERT_TRUE(Unmount(third));
    EXPECT_EQ(mountsBefore, MountFolders());
}

namespace {

constexpr char kStickImage[] = "\\work\\portable.img";

// A stick's volume serial written as a real stick's is, 0 included (some formatting tools write
// it); FakeUsbDrive writes only the serials other than 0 itself.
void WriteStickSerial(const std::string& folder, unsigned long serial)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    char text[16];
    snprintf(text, sizeof text, "%08lx\n", serial);
    WriteFileBytes(JoinPath(folder, ".windows-serial"), text);
}

// A portable disk of the stick's own at its usual place, holding `name` with `text` once written
// back; the image's path on the stick's letter, empty when it could not be made.
std::string MakeStickDisk(const harness::FakeUsbDrive& stick, const std::string& name, const std::string& text)
{
    CreateDirectoryA((stick.Root() + "work").c_str(), nullptr);
    const std::string image = std::string(1, stick.Letter()) + ":" + kStickImage;
    int32_t context = 0;
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF);
    const std::string root = std::string(1, letter) + ":\\";
    if (Tavrin_CreateImage(Wide(image).c_str(), AsHeader(MakeHeader(2, "pw")), nullptr, &context) != 1 ||
        !Tavrin_Mount(Wide(image).c_str(), static_cast<unsigned char>(letter), 0))
        return std::string();
    const bool written = WriteFileBytes(root + name, text);
    return Tavrin_Unmount(static_cast<unsigned char>(letter), 0) && written ? image : std::string();
}

}  // namespace

// Two sticks that look alike: their images at the same place and, but in the last rows, the same
// volume serial (Wine's own, made from the letter, or one written on both, 0 too). A's disk keeps
// changes after A is pulled; B, plugged in on A's letter, opens its own disk meanwhile and never
// receives A's files, and the dismount is not done until A is back (on its letter or another),
// where the changes go.
TEST_F(TavrinNoDataLost, ALookAlikeStickNeverReceivesAnotherDisksChanges)
{
    constexpr unsigned long kMadeFromTheLetter = 0xFFFFFFFF;
    struct Case {
        const char* name;
        unsigned long serialA, serialB;
        bool backElsewhere;
    };
    const Case cases[] = {
        {"serials made from the letter, A back on its letter", kMadeFromTheLetter, kMadeFromTheLetter, false},
        {"serials made from the letter, A back on another letter", kMadeFromTheLetter, kMadeFromTheLetter, true},
        {"one serial written on both, A back on its letter", 0x5EC0A0B0, 0x5EC0A0B0, false},
        {"one serial written on both, A back on another letter", 0x5EC0A0B0, 0x5EC0A0B0, true},
        {"serial 0 on both, A back on its letter", 0, 0, false},
        {"distinct serials, A back on its letter", 0x5EC0A0C1, 0x5EC0A0C2, false},
        {"distinct serials, A back on another letter", 0x5EC0A0C1, 0x5EC0A0C2, true},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folderA = m_folder / ("a" + std::to_string(round));
        const std::string folderB = m_folder / ("b" + std::to_string(round));
        ++round;
        auto stick = [](const std::string& folder, char letter, unsigned long serial) {
            if (serial == kMadeFromTheLetter)
                return std::make_unique<harness::FakeUsbDrive>(folder, letter);
            WriteStickSerial(folder, serial);
            return std::make_unique<harness::FakeUsbDrive>(folder, letter);
        };
        auto stickA = stick(folderA, 0, c.serialA);
        const char first = stickA->Letter();
        ASSERT_NE(0, first);
        const std::string onFirst = MakeStickDisk(*stickA, "a.txt", "A's own");
        ASSERT_FALSE(onFirst.empty());
        const char letter = FreeLetter();
        ASSERT_TRUE(Mount(onFirst, letter));
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "a.txt", "A's change"));
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "added.txt", "added on A"));
        ASSERT_TRUE(stickA->Remove());
        EXPECT_FALSE(Unmount(letter));

        std::string bytesB;
        {
            auto stickB = stick(folderB, first, c.serialB);
            ASSERT_EQ(first, stickB->Letter());
            ASSERT_EQ(onFirst, MakeStickDisk(*stickB, "b.txt", "B's own")) << "B opens its own disk";
            bytesB = ReadFileBytes(onFirst);
            EXPECT_FALSE(Unmount(letter)) << "A's image is not there";
            EXPECT_TRUE(LetterIsListed(letter));
            EXPECT_EQ("A's change", ReadFileBytes(Root(letter) + "a.txt"));
            EXPECT_TRUE(ReadFileBytes(onFirst) == bytesB) << "B's image is left as it was";
            const char look = FreeLetter();
            ASSERT_TRUE(Mount(onFirst, look));
            EXPECT_EQ("B's own", ReadFileBytes(Root(look) + "b.txt"));
            EXPECT_FALSE(FileExists(Root(look) + "a.txt"));
            ASSERT_TRUE(Unmount(look));
            EXPECT_TRUE(ReadFileBytes(onFirst) == bytesB);
        }

        stickA = std::make_unique<harness::FakeUsbDrive>(
            folderA, c.backElsewhere ? harness::FirstFreeDriveLetter(static_cast<char>(first + 1)) : first);
        ASSERT_NE(0, stickA->Letter());
        ASSERT_TRUE(Unmount(letter));
        EXPECT_FALSE(LetterIsListed(letter));
        const char again = FreeLetter();
        ASSERT_TRUE(Mount(std::string(1, stickA->Letter()) + ":" + kStickImage, again));
        EXPECT_EQ("A's change", ReadFileBytes(Root(again) + "a.txt"));
        EXPECT_EQ("added on A", ReadFileBytes(Root(again) + "added.txt"));
        ASSERT_TRUE(Unmount(again));
        EXPECT_TRUE(ReadFileBytes(folderB + kStickImage) == bytesB) << "nothing of A's went into B";
    }
}

// A program that writes a file in place and puts its times back, or a copy of the same size that
// keeps the times, leaves the size and the last write as they were: the change is saved all the
// same, alone or beside an ordinary change of another file.
TEST_F(TavrinNoDataLost, AChangeThatKeepsTheSizeAndTheLastWriteTimeIsSaved)
{
    struct Case {
        const char* name;
        bool copiedOver;
        bool besideAnother;
    };
    const Case cases[] = {{"written in place", false, false},
                          {"written in place beside an ordinary change", false, true},
                          {"copied over, times kept", true, false}};
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string image = NewImage("in-place" + std::to_string(round++) + ".img", 2);
        const char letter = FreeLetter();
        const std::string doc = Root(letter) + "doc.bin";
        const std::string oldBytes = Pattern(64 * 1024, 'd'), newBytes = Pattern(64 * 1024, 'e');
        ASSERT_TRUE(Mount(image, letter));
        ASSERT_TRUE(WriteFileBytes(doc, oldBytes));
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "other.txt", "other"));
        ASSERT_TRUE(Unmount(letter));

        ASSERT_TRUE(Mount(image, letter));
        WIN32_FILE_ATTRIBUTE_DATA before = {};
        ASSERT_TRUE(GetFileAttributesExA(doc.c_str(), GetFileExInfoStandard, &before));
        if (c.copiedOver) {
            const std::string replacement = m_folder / "replacement.bin";
            ASSERT_TRUE(WriteFileBytes(replacement, newBytes));
            HANDLE file = CreateFileA(replacement.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, file);
            SetFileTime(file, &before.ftCreationTime, nullptr, &before.ftLastWriteTime);
            CloseHandle(file);
            ASSERT_TRUE(CopyFileA(replacement.c_str(), doc.c_str(), FALSE));
        } else {
            HANDLE file = CreateFileA(doc.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, file);
            FILETIME created, accessed, written;
            ASSERT_TRUE(GetFileTime(file, &created, &accessed, &written));
            DWORD count = 0;
            EXPECT_TRUE(WriteFile(file, newBytes.data(), static_cast<DWORD>(newBytes.size()), &count, nullptr));
            EXPECT_TRUE(SetFileTime(file, &created, &accessed, &written));
            CloseHandle(file);
        }
        WIN32_FILE_ATTRIBUTE_DATA after = {};
        ASSERT_TRUE(GetFileAttributesExA(doc.c_str(), GetFileExInfoStandard, &after));
        ASSERT_EQ(before.nFileSizeLow, after.nFileSizeLow);
        ASSERT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime)) << "the cheap signs agree";
        ASSERT_EQ(before.dwFileAttributes, after.dwFileAttributes);
        ASSERT_TRUE(newBytes == ReadFileBytes(doc));
        if (c.besideAnother) {
            ASSERT_TRUE(WriteFileBytes(Root(letter) + "other.txt", "changed as well"));
        }
        ASSERT_TRUE(Unmount(letter));

        ASSERT_TRUE(Mount(image, letter));
        EXPECT_TRUE(newBytes == ReadFileBytes(doc)) << "the new bytes were saved";
        EXPECT_EQ(c.besideAnother ? "changed as well" : "other", ReadFileBytes(Root(letter) + "other.txt"));
        ASSERT_TRUE(Unmount(letter));
    }
}

TEST_F(TavrinNoDataLost, HeaderChangedWhileMountedSurvivesTheDismount)
{
    const std::string image = NewImage("pw.img", 2, "before");
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    auto header = HeaderOf(image);
    SetPassword(header, "after");
    ASSERT_NE(0, Tavrin_SetInfo(Wide(image).c_str(), AsHeader(header)));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "f.txt", "both"));
    ASSERT_TRUE(Unmount(letter));
    EXPECT_EQ(header, HeaderOf(image));
    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ("both", ReadFileBytes(Root(letter) + "f.txt"));
}

// A dismount killed at each moment of its write-back: a copy of the image taken right then opens
// with exactly the old or exactly the new files, and the kept mount is written back later.
TEST_F(TavrinNoDataLost, KilledWriteBackLeavesOldOrNewContent)
{
    struct Case {
        const char* phase;
        bool newContentCurrent;
    };
    const Case cases[] = {{"data", false}, {"commit", false}, {"blocks", true}, {"cleanup", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.phase);
        const std::string image = NewImage(std::string("kill-") + c.phase + ".img", 8);
        const char letter = FreeLetter();
        ASSERT_TRUE(Mount(image, letter));
        const std::string oldBig = Pattern(5 * kMiB, 'o');
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "big.bin", oldBig));
        ASSERT_TRUE(Unmount(letter));

        ASSERT_TRUE(Mount(image, letter));
        const std::string newBig = Pattern(9 * kMiB, 'n');
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "big.bin", newBig));
        ASSERT_TRUE(WriteFileBytes(Root(letter) + "added.txt", "new"));

        const std::string journal = m_folder / (std::string("journal-") + c.phase + ".log");
        harness::ChildProcess helper;
        {
            ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", std::string("writeback-pause=") + c.phase);
            ScopedVariable log("SEQUORA_OUTSIDE_JOURNAL", journal);
            ASSERT_TRUE(helper.Start(HelperPath(), std::string("unmount ") + letter));
        }
        const std::string paused = std::string("Tavrin_Unmount paused at ") + c.phase;
        ASSERT_TRUE(harness::WaitUntil([&] { return ReadFileBytes(journal).find(paused) != std::string::npos; },
                                       60000));
        helper.Kill();
        helper.Wait(10000);

        const std::string copy = image + ".copy";
        ASSERT_TRUE(CopyFileA(image.c_str(), copy.c_str(), FALSE));
        EXPECT_EQ(PasswordOf(MakeHeader(8, "secret")), PasswordOf(HeaderOf(copy)));
        const char look = FreeLetter();
        ASSERT_TRUE(Mount(copy, look));
        if (c.newContentCurrent) {
            EXPECT_EQ(newBig, ReadFileBytes(Root(look) + "big.bin"));
            EXPECT_EQ("new", ReadFileBytes(Root(look) + "added.txt"));
        } else {
            EXPECT_EQ(oldBig, ReadFileBytes(Root(look) + "big.bin"));
            EXPECT_FALSE(FileExists(Root(look) + "added.txt"));
        }
        ASSERT_TRUE(Unmount(look));

        // The killed dismount's disk is still listed with its files; dismounting it now finishes.
        EXPECT_EQ(newBig, ReadFileBytes(Root(letter) + "big.bin"));
        ASSERT_TRUE(Unmount(letter));
        ASSERT_TRUE(Mount(image, letter));
        EXPECT_EQ(newBig, ReadFileBytes(Root(letter) + "big.bin"));
        EXPECT_EQ("new", ReadFileBytes(Root(letter) + "added.txt"));
        ASSERT_TRUE(Unmount(letter));
    }
}

namespace {

// An image as the library wrote it before its files had a table: one packed copy of every entry
// (kind, attributes, two times, size, name length, its name in UTF-16, its bytes), named by the
// first volume block.
struct PackedItem {
    std::string name;
    bool isFolder;
    std::string bytes;
};

std::string PackedImage(uint32_t sizeMb, const std::vector<PackedItem>& items)
{
    constexpr uint64_t kTime = 0x01D9000000000000ull;   // some day in 2023
    std::string payload;
    auto put = [&payload](const void* data, size_t size) { payload.append(static_cast<const char*>(data), size); };
    for (const PackedItem& item : items) {
        const std::wstring name = Wide(item.name);
        const uint32_t kind = item.isFolder ? 1 : 2, attributes = item.isFolder ? FILE_ATTRIBUTE_DIRECTORY : 0;
        const uint64_t size = item.bytes.size();
        const uint32_t units = static_cast<uint32_t>(name.size()), reserved = 0;
        put(&kind, 4);
        put(&attributes, 4);
        put(&kTime, 8);
        put(&kTime, 8);
        put(&size, 8);
        put(&units, 4);
        put(&reserved, 4);
        put(name.data(), name.size() * sizeof(wchar_t));
        payload += item.bytes;
    }
    std::string block;
    auto add = [&block](const void* data, size_t size) { block.append(static_cast<const char*>(data), size); };
    const uint64_t sequence = 1, offset = 4096, length = payload.size();
    const uint32_t payloadCrc = outside::Crc32::Of(payload.data(), payload.size());
    const uint32_t count = static_cast<uint32_t>(items.size()), reserved = 0;
    block = "TVRNVOL1";
    add(&sequence, 8);
    add(&offset, 8);
    add(&length, 8);
    add(&payloadCrc, 4);
    add(&count, 4);
    add(&reserved, 4);
    const uint32_t blockCrc = outside::Crc32::Of(block.data(), block.size());
    add(&blockCrc, 4);

    const auto header = MakeHeader(sizeMb, "secret");
    std::string image(uint64_t(sizeMb) * kMiB, '\0');
    image.replace(0, header.size(), std::string(header.begin(), header.end()));
    image.replace(2048, block.size(), block);
    image.replace(4096, payload.size(), payload);
    return image;
}

std::string Utf16Bytes(const std::string& text)
{
    const std::wstring wide = Wide(text);
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

// Where `what` lies in `bytes`, and that it lies there once.
size_t OnlyPlaceOf(const std::string& bytes, const std::string& what)
{
    const size_t at = bytes.find(what);
    EXPECT_NE(std::string::npos, at);
    EXPECT_EQ(std::string::npos, bytes.find(what, at + 1));
    return at;
}

size_t BytesDiffering(const std::string& a, const std::string& b)
{
    size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        count += a[i] != b[i];
    return count;
}

}  // namespace

// An image that is not whole is refused as one that cannot be opened, and stays as it is; one
// that is whole opens with everything it holds.
class TavrinWholeImage : public TavrinTest {
protected:
    // A disk with a folder, a few files and one of 1 MiB, written back once.
    std::string WrittenImage()
    {
        const std::string image = NewImage("whole.img", 4);
        const char letter = FreeLetter();
        EXPECT_TRUE(Mount(image, letter));
        EXPECT_TRUE(CreateDirectoryA((Root(letter) + "letters").c_str(), nullptr));
        EXPECT_TRUE(WriteFileBytes(Root(letter) + "letters\\notes.txt", "first notes"));
        EXPECT_TRUE(WriteFileBytes(Root(letter) + "letters\\more.txt", "more of them"));
        EXPECT_TRUE(WriteFileBytes(Root(letter) + "photo.raw", m_photo));
        EXPECT_TRUE(Unmount(letter));
        return image;
    }

    void ExpectWhole(char letter)
    {
        EXPECT_EQ("first notes", ReadFileBytes(Root(letter) + "letters\\notes.txt"));
        EXPECT_EQ("more of them", ReadFileBytes(Root(letter) + "letters\\more.txt"));
        EXPECT_EQ(m_photo, ReadFileBytes(Root(letter) + "photo.raw"));
    }

    const std::string m_photo = Pattern(kMiB, 'p');
};

TEST_F(TavrinWholeImage, CutShortOrDamagedImagesAreRefusedAndNeverWrittenOver)
{
    const std::string whole = ReadFileBytes(WrittenImage());
    ASSERT_EQ(uint64_t(4) * kMiB, whole.size());
    // The table is the one place that names the files; a file's bytes lie in its extents.
    const size_t record = OnlyPlaceOf(whole, Utf16Bytes("letters\\notes.txt"));
    const size_t photo = OnlyPlaceOf(whole, m_photo);
    auto flipped = [&](std::initializer_list<size_t> places) {
        std::string bytes = whole;
        for (size_t place : places)
            bytes[place] ^= 0x10;
        return bytes;
    };
    struct Case {
        const char* name;
        std::string bytes;
        bool headerReadable;   // Tavrin_GetInfo gives the header (the damage shows only at mount)
        bool opensWhole;
    };
    const Case cases[] = {
        {"cut at the header", whole.substr(0, 2048), false, false},
        {"cut after the volume blocks", whole.substr(0, 4096), false, false},
        {"cut inside a record", whole.substr(0, record + 5), false, false},
        {"cut at half", whole.substr(0, whole.size() / 2), false, false},
        {"cut one byte short", whole.substr(0, whole.size() - 1), false, false},
        {"a bit flipped in a record", flipped({record + 3}), false, false},
        {"bits flipped in the first records", flipped({record - 40, record - 20, record + 2}), false, false},
        {"a bit flipped in a file's bytes", flipped({photo + 1000}), true, false},
        {"a bit flipped in both volume blocks", flipped({2048 + 20, 2560 + 20}), false, false},
        {"a bit flipped in one volume block", flipped({2048 + 20}), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_folder / "damaged.img";
        ASSERT_TRUE(WriteFileBytes(path, c.bytes));
        std::vector<uint8_t> header(2048, 0);
        EXPECT_EQ(c.headerReadable ? 1 : 0, Tavrin_GetInfo(Wide(path).c_str(), AsHeader(header)));
        const char letter = FreeLetter();
        const bool mounted = Mount(path, letter);
        EXPECT_EQ(c.opensWhole, mounted);
        if (mounted) {
            ExpectWhole(letter);
            EXPECT_TRUE(Unmount(letter));
        } else {
            EXPECT_FALSE(LetterIsListed(letter));
            EXPECT_EQ(0u, Tavrin_GetMountedMask());
        }
        EXPECT_TRUE(ReadFileBytes(path) == c.bytes) << "the image is left as it was";
        ASSERT_TRUE(DeleteFileA(path.c_str()));
    }
}

// Bookkeeping blanked by a lost sector or a tool: runs of zeros of 1, 2 and 4 KiB at each KiB of
// the first 12 KiB of a small image, which there holds its header, its volume blocks, the bytes
// of its four files and their table. Each such image is refused, left as it was, or opens with
// every file whole; none opens as an empty disk that the next dismount would write over.
TEST_F(TavrinWholeImage, ZeroedBookkeepingIsRefusedOrOpensWhole)
{
    const std::string image = NewImage("four.img", 2);
    const char letter = FreeLetter();
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.txt", "the first file"}, {"b.txt", "a second one"}, {"notes\\c.txt", "the third"}, {"notes\\d.txt", "four"}};
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(CreateDirectoryA((Root(letter) + "notes").c_str(), nullptr));
    for (const auto& file : files)
        ASSERT_TRUE(WriteFileBytes(Root(letter) + file.first, file.second));
    ASSERT_TRUE(Unmount(letter));
    const std::string whole = ReadFileBytes(image);
    ASSERT_LT(OnlyPlaceOf(whole, Utf16Bytes("notes\\d.txt")), 12u * 1024) << "the table lies in the runs' reach";

    // Every run that changes a byte there hits the header's first fields, the blocks, a file or the
    // table; the header's last KiB and the space beside the blocks hold zeros already.
    size_t refused = 0;
    for (size_t run : {1024u, 2048u, 4096u}) {
        for (size_t at = 0; at + run <= 12 * 1024; at += 1024) {
            std::string bytes = whole;
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + run), '\0');
            if (bytes == whole)
                continue;
            SCOPED_TRACE(std::to_string(run) + " bytes zeroed at " + std::to_string(at));
            const std::string path = m_folder / "zeroed.img";
            ASSERT_TRUE(WriteFileBytes(path, bytes));
            std::vector<uint8_t> header(2048, 0);
            const bool readable = Tavrin_GetInfo(Wide(path).c_str(), AsHeader(header)) != 0;
            const char look = FreeLetter();
            const bool mounted = Mount(path, look);
            EXPECT_TRUE(readable || !mounted);
            if (mounted) {
                for (const auto& file : files)
                    EXPECT_EQ(file.second, ReadFileBytes(Root(look) + file.first)) << file.first;
                EXPECT_TRUE(Unmount(look));
            } else {
                ++refused;
                EXPECT_FALSE(LetterIsListed(look));
                EXPECT_TRUE(ReadFileBytes(path) == bytes) << "a refused image is left as it was";
            }
            ASSERT_TRUE(DeleteFileA(path.c_str()));
        }
    }
    EXPECT_GT(refused, 0u);
}

// Images made before a new image got its first volume block have none until their first
// dismount with changes: such an image opens as an empty disk only while nothing lies past its
// header and it is as long as its header says; anything else is refused and left as it was.
TEST_F(TavrinWholeImage, AnImageWithoutVolumeBlocksOpensEmptyOnlyWhenNothingWasWritten)
{
    const auto header = MakeHeader(2, "secret");
    std::string fresh(2 * kMiB, '\0');
    fresh.replace(0, header.size(), std::string(header.begin(), header.end()));
    std::string written = fresh;
    written.replace(1 * kMiB, 13, "someone's data");
    const struct {
        const char* name;
        std::string bytes;
        bool opens;
    } cases[] = {{"nothing past the header", fresh, true},
                 {"bytes in the data area", written, false},
                 {"longer than its header says", fresh + std::string(4096, '\0'), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_folder / "blockless.img";
        ASSERT_TRUE(WriteFileBytes(path, c.bytes));
        std::vector<uint8_t> read(2048, 0);
        EXPECT_EQ(c.opens ? 1 : 0, Tavrin_GetInfo(Wide(path).c_str(), AsHeader(read)));
        const char letter = FreeLetter();
        EXPECT_EQ(c.opens, Mount(path, letter));
        if (c.opens) {
            ASSERT_TRUE(WriteFileBytes(Root(letter) + "new.txt", "first file"));
            ASSERT_TRUE(Unmount(letter));
            ASSERT_TRUE(Mount(path, letter));
            EXPECT_EQ("first file", ReadFileBytes(Root(letter) + "new.txt"));
            ASSERT_TRUE(Unmount(letter));
        } else {
            EXPECT_TRUE(ReadFileBytes(path) == c.bytes);
        }
        ASSERT_TRUE(DeleteFileA(path.c_str()));
    }
}

// An image written back by an older library: its blocks carry no volume id (0 where the id now
// lies). It opens whole; read-only it stays as it is to the byte, and its first mount that may
// write gives it an id of its own in its blocks, nothing else of it changed.
TEST_F(TavrinWholeImage, AnOlderImageOpensWholeAndGetsAVolumeIdAtItsFirstMount)
{
    constexpr size_t kIdAt = 48, kCrcAt = 52;   // in each block: the id, then the block's checksum
    std::string older = ReadFileBytes(WrittenImage());
    for (size_t block : {2048u, 2560u}) {
        older.replace(block + kIdAt, 4, std::string(4, '\0'));
        const uint32_t crc = outside::Crc32::Of(older.data() + block, kCrcAt);
        older.replace(block + kCrcAt, 4, reinterpret_cast<const char*>(&crc), 4);
    }
    const std::string image = m_folder / "older.img";
    ASSERT_TRUE(WriteFileBytes(image, older));
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter, true));
    ExpectWhole(letter);
    ASSERT_TRUE(Unmount(letter));
    EXPECT_TRUE(ReadFileBytes(image) == older) << "read-only, nothing is written";

    ASSERT_TRUE(Mount(image, letter));
    ExpectWhole(letter);
    ASSERT_TRUE(Unmount(letter));
    const std::string after = ReadFileBytes(image);
    ASSERT_EQ(older.size(), after.size());
    EXPECT_TRUE(after.substr(0, 2048) == older.substr(0, 2048));
    EXPECT_TRUE(after.substr(3072) == older.substr(3072)) << "only the blocks change";
    for (size_t block : {2048u, 2560u})
        EXPECT_NE(std::string(4, '\0'), after.substr(block + kIdAt, 4)) << block;
    ASSERT_TRUE(Mount(image, letter));
    ExpectWhole(letter);
    ASSERT_TRUE(Unmount(letter));
    EXPECT_TRUE(ReadFileBytes(image) == after) << "the id is given once";
}

TEST_F(TavrinWholeImage, AChangeWritesOnlyWhatChangedAndANewDiskOpensWhole)
{
    const std::string image = WrittenImage();
    const std::string before = ReadFileBytes(image);
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ExpectWhole(letter);
    const std::string saved = Pattern(4096, 's');
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "letters\\notes.txt", saved));
    ASSERT_TRUE(Unmount(letter));
    const std::string after = ReadFileBytes(image);
    EXPECT_EQ(before.size(), after.size());
    // The 4 KiB file, the new table and the two blocks; the megabyte beside them is not written.
    EXPECT_LT(BytesDiffering(before, after), 8u * 1024);
    EXPECT_EQ(before.find(m_photo), after.find(m_photo));

    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ(saved, ReadFileBytes(Root(letter) + "letters\\notes.txt"));
    EXPECT_EQ(m_photo, ReadFileBytes(Root(letter) + "photo.raw"));
    ASSERT_TRUE(DeleteFileA((Root(letter) + "letters\\more.txt").c_str()));
    ASSERT_TRUE(Unmount(letter));
    ASSERT_TRUE(Mount(image, letter));
    EXPECT_FALSE(FileExists(Root(letter) + "letters\\more.txt"));
    EXPECT_EQ(saved, ReadFileBytes(Root(letter) + "letters\\notes.txt"));
    EXPECT_EQ(m_photo, ReadFileBytes(Root(letter) + "photo.raw"));
    ASSERT_TRUE(Unmount(letter));
}

TEST_F(TavrinWholeImage, ImagesOfThePackedFormOpenWithTheirDataAndGetATable)
{
    const std::string image = m_folder / "packed.img";
    const std::string big = Pattern(2 * kMiB + 17, 'k');
    ASSERT_TRUE(WriteFileBytes(image, PackedImage(4, {{"docs", true, ""},
                                                      {"docs\\plan.txt", false, "the plan"},
                                                      {"empty.txt", false, ""},
                                                      {"big.bin", false, big}})));
    std::vector<uint8_t> header(2048, 0);
    EXPECT_EQ(1, Tavrin_GetInfo(Wide(image).c_str(), AsHeader(header)));
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ("the plan", ReadFileBytes(Root(letter) + "docs\\plan.txt"));
    EXPECT_TRUE(FileExists(Root(letter) + "empty.txt"));
    EXPECT_EQ(big, ReadFileBytes(Root(letter) + "big.bin"));
    ASSERT_TRUE(WriteFileBytes(Root(letter) + "docs\\plan.txt", "a new plan"));
    ASSERT_TRUE(Unmount(letter));

    ASSERT_TRUE(Mount(image, letter));
    EXPECT_EQ("a new plan", ReadFileBytes(Root(letter) + "docs\\plan.txt"));
    EXPECT_EQ(big, ReadFileBytes(Root(letter) + "big.bin"));
    EXPECT_TRUE(FileExists(Root(letter) + "empty.txt"));
    ASSERT_TRUE(Unmount(letter));
    EXPECT_EQ(uint64_t(4) * kMiB, SizeOf(image));

    // A packed copy whose bytes do not match its checksum is refused, not opened empty.
    std::string damaged = PackedImage(4, {{"docs\\plan.txt", false, "the plan"}});
    damaged[4096 + 60] ^= 1;
    ASSERT_TRUE(WriteFileBytes(image, damaged));
    EXPECT_FALSE(Mount(image, letter));
    EXPECT_TRUE(ReadFileBytes(image) == damaged);
}

TEST_F(TavrinWholeImage, NamesThatClimbOutOfTheDiskAreRefused)
{
    char localAppData[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableA("LOCALAPPDATA", localAppData, MAX_PATH));
    const std::string mounts = std::string(localAppData) + "\\Tavrin\\Mounts";
    const std::string image = m_folder / "climbing.img";
    for (const std::string name : {"..\\escaped.txt", "inner\\..\\..\\escaped.txt", "\\escaped.txt",
                                   "C:\\escaped.txt", "C:escaped.txt", "a/../../escaped.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteFileBytes(image, PackedImage(2, {{"inner", true, ""}, {name, false, "out"}})));
        const char letter = FreeLetter();
        EXPECT_FALSE(Mount(image, letter));
        EXPECT_FALSE(LetterIsListed(letter));
        for (const std::string& place : {mounts + "\\escaped.txt", std::string("C:\\escaped.txt"),
                                         m_folder / "escaped.txt"})
            EXPECT_FALSE(FileExists(place)) << place;
    }
}
