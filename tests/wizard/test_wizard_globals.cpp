// The wizard's process-wide helpers that need no window.
#include <gtest/gtest.h>

#include "Paths.h"
#include "WizardGlobals.h"

TEST(WizardGlobals, LanguageFileLiesInTheProgramsLangFolder)
{
    struct Case {
        const char* program;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Sequora\\brixom.exe", "C:\\Program Files\\Sequora\\Lang\\Sequora.ini"},
        {"E:\\brixom.exe", "E:\\Lang\\Sequora.ini"},
        {"brixom.exe", "brixom.exe\\Lang\\Sequora.ini"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageFilePathFor(c.program), c.expected) << c.program;
}

TEST(WizardGlobals, LumettaIsStartedByTheLauncherOfTheWindowsBitness)
{
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    const bool windows64 = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
    EXPECT_STREQ(ObentilProgramName(), windows64 ? "Obentil64.exe" : "Obentil32.exe");
    // The suite's Wine prefixes are 64-bit ones: the 32-bit build asks IsWow64 and must hear yes.
    if (harness::IsRunningUnderWine() && sizeof(void*) == 4) {
        EXPECT_STREQ(ObentilProgramName(), "Obentil64.exe");
    }
}
