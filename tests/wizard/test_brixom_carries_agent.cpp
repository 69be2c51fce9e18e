// Brixom carries what it writes onto a USB drive: the Agent built beside it, byte for byte, with
// the desktop.ini and the reference language files.
#include <gtest/gtest.h>

#include "Paths.h"

#include <windows.h>

using namespace harness;

namespace {

std::string CarriedItem(HMODULE module, const char* name)
{
    HRSRC found = FindResourceA(module, name, "PORTABLEDISK");
    if (!found)
        return std::string();
    HGLOBAL loaded = LoadResource(module, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
}

}  // namespace

TEST(BrixomCarries, TheBuiltAgentAndTheDriveFiles)
{
    HMODULE brixom = LoadLibraryExA(JoinPath(ProgramDir(), "brixom.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(brixom, nullptr);
    std::string agent = ReadFileBytes(JoinPath(ProgramDir(), "Agent.exe"));
    ASSERT_FALSE(agent.empty());
    EXPECT_EQ(CarriedItem(brixom, "AGENT.EXE"), agent);
    EXPECT_EQ(CarriedItem(brixom, "AGENT.EXE").substr(0, 2), "MZ");
    for (const char* item : {"DESKTOP.INI", "LANGUAGE.INI", "LANGUAGE_PEMBA.INI", "LANGUAGE_TARNWICK.INI"})
        EXPECT_FALSE(CarriedItem(brixom, item).empty()) << item;
    EXPECT_EQ(CarriedItem(brixom, "LANGUAGE.INI"), ReadFileBytes(JoinPath(ProgramDir(), "Agent.ini")));
    FreeLibrary(brixom);
}
