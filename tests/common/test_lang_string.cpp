// The language reader and the brand index, on real INI files.
#include <gtest/gtest.h>

#include <windows.h>

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

// Texts are read a section at a time; what a lookup returns must stay what the profile API returns
// for the same file, key by key, and follow the file when it is written again.
TEST(GetLangString, AnswersAsTheProfileApiDoes)
{
    TempFolder folder("lang-api");
    const std::string file = folder / "Sequora.ini";
    const std::string x258(258, 'x'), x259(259, 'x'), x300(300, 'x');
    ASSERT_TRUE(WriteFileBytes(file,
        "; a comment line\r\n"
        "[Main]\r\n"
        "plain=Next >\r\n"
        "  spaced  =   text with spaces   \r\n"
        "Mixed=Case of the key\r\n"
        "dquoted=\"quoted text\"\r\n"
        "squoted='single quoted'\r\n"
        "lonequote=\"\r\n"
        "emptyquotes=\"\"\r\n"
        "halfquoted=\"open only\r\n"
        "equals=a=b=c\r\n"
        "empty=\r\n"
        "novalue\r\n"
        "dup=first\r\n"
        "dup=second\r\n"
        ";commented=not a text\r\n"
        "long=" + x300 + "\r\n"
        "quoted258=\"" + x258 + "\"\r\n"
        "quoted259=\"" + x259 + "\"\r\n"
        "quoted300=\"" + x300 + "\"\r\n"
        "[main]\r\n"
        "later=in a second section of the same name\r\n"
        "[Other]\r\n"
        "plain=other section\r\n"));
    const char* const keys[][2] = {
        {"Main", "plain"},      {"MAIN", "PLAIN"},      {"Main", "spaced"},    {"Main", "mixed"},
        {"Main", "dquoted"},    {"Main", "squoted"},    {"Main", "lonequote"}, {"Main", "emptyquotes"},
        {"Main", "halfquoted"}, {"Main", "equals"},     {"Main", "empty"},     {"Main", "novalue"},
        {"Main", "dup"},        {"Main", ";commented"}, {"Main", "long"},      {"Main", "quoted258"},
        {"Main", "quoted259"},  {"Main", "quoted300"},  {"Main", "later"},     {"Main", "missing"},
        {"Other", "plain"},     {"Nowhere", "plain"},   {"Main", ""},
    };
    for (const auto& k : keys) {
        char expected[kLangStringMax + 1] = {};
        GetPrivateProfileStringA(k[0], k[1], "???", expected, sizeof expected, file.c_str());
        EXPECT_EQ(GetLangString(file, k[0], k[1]), expected) << k[0] << "." << k[1];
    }

    // Written again (another size): the next lookup reads the new text.
    ASSERT_EQ(GetLangString(file, "Main", "plain"), "Next >");
    ASSERT_TRUE(WriteFileBytes(file, "[Main]\r\nplain=Weiter >>\r\n"));
    EXPECT_EQ(GetLangString(file, "Main", "plain"), "Weiter >>");
    EXPECT_EQ(GetLangString(file, "Main", "dup"), "???");
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
    EXPECT_EQ(FolderOfPath("C:\\a\\b\\brixom.exe"), "C:\\a\\b");
    EXPECT_EQ(FolderOfPath("C:\\brixom.exe"), "C:");
    EXPECT_EQ(FolderOfPath("brixom.exe"), "");
    EXPECT_EQ(GetProgramFolder(), TestBinDir());
}

TEST(SystemInfo, Wow64OnlyForA32BitProcessOn64BitWindows)
{
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    const bool windows64 = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
    // The system names the machine's own architecture in this variable for a 32-bit process on
    // 64-bit Windows, and only for such a process.
    char native[32] = {};
    const bool underWow64 = GetEnvironmentVariableA("PROCESSOR_ARCHITEW6432", native, sizeof native) > 0;
    EXPECT_EQ(underWow64, windows64 && sizeof(void*) == 4);
    EXPECT_EQ(IsWow64() != FALSE, underWow64);
    EXPECT_EQ(IsWindows64Bit(), windows64);
    // The suite's Wine prefixes are 64-bit ones: the 32-bit build's run is where the answer is yes.
    if (harness::IsRunningUnderWine() && sizeof(void*) == 4) {
        EXPECT_TRUE(IsWow64());
    }
    EXPECT_NE(LastErrorText(ERROR_FILE_NOT_FOUND).find("error 2"), std::string::npos);
}
