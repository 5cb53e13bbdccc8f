#include "shell/IniFiles.h"

#include "ScratchFiles.h"
#include "shell/FileHandle.h"
#include "shell/Launch.h"
#include "toolkit/Errors.h"

#include <gtest/gtest.h>
#include <windows.h>

using shell::RemoveIniEntry;
using shell::WriteIniEntry;
using namespace shelltest;

namespace {

constexpr char kTemporaryName[] = "$$$$----.BAK";

class RemoveIniEntryTest : public ::testing::Test {
protected:
    std::string Ini() const { return folder.File("WINHELP.INI"); }
    void ExpectNoTemporaryFile() const {
        EXPECT_FALSE(FileExists(folder.File(kTemporaryName))) << "temporary file left behind";
    }

    ScratchFolder folder;
};

} // namespace

TEST_F(RemoveIniEntryTest, RemovesTheKeyFromTheSectionOnly) {
    WriteBytes(Ini(), "[Other]\r\n"
                      "GLIMR32.HLP=C:\\KEEP\r\n"
                      "[files]\r\n"
                      "WINFILE.HLP=C:\\WINDOWS\r\n"
                      "glimr32.hlp=C:\\OLD\r\n"
                      "Glimr32.Hlp=C:\\OLDER\r\n"
                      "GLIMR32.HLP =C:\\BLANK\r\n"
                      " GLIMR32.HLP=C:\\INDENTED\r\n"
                      "GLIMR32.HLPX=C:\\LONGERKEY\r\n"
                      "GLIMR32.HLP=\r\n"
                      "[Later]\r\n"
                      "GLIMR32.HLP=C:\\KEEP2\r\n");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "glimr32.hlp"));
    EXPECT_EQ(ReadBytes(Ini()), "[Other]\r\n"
                                "GLIMR32.HLP=C:\\KEEP\r\n"
                                "[files]\r\n"
                                "WINFILE.HLP=C:\\WINDOWS\r\n"
                                "GLIMR32.HLP =C:\\BLANK\r\n"
                                " GLIMR32.HLP=C:\\INDENTED\r\n"
                                "GLIMR32.HLPX=C:\\LONGERKEY\r\n"
                                "[Later]\r\n"
                                "GLIMR32.HLP=C:\\KEEP2\r\n");
    ExpectNoTemporaryFile();
}

TEST_F(RemoveIniEntryTest, SectionEndsAtAnEmptyOrBracketLine) {
    WriteBytes(Ini(), "[Files]\r\n"
                      "A=1\r\n"
                      "\r\n"
                      "A=after-empty-line\r\n"
                      "[Files]\r\n"
                      "A=2\r\n"
                      "[Next\r\n"
                      "A=after-bracket\r\n");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "FILES", "a"));
    EXPECT_EQ(ReadBytes(Ini()), "[Files]\r\n"
                                "\r\n"
                                "A=after-empty-line\r\n"
                                "[Files]\r\n"
                                "[Next\r\n"
                                "A=after-bracket\r\n");
}

TEST_F(RemoveIniEntryTest, SectionLineMustMatchWhole) {
    WriteBytes(Ini(), "[Files] \r\n"
                      "A=1\r\n"
                      " [Files]\r\n"
                      "A=2\r\n"
                      "[Files2]\r\n"
                      "A=3\r\n");
    const std::string before = ReadBytes(Ini());
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "A"));
    EXPECT_EQ(ReadBytes(Ini()), before);
}

TEST_F(RemoveIniEntryTest, SectionAtTheEndOfTheFile) {
    WriteBytes(Ini(), "[Files]\r\nA=1\r\nB=2\r\nA=3");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "A"));
    EXPECT_EQ(ReadBytes(Ini()), "[Files]\r\nB=2\r\n");
}

TEST_F(RemoveIniEntryTest, EndsEveryLineInCarriageReturnAndLineFeed) {
    WriteBytes(Ini(), "; lf only\n[Files]\nGLIMR32.HLP=C:\\OLD\nX.HLP=C:\\X\n\nlast");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), "; lf only\r\n[Files]\r\nX.HLP=C:\\X\r\n\r\nlast\r\n");

    WriteBytes(Ini(), "cr only\r[Files]\rA=1\rB=2\r");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "A"));
    EXPECT_EQ(ReadBytes(Ini()), "cr only\r\n[Files]\r\nB=2\r\n");
}

TEST_F(RemoveIniEntryTest, LeavesTheFileAloneWhenNothingMatches) {
    WriteBytes(Ini(), "[Files]\nX=1");
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), "[Files]\nX=1");
    ExpectNoTemporaryFile();

    WriteBytes(Ini(), "");
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), "");
}

TEST_F(RemoveIniEntryTest, CopiesLongLinesWhole) {
    // Longer than one read of the file.
    const std::string longLine(200000, 'x');
    WriteBytes(Ini(), longLine + "\r\n[Files]\r\n" + "GLIMR32.HLP=" + longLine + "\r\n" +
                          "KEEP=" + longLine + "\ntail\r\n");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), longLine + "\r\n[Files]\r\n" + "KEEP=" + longLine + "\r\ntail\r\n");
}

// UTF-16 text, a zero byte or a line longer than any profile line: the file
// is left as it is, however well its lines would match.
TEST_F(RemoveIniEntryTest, LeavesAloneWhatIsNoEightBitText) {
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("[Files]\r\nGLIMR32.HLP=C:\\OLD\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    const std::string zero = std::string("[Files]\r\nGLIMR32.HLP=C:\\OLD\r\nX=\0\r\n", 33);
    const std::string overlong = "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\n" + std::string(2 << 20, 'x');
    for (const std::string& content : {utf16, zero, overlong}) {
        WriteBytes(Ini(), content);
        EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
        EXPECT_TRUE(ReadBytes(Ini()) == content) << content.substr(0, 40);
        ExpectNoTemporaryFile();
    }
}

TEST_F(RemoveIniEntryTest, TheRewrittenFileKeepsItsAttributes) {
    WriteBytes(Ini(), "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\nX=1\r\n");
    ASSERT_TRUE(SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    const DWORD attributes = GetFileAttributesA(Ini().c_str());
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), "[Files]\r\nX=1\r\n");
    EXPECT_EQ(GetFileAttributesA(Ini().c_str()), attributes);
}

TEST_F(RemoveIniEntryTest, CarriageReturnAndLineFeedSplitAcrossReads) {
    // The CR is the last byte of the first 64 KiB read, its LF the first of the next.
    const std::string first(65535, 'a');
    WriteBytes(Ini(), first + "\r\n[Files]\r\nA=1\r\nB=2\r\n");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "A"));
    EXPECT_EQ(ReadBytes(Ini()), first + "\r\n[Files]\r\nB=2\r\n");
}

TEST_F(RemoveIniEntryTest, LeavesAReadOnlyFileUntouched) {
    const std::string content = "[Files]\nGLIMR32.HLP=C:\\OLD\n";
    WriteBytes(Ini(), content);
    ASSERT_TRUE(SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), content);
    EXPECT_EQ(GetFileAttributesA(Ini().c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD{FILE_ATTRIBUTE_READONLY});
    ExpectNoTemporaryFile();
}

TEST_F(RemoveIniEntryTest, MissingFileOrFolderIsNotCreated) {
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_FALSE(FileExists(Ini()));
    ExpectNoTemporaryFile();

    ASSERT_TRUE(CreateDirectoryA(Ini().c_str(), nullptr));
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_TRUE(FolderExists(Ini()));
    ExpectNoTemporaryFile();
}

TEST_F(RemoveIniEntryTest, FailsWithoutTouchingAFileOpenedExclusively) {
    const std::string content = "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\n";
    WriteBytes(Ini(), content);
    {
        shell::FileHandle locked(CreateFileA(Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    }
    EXPECT_EQ(ReadBytes(Ini()), content);
    ExpectNoTemporaryFile();
}

TEST_F(RemoveIniEntryTest, KeepsTheFileWholeWhenItCannotBeReplaced) {
    // Readable, but open without delete sharing: the copy succeeds, the
    // replacement must fail and leave the old file as it was.
    const std::string content = "[Files]\r\nGLIMR32.HLP=C:\\OLD\nX=1\r\n";
    WriteBytes(Ini(), content);
    {
        shell::FileHandle held(CreateFileA(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
        ExpectNoTemporaryFile();
    }
    EXPECT_EQ(ReadBytes(Ini()), content);
}

TEST_F(RemoveIniEntryTest, FailsWhenTheTemporaryFileCannotBeCreated) {
    const std::string content = "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\n";
    WriteBytes(Ini(), content);
    ASSERT_TRUE(CreateDirectoryA(folder.File(kTemporaryName).c_str(), nullptr));
    EXPECT_FALSE(RemoveIniEntry(Ini(), "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(Ini()), content);
    EXPECT_TRUE(FolderExists(folder.File(kTemporaryName))) << "someone else's entry was removed";
}

TEST_F(RemoveIniEntryTest, ReplacesAStaleTemporaryFile) {
    WriteBytes(folder.File(kTemporaryName), "stale");
    WriteBytes(Ini(), "[Files]\r\nA=1\r\n");
    EXPECT_TRUE(RemoveIniEntry(Ini(), "Files", "A"));
    EXPECT_EQ(ReadBytes(Ini()), "[Files]\r\n");
    ExpectNoTemporaryFile();
}

TEST(RemoveIniEntryWindowsFolder, FileNameWithoutFolderMeansTheWindowsFolder) {
    const std::string windows = shell::WindowsFolder();
    ASSERT_FALSE(windows.empty());
    const std::string name = "glimtest" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string path = windows + "\\" + name;
    WriteBytes(path, "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\nX=1\r\n");
    EXPECT_TRUE(RemoveIniEntry(name, "Files", "GLIMR32.HLP"));
    EXPECT_EQ(ReadBytes(path), "[Files]\r\nX=1\r\n");
    EXPECT_FALSE(FileExists(windows + "\\" + kTemporaryName));
    RemoveFile(path);
}

TEST(WriteIniEntry, SetsTheKeyInTheSection) {
    ScratchFolder folder;
    const std::string ini = folder.File("winhelp.ini");
    WriteBytes(ini, "[Files]\r\nOTHER.HLP=C:\\X\r\nGLIMR32.HLP=C:\\OLD\r\n");
    WriteIniEntry(ini, "Files", "GLIMR32.HLP", "C:\\PICS");
    char value[64] = {};
    GetPrivateProfileStringA("Files", "GLIMR32.HLP", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "C:\\PICS");
    GetPrivateProfileStringA("Files", "OTHER.HLP", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "C:\\X");
    EXPECT_NE(ReadBytes(ini).find("GLIMR32.HLP=C:\\PICS"), std::string::npos) << ReadBytes(ini);
}

TEST(WriteIniEntry, ThrowsNamingTheUpperCasedFile) {
    ScratchFolder folder;
    const std::string ini = folder.Path() + "\\missing\\winhelp.ini";
    std::string upper = ini;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    try {
        WriteIniEntry(ini, "Files", "GLIMR32.HLP", "C:\\PICS");
        FAIL() << "no error for a file in a missing folder";
    } catch (const shell::EIniFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Kann nicht nach " + upper + " schreiben");
    }
}
