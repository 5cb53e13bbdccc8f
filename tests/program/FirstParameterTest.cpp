// The first parameter of the command line and which starts open a picture.
#include "common/TestSupport.h"
#include "program/StartUp.h"

#include <gtest/gtest.h>

using program::FirstParameter;
using program::IsPictureParameter;

TEST(FirstParameter, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(FirstParameter("GLIMR32.EXE -u"), "-u");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE   -U   second third"), "-U");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE\t-U\tsecond"), "-U");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE \"C:\\My Pictures\\a b.bmp\" next"),
              "C:\\My Pictures\\a b.bmp");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE C:\\My\" Pic\"tures\\x.bmp"), "C:\\My Pictures\\x.bmp");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE -Uninstall"), "-Uninstall");
}

TEST(FirstParameter, QuotedProgramPathIsSkippedWhole) {
    EXPECT_EQ(FirstParameter("\"C:\\Program Files\\Glimmora\\GLIMR32.EXE\" -U"), "-U");
    EXPECT_EQ(FirstParameter("\"C:\\Program Files\\Glimmora\\GLIMR32.EXE\" \"D:\\x y\\s.TIF\""),
              "D:\\x y\\s.TIF");
    EXPECT_EQ(FirstParameter("C:\\GLIMR32.EXE"), "");
}

TEST(FirstParameter, NothingAfterTheProgramGivesAnEmptyParameter) {
    EXPECT_EQ(FirstParameter(nullptr), "");
    EXPECT_EQ(FirstParameter(""), "");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE"), "");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE    "), "");
    EXPECT_EQ(FirstParameter("GLIMR32.EXE \"\""), "");
    EXPECT_EQ(FirstParameter("\"C:\\Program Files\\GLIMR32.EXE\""), "");
}

TEST(IsPictureParameter, AnExistingFileWithAPictureExtension) {
    glimtest::ScratchFolder folder;
    folder.AddFile("SUNSET.bmp");
    folder.AddFile("photo.JPG");
    folder.AddFile("x.png");
    folder.AddFile("icon.ico");
    folder.AddFile("draw.Wmf");
    folder.AddFile("scan.tif");
    folder.AddFile("old.pcx");
    folder.AddFile("anim.gif");
    folder.AddFile("sys.bmp", FILE_ATTRIBUTE_SYSTEM);
    folder.AddFolder("x.bmp");

    EXPECT_TRUE(IsPictureParameter(folder.File("sunset.BMP")));
    for (const char* name :
         {"photo.JPG", "icon.ico", "draw.Wmf", "scan.tif", "old.pcx", "anim.gif", "sys.bmp"})
        EXPECT_TRUE(IsPictureParameter(folder.File(name))) << name;
    EXPECT_FALSE(IsPictureParameter(folder.File("x.png"))) << "not a supported extension";
    EXPECT_FALSE(IsPictureParameter(folder.File("x.bmp"))) << "a folder";
    EXPECT_FALSE(IsPictureParameter(folder.File("missing.bmp")));
    EXPECT_FALSE(IsPictureParameter(folder.Path()));
    EXPECT_FALSE(IsPictureParameter(""));
    EXPECT_FALSE(IsPictureParameter("-U"));
}
