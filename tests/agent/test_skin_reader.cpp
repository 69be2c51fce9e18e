// The skin-file reader on archives the test builds: values found by name, encrypted entries,
// every block type of the deflate format, and broken, truncated, looping and oversized files
// refused cleanly without a temporary file left behind.
#include <gtest/gtest.h>

#include "Paths.h"
#include "SkinFixtures.h"
#include "TempFolder.h"

#include "Inflater.h"
#include "SkinTempFile.h"
#include "SkinZip.h"
#include "Tsk2SkinFileReader.h"
#include "TskFileThemeMgr.h"
#include "SkinKeys.h"

#include <windows.h>

#include <set>

using namespace fixtures;

namespace {

// Files in the temporary folder now, to see that a read leaves none behind.
std::set<std::string> TempFiles()
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((TempFolderPath() + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

std::string StandardSkin()
{
    return SkinData({{"SKIN2_FORMCOLOR", 1, Int32(0x00C0D0E0)},
                     {"SKIN2_TITLEBARCAPTIONTOP", 1, Int32(-7)},
                     {"SKIN2_BUTTONTRANS", 2, std::string(1, '\x01')},
                     {"Author", 3, "Sequora makers"},
                     {"SKIN2_BUTTON", 0, BitmapFile(6, 2, 10, 200, 30)},
                     {"Unknown", 9, "skipped"}});
}

struct Archive {
    harness::TempFolder folder{"skin"};
    std::string path;
    explicit Archive(const std::string& bytes) : path(folder / "theme.skn") { harness::WriteFileBytes(path, bytes); }
};

}  // namespace

TEST(SkinReader, ValuesOfASkinFileAreFoundByNameWithoutRegardToCase)
{
    Archive a(SkinArchive({DeflatedEntry("SKINDATA.SK2", StandardSkin())}));
    Tsk2SkinFileReader reader(a.path, "");
    ASSERT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.FindInteger("SKIN2_FORMCOLOR"), 0x00C0D0E0);
    EXPECT_EQ(reader.FindInteger("skin2_titlebarcaptiontop"), -7);
    EXPECT_EQ(reader.FindInteger("SKIN2_NOSUCHKEY"), -1);
    EXPECT_EQ(reader.FindFlag("SKIN2_BUTTONTRANS"), 1);
    EXPECT_EQ(reader.FindFlag("SKIN2_NOSUCHFLAG"), 0);
    EXPECT_EQ(reader.FindText("author"), "Sequora makers");
    TBitmap* button = reader.FindBitmap("Skin2_Button");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Width(), 6);
    EXPECT_EQ(GetPixel(button->DC(), 5, 1), RGB(10, 200, 30));
    EXPECT_EQ(reader.EntryCount(), 5u);
}

TEST(SkinReader, TheEntryIsFoundInLowerCaseBehindRecordsWithExtraFieldsAndComments)
{
    ZipEntry readme = DeflatedEntry("readme.txt", "not the skin");
    readme.extra = std::string("\x55\x54\x05\x00\x01\x02\x03\x04\x05", 9);
    readme.comment = "a comment on the first record";
    ZipEntry skin = DeflatedEntry("skindata.sk2", StandardSkin());
    skin.extra = std::string(7, '\x11');
    Archive a(SkinArchive({readme, skin}));
    Tsk2SkinFileReader reader(a.path, "");
    ASSERT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.FindInteger("SKIN2_FORMCOLOR"), 0x00C0D0E0);
}

TEST(SkinReader, EveryBlockTypeInflatesToWhatWentIn)
{
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "skin " + std::to_string(i % 97) + (i % 5 ? " colour;" : " bitmap\n");
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>((i * 7919) >> 3);
    const struct {
        const char* what;
        std::string data;
        BlockKind kind;
        size_t block;
    } cases[] = {{"stored", text, Stored, 1 << 20},
                 {"stored, several blocks", binary, Stored, 65535},
                 {"fixed", text, Fixed, 1 << 20},
                 {"fixed, several blocks", text, Fixed, 5000},
                 {"dynamic", text, Dynamic, 1 << 20},
                 {"dynamic, several blocks", binary, Dynamic, 20000},
                 {"one byte", "x", Dynamic, 1 << 20},
                 {"fixed, stored and dynamic in turn", text, Mixed, 3001},
                 {"stored after each kind, short blocks", binary.substr(0, 5000), Mixed, 97}};
    for (const auto& c : cases) {
        std::string packed = Deflate(c.data, c.kind, c.block);
        Inflater inflater(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), c.data.size());
        ASSERT_EQ(inflater.Run(), Inflater::Done) << c.what;
        EXPECT_EQ(std::string(inflater.Output().begin(), inflater.Output().end()), c.data) << c.what;
    }
}

TEST(SkinReader, AStoredBlockAfterLongCodesStartsAtItsOwnByte)
{
    std::string packed = DeepCodesThenStored("stored after deep codes");
    Inflater inflater(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), 100);
    ASSERT_EQ(inflater.Run(), Inflater::Done);
    EXPECT_EQ(std::string(inflater.Output().begin(), inflater.Output().end()), "nabstored after deep codes");
}

TEST(SkinReader, StreamsMadeByAStandardDeflaterInflate)
{
    // Raw deflate streams made at the highest level by a common library: a fixed block with
    // back-references, and a dynamic block whose code lengths use the repeat codes.
    const unsigned char fixedBlock[] = {0xcb, 0x48, 0xcd, 0xc9, 0xc9, 0x57, 0xc8, 0x40, 0x27, 0x75, 0x14,
                                        0x8a, 0xb3, 0x33, 0xf3, 0x14, 0xd2, 0x32, 0x73, 0x52, 0x01};
    const unsigned char dynamicBlock[] = {
        0x55, 0x8f, 0x39, 0x0e, 0xc3, 0x40, 0x0c, 0x03, 0xbf, 0xb4, 0xa4, 0xd6, 0x7b, 0xc0, 0x60, 0x95, 0x2a, 0x88,
        0x11, 0x03, 0xf1, 0x03, 0xfc, 0xff, 0x5f, 0x58, 0x5d, 0x96, 0xe5, 0xe8, 0xa0, 0x46, 0xd7, 0xe7, 0xfd, 0xe5,
        0xfd, 0x3a, 0x8f, 0xf3, 0x57, 0x54, 0xf6, 0xeb, 0x8f, 0x10, 0x56, 0xa4, 0xea, 0x8a, 0xa1, 0xb9, 0x62, 0x15,
        0xda, 0xca, 0x9b, 0xb8, 0xad, 0xdc, 0x14, 0xd6, 0xef, 0xaa, 0xb6, 0x3f, 0xd4, 0x2c, 0x7e, 0x6a, 0xd8, 0x75,
        0x14, 0xa1, 0xb8, 0x5e, 0xfa, 0xd1, 0x67, 0x28, 0x54, 0x4b, 0x41, 0xa4, 0x96, 0xdd, 0x41, 0x8a, 0x4e, 0x33,
        0x41, 0xaa, 0xba, 0x2b, 0x9a, 0x9c, 0xbb, 0x62, 0x58, 0x61, 0xa8, 0x87, 0x15, 0xa6, 0x00, 0xb3, 0x63, 0xfa,
        0xfa, 0x87, 0x4c, 0xdf, 0xe9, 0x33, 0x14, 0xc3, 0x72, 0x18, 0x62, 0xdf, 0x1f};
    std::string colours;
    for (int i = 0; i < 24; ++i)
        colours += "SKIN2_COLOR" + std::to_string(i) + "=" + std::to_string(i * i % 251) + ";";
    const struct {
        const unsigned char* data;
        size_t size;
        std::string expected;
    } cases[] = {{fixedBlock, sizeof fixedBlock, "hello hello hello hello, skin file"},
                 {dynamicBlock, sizeof dynamicBlock, colours}};
    for (const auto& c : cases) {
        Inflater inflater(c.data, c.size, c.expected.size());
        ASSERT_EQ(inflater.Run(), Inflater::Done);
        EXPECT_EQ(std::string(inflater.Output().begin(), inflater.Output().end()), c.expected);
        Inflater cut(c.data, c.size / 2, c.expected.size());
        EXPECT_NE(cut.Run(), Inflater::Done);
    }
}

TEST(SkinReader, EncryptedEntriesNeedTheRightPassword)
{
    ZipEntry skin = DeflatedEntry("SKINDATA.SK2", StandardSkin());
    skin.password = "Secret7";
    ZipEntry byTime = skin;
    byTime.flags = 8;           // the check byte then comes from the modification time
    for (const ZipEntry& entry : {skin, byTime}) {
        Archive a(SkinArchive({entry}));
        auto before = TempFiles();
        EXPECT_FALSE(Tsk2SkinFileReader(a.path, "").Loaded());
        EXPECT_FALSE(Tsk2SkinFileReader(a.path, "secret7").Loaded());
        EXPECT_EQ(TempFiles(), before);
        Tsk2SkinFileReader right(a.path, "Secret7");
        ASSERT_TRUE(right.Loaded());
        EXPECT_EQ(right.FindFlag("SKIN2_BUTTONTRANS"), 1);
        harness::TempFolder out("out");
        EXPECT_EQ(ExtractZipEntry(a.path, "SKINDATA.SK2", out / "x", "wrong"), zePasswordOrSize);
        EXPECT_FALSE(harness::FileExists(out / "x"));
    }
}

TEST(SkinReader, AChainWhoseFirstRecordEndsItGivesAnEmptySkin)
{
    Archive a(SkinArchive({DeflatedEntry("SKINDATA.SK2", SkinData({}))}));
    Tsk2SkinFileReader reader(a.path, "");
    EXPECT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.EntryCount(), 0u);
}

namespace {

std::string Patched(std::string bytes, size_t at, const std::string& with)
{
    bytes.replace(at, with.size(), with);
    return bytes;
}

}  // namespace

TEST(SkinReader, BrokenFilesAreRefusedCleanly)
{
    std::string skin = StandardSkin();
    std::string good = SkinArchive({DeflatedEntry("SKINDATA.SK2", skin)});
    const size_t firstNext = 24 + 73;       // next-offset field of the first record
    struct Case {
        const char* what;
        std::string archive;
        int extractResult;          // what ExtractZipEntry answers
    };
    ZipEntry bomb = DeflatedEntry("SKINDATA.SK2", std::string(4 << 20, 'A'));
    bomb.size = 1000;               // declares far less than it inflates to
    ZipEntry shortOne = DeflatedEntry("SKINDATA.SK2", skin);
    shortOne.size += 10;
    ZipEntry garbage = DeflatedEntry("SKINDATA.SK2", skin);
    garbage.compressed = std::string(200, '\xFF');
    ZipEntry empty = DeflatedEntry("SKINDATA.SK2", "");
    std::string noSk = good;
    noSk[0] = 'P';
    noSk[1] = 'K';
    const std::vector<Case> extracting = {
        {"not an archive", "hello", zeFailed},
        {"PK in place of SK", noSk, zeFailed},
        {"an archive comment", SkinArchive({DeflatedEntry("SKINDATA.SK2", skin)}, "comment"), zeFailed},
        {"no such entry", SkinArchive({DeflatedEntry("OTHER.SK2", skin)}), zeFailed},
        {"truncated", good.substr(0, good.size() / 2), zeFailed},
        {"directory offset past the end", Patched(good, good.size() - 6, std::string("\xF0\xFF\x00\x00", 4)), zeFailed},
        {"corrupt deflate data", SkinArchive({garbage}), zeFailed},
        {"empty entry", SkinArchive({empty}), zeFailed},
        {"inflates past its declared size", SkinArchive({bomb}), zePasswordOrSize},
        {"shorter than declared", SkinArchive({shortOne}), zePasswordOrSize},
    };
    harness::TempFolder out("out");
    for (const Case& c : extracting) {
        Archive a(c.archive);
        EXPECT_EQ(ExtractZipEntry(a.path, "SKINDATA.SK2", out / "data", ""), c.extractResult) << c.what;
        EXPECT_FALSE(harness::FileExists(out / "data")) << c.what;
    }
    EXPECT_EQ(ExtractZipEntry(out / "missing.skn", "SKINDATA.SK2", out / "data", ""), zeFailed);

    // Archives that extract but whose skin data is malformed.
    std::string loop = Patched(skin, firstNext, Int32(24));                 // first record points at itself
    std::string wild = Patched(skin, firstNext, Int32(0x7FFFFFF0));          // next record far outside
    std::string longHeader = Patched(skin, 12, Int32(100000));
    std::string bigInt = Patched(skin, 24 + 69, Int32(8));                   // integer of 8 bytes
    std::string longName = Patched(skin, 24, std::string(64, 'N'));          // name fills its field
    std::string badBitmap = SkinData({{"SKIN2_BUTTON", 0, "BMnot a bitmap"}});
    std::string dataOutside = Patched(skin, 24 + 65, Int32(0x7FFFFFF0));
    const std::pair<const char*, std::string> malformed[] = {
        {"looping chain", loop},         {"record outside the data", wild}, {"header longer than its record", longHeader},
        {"oversized integer", bigInt},   {"name without an end", longName},  {"broken bitmap", badBitmap},
        {"value outside the data", dataOutside}, {"shorter than a header", "tiny"}};
    for (const auto& m : malformed) {
        Archive a(SkinArchive({DeflatedEntry("SKINDATA.SK2", m.second)}));
        auto before = TempFiles();
        EXPECT_THROW(Tsk2SkinFileReader(a.path, ""), TSkinReadError) << m.first;
        EXPECT_EQ(TempFiles(), before) << m.first;
        TskFileThemeMgr manager;
        EXPECT_FALSE(manager.LoadFile(a.path, "")) << m.first;
        EXPECT_FALSE(manager.HasReader()) << m.first;
        EXPECT_EQ(manager.GetColor(SKIN2_FORMCOLOR), 0) << m.first;
    }
}

TEST(SkinReader, TheManagerAnswersByKeyIndex)
{
    Archive a(SkinArchive({DeflatedEntry("SKINDATA.SK2", StandardSkin())}));
    TskFileThemeMgr manager;
    EXPECT_EQ(manager.GetColor(SKIN2_FORMCOLOR), 0);       // no reader yet
    EXPECT_FALSE(manager.LoadFile(a.folder / "absent.skn", ""));
    ASSERT_TRUE(manager.LoadFile(a.path, ""));
    EXPECT_EQ(manager.GetColor(SKIN2_FORMCOLOR), 0x00C0D0E0);
    EXPECT_EQ(manager.GetColor(SKIN2_FORMCOLOR + 128), 0x00C0D0E0);    // indexes wrap at 128
    EXPECT_EQ(manager.GetColor(SKIN2_MENUITEMCOLOR), -1);
    EXPECT_EQ(manager.GetInteger(SKIN2_TITLEBARCAPTIONTOP), -7);
    EXPECT_EQ(manager.GetBool(SKIN2_BUTTONTRANS), 1);
    EXPECT_EQ(manager.GetBool(SKIN2_CHECKBOXTRANS), 0);
    EXPECT_NE(manager.GetBitmap(SKIN2_BUTTON), nullptr);
    EXPECT_EQ(manager.GetBitmap(SKIN2_CHECKBOX), nullptr);
    // A missing file keeps the reader it had.
    EXPECT_FALSE(manager.LoadFile(a.folder / "absent.skn", ""));
    EXPECT_TRUE(manager.HasReader());
}
