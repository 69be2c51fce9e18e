// Quilmar.dll as the wizard uses it: images hidden and listed while protected, plain files again
// once released, one list for every program of the user.
#include "QuilmarApi.h"
#include "TavrinFixture.h"

#include "Paths.h"
#include "Registry.h"

#include <windows.h>

#include <cctype>
#include <cstring>

using namespace tavrintest;

namespace {

constexpr const char* kListKey = "Software\\Quilmar\\Protected";

struct Entry {
    std::string path;
    uint8_t kind;
    uint32_t state;
};

std::vector<Entry> Listed()
{
    std::vector<Entry> entries;
    const uint32_t count = Quilmar_GetProtectedCount();
    for (uint32_t i = 0; i < count; ++i) {
        std::vector<char> path(1024 + 16, 0x5A);
        std::vector<char> a(1024, 0);
        std::vector<char> b(1024, 0);
        memset(path.data(), 0, 1024);
        uint8_t kind = 0xEE;
        uint32_t state = 0xEEEEEEEE;
        if (Quilmar_GetProtectedEntry(i, path.data(), a.data(), b.data(), &kind, &state)) {
            EXPECT_EQ(std::string(16, 0x5A), std::string(path.data() + 1024, 16)) << "written past 1024 bytes";
            entries.push_back({path.data(), kind, state});
        }
    }
    return entries;
}

// How the wizard shows a listed path and hands it back: first character as it is, the rest lower.
std::string AsTheWizardShowsIt(const std::string& path)
{
    std::string shown = path;
    for (size_t i = 1; i < shown.size(); ++i)
        shown[i] = static_cast<char>(tolower(static_cast<unsigned char>(shown[i])));
    return shown;
}

class QuilmarTest : public TavrinTest {
protected:
    void SetUp() override
    {
        TavrinTest::SetUp();
        harness::DeleteRegistryTree(HKEY_CURRENT_USER, kListKey);
    }
    void TearDown() override
    {
        harness::DeleteRegistryTree(HKEY_CURRENT_USER, kListKey);
        TavrinTest::TearDown();
    }
};

}  // namespace

TEST_F(QuilmarTest, ProtectHidesAndListsReleaseRestoresWhateverTheCase)
{
    const std::string image = NewImage("Locked Disk.IMG");
    ASSERT_TRUE(SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 1));
    const DWORD hidden = GetFileAttributesA(image.c_str());
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), hidden);
    const auto entries = Listed();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(image, entries[0].path);
    EXPECT_EQ(1, entries[0].kind);
    EXPECT_EQ(1u, entries[0].state);

    // Protected again: still one entry, and the first attributes are the ones restored.
    ASSERT_NE(0, Quilmar_SetProtection(AsTheWizardShowsIt(image).c_str(), 0, 0, 1));
    EXPECT_EQ(1u, Quilmar_GetProtectedCount());

    ASSERT_NE(0, Quilmar_SetProtection(AsTheWizardShowsIt(image).c_str(), 0, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesA(image.c_str()));
    EXPECT_EQ(0u, Quilmar_GetProtectedCount());
    std::vector<uint8_t> header(2048, 0);
    EXPECT_NE(0, Tavrin_GetInfo(Wide(image).c_str(), AsHeader(header)));
    const char letter = FreeLetter();
    ASSERT_TRUE(Mount(image, letter));
    ASSERT_TRUE(Unmount(letter));
    ASSERT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 1));
    EXPECT_TRUE(GetFileAttributesA(image.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "protected again after a dismount";
}

TEST_F(QuilmarTest, ReleaseIsIdempotentAndForgetsImagesThatAreGone)
{
    const std::string image = NewImage("plain.img");
    EXPECT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 0)) << "never protected";
    ASSERT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 1));
    EXPECT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 0));
    EXPECT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 0)) << "released twice";
    EXPECT_FALSE(GetFileAttributesA(image.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    ASSERT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 1));
    SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileA(image.c_str()));
    EXPECT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 0));
    EXPECT_EQ(0u, Quilmar_GetProtectedCount());
}

TEST_F(QuilmarTest, RefusesWhatItCannotProtectAndWhatTheKnobsRefuse)
{
    const std::string image = NewImage("r.img");
    const std::string longPath = m_folder / (std::string(260, 'x') + ".img");
    struct Case {
        const char* name;
        std::string path;
        int protect;
    };
    const Case cases[] = {{"path of 260 characters or more", longPath, 1},
                          {"release of such a path", longPath, 0},
                          {"missing file", m_folder / "missing.img", 1},
                          {"a folder", m_folder.Path(), 1},
                          {"empty path", "", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(0, Quilmar_SetProtection(c.path.c_str(), 0, 0, c.protect)) << c.name;
    EXPECT_EQ(0, Quilmar_SetProtection(nullptr, 0, 0, 1));
    {
        ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "protect-refused");
        EXPECT_EQ(0, Quilmar_SetProtection(image.c_str(), 0, 0, 1));
        EXPECT_FALSE(GetFileAttributesA(image.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    }
    ASSERT_NE(0, Quilmar_SetProtection(image.c_str(), 0, 0, 1));
    {
        ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "release-refused");
        EXPECT_EQ(0, Quilmar_SetProtection(image.c_str(), 0, 0, 0));
        EXPECT_TRUE(GetFileAttributesA(image.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    }
    EXPECT_EQ(0u + 1, Quilmar_GetProtectedCount());
}

TEST_F(QuilmarTest, SeededEntriesOfAnyKindAndStateAreListedAsSeeded)
{
    ASSERT_TRUE(harness::WriteRegistryString(HKEY_CURRENT_USER, kListKey, "C:\\disks\\hidden.img", "0 1"));
    ASSERT_TRUE(harness::WriteRegistryString(HKEY_CURRENT_USER, kListKey, "C:\\disks\\normal.img", "1 1 32"));
    ASSERT_TRUE(harness::WriteRegistryString(HKEY_CURRENT_USER, kListKey, "C:\\disks\\other.img", "1 2"));
    const auto entries = Listed();
    ASSERT_EQ(3u, entries.size());
    struct Expected {
        const char* path;
        uint8_t kind;
        uint32_t state;
    };
    for (const Expected& e : {Expected{"C:\\disks\\hidden.img", 0, 1}, Expected{"C:\\disks\\normal.img", 1, 1},
                              Expected{"C:\\disks\\other.img", 1, 2}}) {
        bool found = false;
        for (const Entry& entry : entries)
            if (entry.path == e.path) {
                found = true;
                EXPECT_EQ(e.kind, entry.kind) << e.path;
                EXPECT_EQ(e.state, entry.state) << e.path;
            }
        EXPECT_TRUE(found) << e.path;
    }
    char path[1024] = {};
    char a[1024] = {};
    char b[1024] = {};
    uint8_t kind = 0;
    uint32_t state = 0;
    EXPECT_EQ(0, Quilmar_GetProtectedEntry(3, path, a, b, &kind, &state));
    EXPECT_EQ(0, Quilmar_GetProtectedEntry(0xFFFFFFFFu, path, a, b, &kind, &state));
}

TEST_F(QuilmarTest, ServiceIsReadyOnceStarted)
{
    ASSERT_NE(0, Quilmar_StartService());
    EXPECT_NE(0, Quilmar_IsServiceRunning());
    ScopedVariable faults("SEQUORA_OUTSIDE_FAULTS", "quilmar-not-ready");
    EXPECT_EQ(0, Quilmar_IsServiceRunning());
}
