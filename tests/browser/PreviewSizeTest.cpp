#include "browser/PreviewSize.h"
#include "browser/TypeAhead.h"

#include <gtest/gtest.h>

using namespace browser;

namespace {
void ExpectSize(PreviewSize actual, PreviewSize expected) {
    EXPECT_EQ(actual.frameWidth, expected.frameWidth);
    EXPECT_EQ(actual.frameHeight, expected.frameHeight);
    EXPECT_EQ(actual.imageWidth, expected.imageWidth);
    EXPECT_EQ(actual.imageHeight, expected.imageHeight);
}
} // namespace

TEST(FitPreviewSize, StretchedIntoTheBoxOnePixelOverTheAspect) {
    ExpectSize(FitPreviewSize(704, 528, true), {360, 273, 352, 265});
    ExpectSize(FitPreviewSize(300, 600, true), {221, 432, 213, 424});
    ExpectSize(FitPreviewSize(352, 424, true), {361, 432, 353, 424}); // exact aspect: tall branch
    // 352 / (1000/3) = 105.6 -> 106; halves go to the even neighbour.
    ExpectSize(FitPreviewSize(1000, 300, true), {360, 106 + 9, 352, 106 + 1});
    ExpectSize(FitPreviewSize(704, 1, true), {360, 9, 352, 1}); // 0.5 rounds to 0
}

TEST(FitPreviewSize, NaturalSizeWithoutLimit) {
    ExpectSize(FitPreviewSize(1024, 768, false), {1032, 776, 1024, 768});
    ExpectSize(FitPreviewSize(16, 16, false), {24, 24, 16, 16});
}

TEST(ColourText, NamesTheUsualDepths) {
    EXPECT_EQ(ColourText(1), "2");
    EXPECT_EQ(ColourText(2), "4");
    EXPECT_EQ(ColourText(4), "16");
    EXPECT_EQ(ColourText(8), "256");
    EXPECT_EQ(ColourText(24), "16M");
    EXPECT_EQ(ColourText(32), "4B");
    EXPECT_EQ(ColourText(0), "N/A");
    EXPECT_EQ(ColourText(16), "N/A");
}

TEST(TypeAheadIndex, NarrowsByPositionAndFallsBetweenEntries) {
    std::vector<std::string> folder = {"[..]", "apple.bmp", "pear.gif", "plum.jpg"};
    EXPECT_EQ(TypeAheadIndex(folder, "P"), 2);
    EXPECT_EQ(TypeAheadIndex(folder, "PL"), 3);
    EXPECT_EQ(TypeAheadIndex(folder, "pl"), 3);
    EXPECT_EQ(TypeAheadIndex(folder, "PX"), 4); // one past the last entry
    EXPECT_EQ(TypeAheadIndex(folder, "B"), 0);  // "[" sorts after the letters
    EXPECT_EQ(TypeAheadIndex(folder, "Z"), 0);
    EXPECT_EQ(TypeAheadIndex(folder, ""), 0);
    EXPECT_EQ(TypeAheadIndex(folder, "*.*"), 0);
    EXPECT_EQ(TypeAheadIndex(folder, "APPLE.BMP"), 1);
    EXPECT_EQ(TypeAheadIndex(folder, "APPLE.BMPX"), 2); // past the entry's end counts as 0

    std::vector<std::string> root = {"apple.bmp", "cherry.bmp"};
    EXPECT_EQ(TypeAheadIndex(root, "B"), 1);
    EXPECT_EQ(TypeAheadIndex(root, "Z"), 2);
    EXPECT_EQ(TypeAheadIndex({}, "A"), -1);
}

TEST(TypeAheadIndex, FindsTheTypedNameWhereTheListPassesOverHyphens) {
    // The system's sorted order: "images-" between "image-o..." and "image-z...".
    std::vector<std::string> folder = {"image-inside-bg.gif",   "image-overlap-bg.gif",
                                       "images-combine.gif",    "images-overlap.gif",
                                       "image-zero-height.gif", "image-zero-width.gif"};
    EXPECT_EQ(TypeAheadIndex(folder, "IMAGE-ZERO-WIDTH.GIF"), 5);
    EXPECT_EQ(TypeAheadIndex(folder, "image-z"), 4);
    EXPECT_EQ(TypeAheadIndex(folder, "images-o"), 3);
    EXPECT_EQ(TypeAheadIndex(folder, "image-p"), 4); // before the first that sorts after it
    EXPECT_EQ(TypeAheadIndex(folder, "image-zz"), 6);
}
