// Tavrin.dll as the programs use it: images made, read and rewritten, disks mounted on real drive
// letters and dismounted again, without ever losing the disk's files.
#include "TavrinApi.h"

#include <gtest/gtest.h>

TEST(TavrinService, IsInstalledOnceInstalled)
{
    ASSERT_NE(0, Tavrin_Install());
    EXPECT_NE(0, Tavrin_IsInstalled());
}
