// The language reader and the brand index, on real INI files.
#include <gtest/gtest.h>

#include <string>

#include "LangString.h"
#include "Paths.h"
#include "ProgramFolder.h"
#include "SystemInfo.h"
#include "TempFolder.h"

using namespace harness;

TEST(GetLangString, ReadsTextsAndFallsBackToTheDefault)
{
    TempFolder folder("lang");
    const std::string file = folder / "Sequora.ini";
    const std::string longValue(300, 'x');
    ASSERT_TRUE(WriteFileBytes(file, "[Main]\r\nbtnNext=Next >\r\nempty=\r\npercent=100% sure %s %n\r\nlong=" +
                                         longValue + "\r\n"));
    struct Case {
        const char* file;
        const char* section;
        const char* key;
        std::string expected;
    };
    const std::string missingFile = folder / "Missing.ini";
    const Case cases[] = {
        {file.c_str(), "Main", "btnNext", "Next >"},
        {file.c_str(), "Main", "nothere", "???"},
        {file.c_str(), "Other", "btnNext", "???"},
        {file.c_str(), "Main", "empty", ""},                     // empty, not the default
        {file.c_str(), "Main", "percent", "100% sure %s %n"},   // read as it stands
        {file.c_str(), "Main", "long", std::string(259, 'x')},   // cut to 259
        {missingFile.c_str(), "Main", "btnNext", "???"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetLangString(c.file, c.section, c.key), c.expected) << c.section << "." << c.key;
    EXPECT_EQ(GetLangString(missingFile, "Main", "btnNext", "fallback"), "fallback");
}

TEST(GetBrandIndex, MapsCompanyNamesExactlyAndLowerCased)
{
    struct Case {
        const char* brand;
        int index;
    };
    const Case cases[] = {
        {"norvalix", 0}, {"coldrey", 1}, {"pemba", 2},    {"marsolo", 3},   {"ombrel", 4},  {"tarnwick", 5},
        {"kestrin", 6},  {"NORVALIX", 0}, {"Kestrin", 6}, {"TarnWick", 5},  {" coldrey", 0}, {"coldrey ", 0},
        {"", 0},         {"???", 0},      {"pembas", 0},  {"marsol", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetBrandIndex(c.brand), c.index) << "[" << c.brand << "]";
}

TEST(ProgramFolder, IsThePathUpToTheLastBackslash)
{
    EXPECT_EQ(FolderOfPath("C:\\a\\b\\Brixom.exe"), "C:\\a\\b");
    EXPECT_EQ(FolderOfPath("C:\\Brixom.exe"), "C:");
    EXPECT_EQ(FolderOfPath("Brixom.exe"), "");
    EXPECT_EQ(GetProgramFolder(), TestBinDir());
}

TEST(SystemInfo, Wow64OnlyForA32BitProcessOn64BitWindows)
{
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    const bool windows64 = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
    EXPECT_EQ(IsWindows64Bit(), windows64);
    EXPECT_EQ(IsWow64() != FALSE, windows64 && sizeof(void*) == 4);
    EXPECT_NE(LastErrorText(ERROR_FILE_NOT_FOUND).find("error 2"), std::string::npos);
}
