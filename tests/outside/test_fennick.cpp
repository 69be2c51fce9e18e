// Fennick.dll: which drive letters are USB disks, as the wizard's and the tray's scans ask it.
#include "FennickApi.h"
#include "TavrinFixture.h"

#include "FakeUsbDrive.h"

#include <windows.h>

using namespace tavrintest;

class FennickTest : public TavrinTest {};

TEST_F(FennickTest, RemovableDrivesAreUsbAndFixedDisksNonLettersAndVirtualDisksAreNot)
{
    harness::FakeUsbDrive usb(m_folder / "stick");
    ASSERT_NE(0, usb.Letter());
    const std::string image = NewImage("v.img");
    const char mounted = FreeLetter();
    ASSERT_TRUE(Mount(image, mounted));
    const char unused = FreeLetter();

    struct Case {
        const char* name;
        char letter;
        int expected;
    };
    const Case cases[] = {{"the USB drive", usb.Letter(), 1},
                          {"the USB drive, lower case", static_cast<char>(usb.Letter() | 0x20), 1},
                          {"the system drive", 'C', 0},
                          {"a mounted virtual disk", mounted, 0},
                          {"an unused letter", unused, 0},
                          {"a digit", '1', 0},
                          {"no letter", '\0', 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Fennick_IsUsbDisk(c.letter) != 0 ? 1 : 0) << c.name;

    ASSERT_TRUE(usb.Remove());
    EXPECT_EQ(0, Fennick_IsUsbDisk(usb.Letter())) << "a pulled drive";
}
