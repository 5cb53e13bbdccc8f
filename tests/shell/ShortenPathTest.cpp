#include "shell/ShortenPath.h"

#include <gtest/gtest.h>

using shell::ShortenPath;

TEST(ShortenPath, DropsLeadingFolderNamesAndMarksTheGap) {
    EXPECT_EQ(ShortenPath("C:\\PROGRAMS\\PICTURES\\HOLIDAY\\1997\\BEACH", 30),
              "C:\\...\\HOLIDAY\\1997\\BEACH");
    EXPECT_EQ(ShortenPath("C:\\ABCDEFGHIJ\\KLMNOPQRST\\UVWXYZ", 30), "C:\\...\\KLMNOPQRST\\UVWXYZ");
}

TEST(ShortenPath, LeavesRoomForTheMarkWithinTheLimit) {
    // 36 characters: stops only once at most 26 are left, so the result fits.
    const std::string path = "C:\\ONE\\TWO\\THREE\\FOUR\\FIVE\\SIX\\SEVEN";
    ASSERT_EQ(path.size(), 36u);
    EXPECT_EQ(ShortenPath(path, 30), "C:\\...\\FOUR\\FIVE\\SIX\\SEVEN");
}

TEST(ShortenPath, ReturnsPathsWithinTheLimitUnchanged) {
    const std::string exactly30 = "C:\\ABCDEFGHIJ\\KLMNOPQRST\\UVWXY";
    ASSERT_EQ(exactly30.size(), 30u);
    EXPECT_EQ(ShortenPath(exactly30, 30), exactly30);
    EXPECT_EQ(ShortenPath("C:\\", 30), "C:\\");
    EXPECT_EQ(ShortenPath("C:\\PICS", 30), "C:\\PICS");
    EXPECT_EQ(ShortenPath("", 30), "");
}

TEST(ShortenPath, ReturnsThePathWhenNothingCanBeDropped) {
    const std::string oneFolder = "D:\\VERYLONGFOLDERNAMEOVERTHIRTYCHARS";
    ASSERT_EQ(oneFolder.size(), 36u);
    EXPECT_EQ(ShortenPath(oneFolder, 30), oneFolder);
    const std::string noBackslash(40, 'N');
    EXPECT_EQ(ShortenPath(noBackslash, 30), noBackslash);
    EXPECT_EQ(ShortenPath("C:\\", 2), "C:\\");
}

TEST(ShortenPath, NeverMakesAPathLonger) {
    // Dropping "A" saves two characters, the mark costs four.
    const std::string path = "C:\\A\\" + std::string(40, 'X');
    EXPECT_EQ(ShortenPath(path, 30), path);
}

TEST(ShortenPath, MayStayOverTheLimitWhenTheLastNameIsLong) {
    const std::string name(30, 'X');
    EXPECT_EQ(ShortenPath("C:\\FOLDERNAME\\" + name, 30), "C:\\...\\" + name);
}

TEST(ShortenPath, LimitsBelowFourDropEveryFolderName) {
    EXPECT_EQ(ShortenPath("C:\\A\\B\\C\\LONGNAME", 3), "C:\\...\\LONGNAME");
    EXPECT_EQ(ShortenPath("C:\\A\\B\\C\\LONGNAME", 0), "C:\\...\\LONGNAME");
}

TEST(ShortenPath, UsesTheFirstBackslashAsTheAnchor) {
    EXPECT_EQ(ShortenPath("PICTURES\\HOLIDAY\\1997\\SUMMER\\BEACH\\DAY1", 30),
              "PICTURES\\...\\SUMMER\\BEACH\\DAY1");
}
