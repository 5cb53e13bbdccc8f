#include "uninstaller/Removal.h"

#include "ScratchInstallation.h"
#include "shell/FileHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace gluninst;
using namespace testsupport;
using namespace uninstalltest;

using Paths = std::vector<std::string>;

TEST(Uninstall, DeletesTheNamedFilesThenTheEmptyFolderThenTheLog) {
    ScratchInstallation installation;
    std::vector<bool> presentBefore;
    const ExitCode result = Uninstall(installation.Log(), [&](const RemovalPlan& plan) {
        EXPECT_EQ(plan.folder, installation.Folder());
        for (const std::string& file : plan.files)
            presentBefore.push_back(FileExists(file));
    });
    EXPECT_EQ(result, kDone);
    EXPECT_EQ(presentBefore, std::vector<bool>(5, true));
    EXPECT_EQ(installation.Remaining(), Paths{"WINDOWS"});
}

TEST(Uninstall, KeepsAFolderThatHoldsOtherFilesAndThoseFiles) {
    ScratchInstallation installation;
    WriteBytes(installation.File("SUNSET.BMP"), "picture");
    ASSERT_TRUE(CreateDirectoryA(installation.File("EMPTY").c_str(), nullptr));
    EXPECT_EQ(Uninstall(installation.Log()), kDone);
    EXPECT_EQ(installation.Remaining(),
              (Paths{"Glimmora32", "Glimmora32\\EMPTY", "Glimmora32\\SUNSET.BMP", "WINDOWS"}));
}

TEST(Uninstall, AHiddenFileKeepsTheFolderToo) {
    ScratchInstallation installation;
    WriteBytes(installation.File("desktop.ini"), "x");
    ASSERT_TRUE(SetFileAttributesA(installation.File("desktop.ini").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(Uninstall(installation.Log()), kDone);
    EXPECT_TRUE(FileExists(installation.File("desktop.ini")));
    EXPECT_FALSE(FileExists(installation.File("GLIMR32.EXE")));
}

TEST(Uninstall, MissingAndReadOnlyFilesAreNoObstacle) {
    ScratchInstallation installation;
    RemoveFile(installation.File("GLIMR32.HLP"));
    RemoveFile(installation.File("GLIMR32.GID"));
    ASSERT_TRUE(
        SetFileAttributesA(installation.File("GLIMR32.CNT").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Uninstall(installation.Log()), kDone);
    EXPECT_EQ(installation.Remaining(), Paths{"WINDOWS"});
}

TEST(Uninstall, AFolderNamedAsAFileStaysAndKeepsTheFolder) {
    ScratchInstallation installation;
    RemoveFile(installation.File("GLIMR32.GID"));
    ASSERT_TRUE(CreateDirectoryA(installation.File("GLIMR32.GID").c_str(), nullptr));
    EXPECT_EQ(Uninstall(installation.Log()), kFilesLeft);
    EXPECT_EQ(installation.Remaining(),
              (Paths{"Glimmora32", "Glimmora32\\GLIMR32.GID", "WINDOWS", "WINDOWS\\GLUNINST.LOG"}));
}

// The log stays for another try, and the user hears which files are left.
TEST(Uninstall, AFileInUseStaysAndIsReported) {
    ScratchInstallation installation;
    Paths reported;
    {
        shell::FileHandle held(CreateFileA(installation.File("SKY32DEM.DLL").c_str(), GENERIC_READ,
                                           0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                           nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Uninstall(installation.Log(), {}, [&](const Paths& left) { reported = left; }),
                  kFilesLeft);
    }
    EXPECT_EQ(reported, Paths{installation.File("SKY32DEM.DLL")});
    EXPECT_EQ(installation.Remaining(), (Paths{"Glimmora32", "Glimmora32\\SKY32DEM.DLL", "WINDOWS",
                                               "WINDOWS\\GLUNINST.LOG"}));
}

TEST(Uninstall, AMalformedLogDeletesNothing) {
    ScratchInstallation installation;
    const std::string good = installation.LogText();
    std::string outside = good;
    outside.replace(outside.find(installation.File("GLIMR32.HLP")),
                    installation.File("GLIMR32.HLP").size(),
                    installation.Windows() + "\\GLIMR32.HLP");
    std::string upwards = good;
    upwards.replace(upwards.find(installation.File("GLIMR32.HLP")),
                    installation.File("GLIMR32.HLP").size(),
                    installation.Folder() + "\\..\\WINDOWS\\GLUNINST.LOG");
    std::string eightLines = good.substr(0, good.rfind("File Copy"));

    for (const std::string& text : {std::string(), std::string("garbage\r\n"), good + "\r\n",
                                    eightLines, outside, upwards, std::string(5000, '\0')}) {
        SCOPED_TRACE(::testing::PrintToString(text.substr(0, 200)));
        WriteBytes(installation.Log(), text);
        bool called = false;
        EXPECT_EQ(Uninstall(installation.Log(), [&](const RemovalPlan&) { called = true; }),
                  kLogMalformed);
        EXPECT_FALSE(called);
        EXPECT_EQ(installation.Remaining(), ScratchInstallation::Untouched());
    }
}

TEST(Uninstall, AnUnreadableLogDeletesNothing) {
    ScratchInstallation installation;
    EXPECT_EQ(Uninstall(installation.Windows() + "\\MISSING.LOG"), kLogUnreadable);
    EXPECT_EQ(Uninstall(installation.Windows()), kLogUnreadable);
    EXPECT_EQ(Uninstall(""), kLogUnreadable);
    // Far larger than any log, even with good lines in front.
    WriteBytes(installation.Log(), installation.LogText() + std::string(70000, ' '));
    EXPECT_EQ(Uninstall(installation.Log()), kLogUnreadable);
    EXPECT_EQ(installation.Remaining(), ScratchInstallation::Untouched());
}

TEST(CarryOut, NeverRemovesADriveRoot) {
    const std::string file = "C:\\glimmora-uninstall-test-" + std::to_string(GetCurrentProcessId());
    WriteBytes(file, "x");
    const RemovalResult result = CarryOut({"C:\\", {file}});
    EXPECT_EQ(result.deleted, Paths{file});
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(result.folderRemoved);
    EXPECT_TRUE(FolderExists("C:\\"));
    EXPECT_FALSE(FileExists(file));
    RemoveFile(file);
}

TEST(ReadLogFile, ReadsTheBytesOfASmallFile) {
    ScratchFolder folder;
    WriteBytes(folder.File("a.log"), std::string("a\0b\r\n", 5));
    EXPECT_EQ(ReadLogFile(folder.File("a.log")), std::string("a\0b\r\n", 5));
    WriteBytes(folder.File("empty.log"), "");
    EXPECT_EQ(ReadLogFile(folder.File("empty.log")), std::string());
    EXPECT_FALSE(ReadLogFile(folder.File("missing.log")));
}
