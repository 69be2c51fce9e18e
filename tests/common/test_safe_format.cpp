// The formatter for language texts: a conversion is filled only when it fits the value given; any
// other '%' stays as it is, so no text can make it read what was not passed.
#include <gtest/gtest.h>

#include "SafeFormat.h"

TEST(SafeFormat, FillsMatchingConversionsAndKeepsEveryOtherPercent)
{
    EXPECT_EQ(SafeFormat("Drive %c: is full", {'E'}), "Drive E: is full");
    EXPECT_EQ(SafeFormat("%d%% done", {42}), "42% done");
    EXPECT_EQ(SafeFormat("Max %u MB", {4095u}), "Max 4095 MB");
    EXPECT_EQ(SafeFormat("(%d%02d%02d)", {2026, 7, 5}), "(20260705)");
    EXPECT_EQ(SafeFormat("Open %s?", {"C:\\disks\\100% a.sqv"}), "Open C:\\disks\\100% a.sqv?");
    EXPECT_EQ(SafeFormat("[%-5s][%5s]", {"ab", "cd"}), "[ab   ][   cd]");
    EXPECT_EQ(SafeFormat("%.3s", {"abcdef"}), "abc");
    EXPECT_EQ(SafeFormat("%x", {255}), "ff");

    // Conversions that do not fit, or have nothing to fill them, print as they stand.
    EXPECT_EQ(SafeFormat("100% sure", {3}), "100% sure");
    EXPECT_EQ(SafeFormat("%s and %s", {"one"}), "one and %s");
    EXPECT_EQ(SafeFormat("%n%p%f", {1}), "%n%p%f");
    EXPECT_EQ(SafeFormat("%s", {7}), "%s");
    EXPECT_EQ(SafeFormat("%c", {"text"}), "%c");
    EXPECT_EQ(SafeFormat("%99999d", {1}), "%99999d");
    EXPECT_EQ(SafeFormat("%", {1}), "%");
    EXPECT_EQ(SafeFormat("%d", {}), "%d");
    EXPECT_EQ(SafeFormat("no conversions", {1, "x"}), "no conversions");
}

TEST(SafeFormat, EscapedTextComesOutUnchanged)
{
    const std::string name = "Disk %s of 100%";
    EXPECT_EQ(SafeFormat(EscapePercent(name) + "(%d).sqv", {7}), "Disk %s of 100%(7).sqv");
}
