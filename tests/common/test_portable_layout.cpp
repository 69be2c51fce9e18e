// The portable layout is stored on users' drives: every place Brixom writes and Agent reads, spelt
// out here once, so a changed name fails here before it splits the programs.
#include <gtest/gtest.h>

#include <string>

#include "PortableLayout.h"

TEST(PortableLayout, EveryPlaceOnADrive)
{
    const PortableLayout drive = PortableLayout::OnDrive('E');
    const std::string work = "E:\\{SEQUORA-WORK}";
    const std::string hiding = work + "\\{NORVALIX-SEQUORA-4FDD4DF77DEE}";
    const std::string image = "{1A401BED-0CD1-4216-8848-4FDD4DF77DEE}";
    const struct {
        std::string actual;
        std::string expected;
    } places[] = {
        {drive.Root(), "E:\\"},
        {drive.WorkFolder(), work},
        {drive.HidingFolder(), hiding},
        {drive.RestFolder(), hiding + "\\aux"},
        {drive.WorkPlace(), work + "\\" + image},
        {drive.RestPlace(), hiding + "\\aux\\" + image},
        {drive.UnfinishedPlace(), work + "\\" + image + ".unfinished"},
        {drive.InWorkFolder(PortableLayout::kAgentExe), work + "\\Agent.exe"},
        {drive.InWorkFolder(PortableLayout::kAgentIni), work + "\\Agent.ini"},
        {drive.InWorkFolder(PortableLayout::kDriverLibrary), work + "\\Tavrin.dll"},
        {drive.InHidingFolder(PortableLayout::kDesktopIni), hiding + "\\desktop.ini"},
        {PortableLayout::RestFolderInWork(), "{NORVALIX-SEQUORA-4FDD4DF77DEE}\\aux"},
    };
    for (const auto& place : places)
        EXPECT_EQ(place.actual, place.expected);

    // A folder standing in for a drive, as the tests' fake USB drives are.
    EXPECT_EQ(PortableLayout("C:\\usb\\").RestPlace(), "C:\\usb\\{SEQUORA-WORK}\\{NORVALIX-SEQUORA-4FDD4DF77DEE}\\aux\\" + image);
}
