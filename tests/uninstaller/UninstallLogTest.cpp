#include "uninstaller/UninstallLog.h"

#include <gtest/gtest.h>

#include <vector>

using namespace gluninst;

namespace {

std::vector<std::string> GoodLines(const std::string& folder) {
    const std::string prefix = folder.size() == 3 ? folder : folder + "\\"; // a drive root
    return {"*** Installation Started 1/1/96 00:00 ***",
            "Title: Glimmora 1.1b -32 Installation",
            "Source: A:\\INST32.EXE",
            "Made Dir: " + folder,
            "File Copy: " + prefix + "GLIMR32.EXE",
            "File Copy: " + prefix + "GLIMR32.HLP",
            "File Copy: " + prefix + "GLIMR32.CNT",
            "File Copy: " + prefix + "GLIMR32.GID",
            "File Copy: " + prefix + "SKY32DEM.DLL"};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// The good log of C:\PICS with one line replaced.
std::string WithLine(std::size_t index, const std::string& line) {
    std::vector<std::string> lines = GoodLines("C:\\PICS");
    lines[index] = line;
    return Joined(lines);
}

} // namespace

TEST(ParseUninstallLog, TheProgramsLogNamesItsFolderAndFiveFiles) {
    const std::optional<RemovalPlan> plan = ParseUninstallLog(Joined(GoodLines("C:\\PICS")));
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->folder, "C:\\PICS");
    EXPECT_EQ(plan->files,
              (std::vector<std::string>{"C:\\PICS\\GLIMR32.EXE", "C:\\PICS\\GLIMR32.HLP",
                                        "C:\\PICS\\GLIMR32.CNT", "C:\\PICS\\GLIMR32.GID",
                                        "C:\\PICS\\SKY32DEM.DLL"}));
}

TEST(ParseUninstallLog, AcceptsDriveRootsSharesBlanksDoubleByteNamesAndOtherLetterCase) {
    const std::optional<RemovalPlan> root = ParseUninstallLog(Joined(GoodLines("C:\\")));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->folder, "C:\\");
    EXPECT_EQ(root->files.front(), "C:\\GLIMR32.EXE");

    const std::optional<RemovalPlan> share =
        ParseUninstallLog(Joined(GoodLines("\\\\server\\tools\\Glimmora")));
    ASSERT_TRUE(share);
    EXPECT_EQ(share->files.front(), "\\\\server\\tools\\Glimmora\\GLIMR32.EXE");
    EXPECT_TRUE(ParseUninstallLog(Joined(GoodLines("\\\\server\\tools"))));

    EXPECT_TRUE(ParseUninstallLog(Joined(GoodLines("C:\\Program Files\\Glimmora 32"))));
    EXPECT_TRUE(ParseUninstallLog(WithLine(4, "File Copy: c:\\pics\\glimr32.exe")));

    // Shift-JIS: the folder name ends in a character whose second byte is 0x5C.
    LeadBytes shiftJis;
    for (unsigned byte = 0x81; byte <= 0xfc; ++byte)
        shiftJis.set(byte, byte <= 0x9f || byte >= 0xe0);
    const std::string folder = "C:\\\x88\xea\x97\x97\x95\\"; // C:\ichiran-hyou
    const std::optional<RemovalPlan> doubleByte =
        ParseUninstallLog(Joined(GoodLines(folder)), shiftJis);
    ASSERT_TRUE(doubleByte);
    EXPECT_EQ(doubleByte->folder, folder);
    EXPECT_EQ(doubleByte->files.back(), folder + "\\SKY32DEM.DLL");
}

// Only the log the program writes: its fixed lines and its five files.
TEST(ParseUninstallLog, RefusesAWellFormedLogThatTheProgramDoesNotWrite) {
    for (const auto& [index, line] : std::vector<std::pair<std::size_t, std::string>>{
             {0, "*** Installation Started 12/24/97 18:30 ***"},
             {1, "Title: "},
             {1, "Title: Other Program Installation"},
             {2, "Source: D:\\SETUP.EXE"},
             {4, "File Copy: C:\\PICS\\VIEW.EXE"},
             {5, "File Copy: C:\\PICS\\AUTOEXEC.BAT"},
             {8, "File Copy: C:\\PICS\\GLIMR32.EXE"},
             {8, "File Copy: C:\\PICS\\SKY32DEM.DLL.BAK"},
         }) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(ParseUninstallLog(WithLine(index, line)));
    }
}

TEST(ParseUninstallLog, RefusesAnythingButNineLinesEndingInCrLf) {
    const std::string good = Joined(GoodLines("C:\\PICS"));
    std::vector<std::string> eight = GoodLines("C:\\PICS");
    eight.pop_back();
    std::vector<std::string> ten = GoodLines("C:\\PICS");
    ten.push_back("File Copy: C:\\PICS\\README.TXT");
    std::string linefeeds = good;
    for (std::size_t at = linefeeds.find("\r\n"); at != std::string::npos;
         at = linefeeds.find("\r\n", at))
        linefeeds.erase(at, 1);

    for (const std::string& text : {
             std::string(),
             std::string("\r\n"),
             good.substr(0, good.size() - 2),
             good.substr(0, good.size() - 1),
             good + "\r\n",
             good + "x",
             Joined(eight),
             Joined(ten),
             linefeeds,
             WithLine(2, "Source: A:\\INST32.EXE\rFile Copy: C:\\X"),
             WithLine(5, std::string("File Copy: C:\\PICS\\GLIMR32.HLP\0X", 32)),
             std::string(4096, '\xff'),
         }) {
        SCOPED_TRACE(::testing::PrintToString(text));
        EXPECT_FALSE(ParseUninstallLog(text));
    }
    EXPECT_TRUE(ParseUninstallLog(good));
}

TEST(ParseUninstallLog, RefusesLinesOfAnotherKind) {
    for (const auto& [index, line] : std::vector<std::pair<std::size_t, std::string>>{
             {0, "*** Installation Started ***"},
             {0, "*** Installation Ended 1/1/96 00:00 ***"},
             {0, "*** Installation Started 1/1/96 00:00"},
             {1, "Titel: Glimmora"},
             {2, "Source:A:\\INST32.EXE"},
             {3, "made dir: C:\\PICS"},
             {3, "File Copy: C:\\PICS"},
             {4, "Made Dir: C:\\PICS"},
             {6, "File Copy:C:\\PICS\\GLIMR32.CNT"},
             {7, "Delete: C:\\PICS\\GLIMR32.GID"},
         }) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(ParseUninstallLog(WithLine(index, line)));
    }
}

TEST(ParseUninstallLog, RefusesAFolderThatIsNoPlainFullPath) {
    for (const std::string& folder : {
             std::string("PICS"),
             std::string("\\PICS"),
             std::string("C:PICS"),
             std::string("C:"),
             std::string("C:\\PICS\\"),
             std::string("C:\\PICS\\\\SUB"),
             std::string("C:\\PICS\\.."),
             std::string("C:\\PICS\\..\\WINDOWS"),
             std::string("C:\\PICS\\."),
             std::string("C:\\PICS\\..."),
             std::string("C:\\PICS\\.. "),
             std::string("C:\\PICS "),
             std::string("C:\\PICS/.."),
             std::string("C:\\PI*"),
             std::string("C:\\PICS?"),
             std::string("C:\\PICS:stream"),
             std::string("C:\\PI\"CS"),
             std::string("C:\\PI\tCS"),
             std::string("1:\\PICS"),
             std::string("\\\\server"),
             std::string("\\\\server\\"),
             std::string("\\\\?\\C:\\PICS"),
             std::string("\\\\.\\C:"),
             std::string("\\\\server\\share\\..\\other"),
             "C:\\" + std::string(300, 'A'),
         }) {
        SCOPED_TRACE(folder);
        EXPECT_FALSE(IsFullPath(folder));
        std::vector<std::string> lines = GoodLines("C:\\PICS");
        lines[3] = "Made Dir: " + folder;
        EXPECT_FALSE(ParseUninstallLog(Joined(lines)));
    }
}

TEST(ParseUninstallLog, RefusesAFileOutsideTheFolder) {
    for (const std::string& file : {
             std::string("C:\\OTHER\\GLIMR32.EXE"),
             std::string("C:\\PICS2\\GLIMR32.EXE"),
             std::string("C:\\PICS\\SUB\\GLIMR32.EXE"),
             std::string("C:\\GLIMR32.EXE"),
             std::string("C:\\PICS"),
             std::string("C:\\PICS\\"),
             std::string("C:\\PICS\\..\\AUTOEXEC.BAT"),
             std::string("C:\\PICS\\*.*"),
             std::string("C:\\PICS\\GLIMR32.EXE:stream"),
             std::string("D:\\PICS\\GLIMR32.EXE"),
             std::string("GLIMR32.EXE"),
             std::string("\\PICS\\GLIMR32.EXE"),
         }) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(ParseUninstallLog(WithLine(6, "File Copy: " + file)));
    }
    // In a drive root, the root itself is no file.
    std::vector<std::string> root = GoodLines("C:\\");
    root[4] = "File Copy: C:\\";
    EXPECT_FALSE(ParseUninstallLog(Joined(root)));
}

TEST(IsRootFolder, OnlyDriveRootsAndShares) {
    EXPECT_TRUE(IsRootFolder("C:\\"));
    EXPECT_TRUE(IsRootFolder("z:\\"));
    EXPECT_TRUE(IsRootFolder("\\\\server\\share"));
    EXPECT_FALSE(IsRootFolder("C:\\PICS"));
    EXPECT_FALSE(IsRootFolder("\\\\server\\share\\PICS"));
    EXPECT_FALSE(IsRootFolder("C:"));
    EXPECT_FALSE(IsRootFolder("PICS"));
}

TEST(SamePath, IgnoresTheLetterCaseOfAToZOnly) {
    EXPECT_TRUE(SamePath("C:\\Pics\\GLIMR32.EXE", "c:\\PICS\\glimr32.exe"));
    EXPECT_FALSE(SamePath("C:\\PICS", "C:\\PICS\\"));
    EXPECT_FALSE(SamePath("C:\\\xC4", "C:\\\xE4"));
}

TEST(LogPathFromArguments, TakesTheWholeRestWithoutBlanksAndQuotes) {
    EXPECT_EQ(LogPathFromArguments("C:\\WINDOWS\\GLUNINST.LOG"), "C:\\WINDOWS\\GLUNINST.LOG");
    EXPECT_EQ(LogPathFromArguments("  C:\\MY WINDOWS\\GLUNINST.LOG \t"),
              "C:\\MY WINDOWS\\GLUNINST.LOG");
    EXPECT_EQ(LogPathFromArguments("\"C:\\MY WINDOWS\\GLUNINST.LOG\""),
              "C:\\MY WINDOWS\\GLUNINST.LOG");
    EXPECT_EQ(LogPathFromArguments(" \" C:\\W\\GLUNINST.LOG \" "), "C:\\W\\GLUNINST.LOG");
    EXPECT_EQ(LogPathFromArguments(""), "");
    EXPECT_EQ(LogPathFromArguments("   "), "");
    EXPECT_EQ(LogPathFromArguments("\""), "\"");
}
