#include "shell/Extensions.h"

#include <gtest/gtest.h>

using shell::ExtensionKey;
using shell::IsSupportedExtension;

TEST(ExtensionKey, IsTheUpperCasedExtensionCutToFourCharacters) {
    EXPECT_EQ(ExtensionKey("photo.jpg"), ".JPG");
    EXPECT_EQ(ExtensionKey("C:\\PICS\\Photo.Png"), ".PNG");
    EXPECT_EQ(ExtensionKey("photo.jpeg"), ".JPE");
    EXPECT_EQ(ExtensionKey("scan.tiff"), ".TIF");
    EXPECT_EQ(ExtensionKey(".tiff"), ".TIF");
    EXPECT_EQ(ExtensionKey("a.b.c.gif"), ".GIF");
    EXPECT_EQ(ExtensionKey("x.j"), ".J");
}

TEST(ExtensionKey, TakesOnlyADotAfterTheLastBackslashAndColon) {
    EXPECT_EQ(ExtensionKey("photo"), "");
    EXPECT_EQ(ExtensionKey(""), "");
    EXPECT_EQ(ExtensionKey("x."), ".");
    EXPECT_EQ(ExtensionKey(".\\dir.bmp\\x"), "");
    EXPECT_EQ(ExtensionKey("C:\\a.bmp\\photo"), "");
    EXPECT_EQ(ExtensionKey("a.bmp:stream"), "");
    EXPECT_EQ(ExtensionKey("C:x.bmp"), ".BMP");
    EXPECT_EQ(ExtensionKey("C:\\HOLIDAY.97\\beach.gif"), ".GIF");
}

TEST(ExtensionKey, UpperCasesOnlyTheLettersAToZ) {
    // 0xE4 is a-umlaut in code page 1252; '`' and '{' lie next to 'a' and 'z'.
    EXPECT_EQ(ExtensionKey("bild.\xE4pg"), ".\xE4PG");
    EXPECT_EQ(ExtensionKey("x.`{|"), ".`{|");
    EXPECT_EQ(ExtensionKey("x.azAZ"), ".AZA");
    EXPECT_EQ(ExtensionKey("x.1b_"), ".1B_");
}

TEST(ExtensionKey, HandlesLongNames) {
    const std::string longName(5000, 'n');
    EXPECT_EQ(ExtensionKey(longName + ".bmp"), ".BMP");
    EXPECT_EQ(ExtensionKey("x." + longName), ".NNN");
    EXPECT_EQ(ExtensionKey(longName), "");
}

TEST(IsSupportedExtension, AcceptsTheSevenPictureTypesInAnyCase) {
    for (const char* name : {"A.BMP", "a.bmp", "a.Gif", "x.ico", "x.pcx", "x.wmf", "x.tiff",
                             "x.jpg", "PHOTO.Jpg", "C:\\PICS\\photo.jpg", "x.tif", "x.bmpfile"})
        EXPECT_TRUE(IsSupportedExtension(name)) << name;
}

TEST(IsSupportedExtension, RejectsEverythingElse) {
    for (const char* name :
         {"x.jpeg", "x.png", "x", "x.", "", ".\\dir.bmp\\x", "C:\\a.bmp\\photo", "x.bm", "x.jp",
          "x.scm", "x.res", "x.thb", "bmp", "x_bmp", "x.b mp", "x. bmp", "x.\xE4mp"})
        EXPECT_FALSE(IsSupportedExtension(name)) << name;
}
