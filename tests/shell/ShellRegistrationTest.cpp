#include "shell/ShellRegistration.h"

#include "ScratchFiles.h"
#include "shell/Registry.h"
#include "toolkit/Errors.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

using namespace shell;
using namespace shelltest;

namespace {

constexpr char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

void RemoveProgramEntries() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathsKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "Glimmora32");
}

std::string HelpLine(const std::string& ini) {
    char value[MAX_PATH] = {};
    GetPrivateProfileStringA("Files", "GLIMR32.HLP", "<none>", value, sizeof value, ini.c_str());
    return value;
}

// Runs the registration against a scratch Windows folder and collects what
// it reports; starts and ends without the program's registry entries.
class RegisterShellEntriesTest : public ::testing::Test {
protected:
    RegisterShellEntriesTest() { RemoveProgramEntries(); }
    ~RegisterShellEntriesTest() override { RemoveProgramEntries(); }

    void Register(const std::string& programPath) {
        RegisterShellEntries({programPath, windows.Path(),
                              [this](const std::exception& e) { reported.push_back(e.what()); }});
    }
    std::string WinHelpIni() const { return windows.File("WINHELP.INI"); }

    // Every entry of the table, as written for this program file.
    void ExpectEntriesFor(const std::string& programPath, const std::string& folder) const {
        EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, "Glimmora32\\EXEPath", ""), folder);
        EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, ""), programPath);
        EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path"), folder);
        EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"),
                  "Glimmora 1.1b -32");
        EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
                  programPath + " -u");
        EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, "Glimmora32", ""), "Glimmora Picture File");
        EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, "Glimmora32\\shell\\open\\command", ""),
                  programPath + " %1");
        EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, "Glimmora32\\Version", ""), "1.1b");
    }

    ScratchFolder windows;
    std::vector<std::string> reported;
};

// Puts a file back as it was before the test, or removes it.
class FileRestorer {
public:
    explicit FileRestorer(std::string path)
        : path_(std::move(path)), existed_(TryReadBytes(path_, bytes_)) {}
    ~FileRestorer() {
        if (existed_)
            WriteBytes(path_, bytes_);
        else
            RemoveFile(path_);
    }

private:
    std::string path_;
    std::string bytes_;
    bool existed_;
};

// Creates a file for the test unless one is there; removes only its own.
class FileForTest {
public:
    explicit FileForTest(std::string path) : path_(std::move(path)), own_(!FileExists(path_)) {
        if (own_)
            WriteBytes(path_, "help");
    }
    ~FileForTest() {
        if (own_)
            RemoveFile(path_);
    }

private:
    std::string path_;
    bool own_;
};

} // namespace

TEST(ProgramFolderOf, KeepsTheBackslashOnlyForADriveRoot) {
    EXPECT_EQ(ProgramFolderOf("C:\\PICS\\GLIMR32.EXE"), "C:\\PICS");
    EXPECT_EQ(ProgramFolderOf("C:\\GLIMR32.EXE"), "C:\\");
    EXPECT_EQ(ProgramFolderOf("D:\\TOOLS\\VIEW\\VIEW.EXE"), "D:\\TOOLS\\VIEW");
    EXPECT_EQ(ProgramFolderOf("C:GLIMR32.EXE"), "C:");
}

TEST(PathInFolder, JoinsWithOneBackslashCountingCharactersNotBytes) {
    EXPECT_EQ(PathInFolder("C:\\PICS", "GLIMR32.HLP"), "C:\\PICS\\GLIMR32.HLP");
    EXPECT_EQ(PathInFolder("C:\\", "GLIMR32.HLP"), "C:\\GLIMR32.HLP");
    // Shift-JIS: the folder name ends in a character whose second byte is 0x5C.
    constexpr unsigned kShiftJis = 932;
    const std::string folder = "C:\\\x88\xea\x97\x97\x95\\"; // C:\ichiran-hyou
    EXPECT_EQ(PathInFolder(folder, "GLIMR32.HLP", kShiftJis), folder + "\\GLIMR32.HLP");
    const std::string file = folder + "\\\x83\\.JPG"; // a name of one katakana "so"
    EXPECT_EQ(FolderPart(file, kShiftJis), folder + "\\");
    EXPECT_EQ(NamePart(file, kShiftJis), "\x83\\.JPG");
}

TEST_F(RegisterShellEntriesTest, ProgramInADriveRoot) {
    FileForTest help("C:\\GLIMR32.HLP");
    Register("C:\\GLIMR32.EXE");
    EXPECT_EQ(ProgramFolder(), "C:\\");
    EXPECT_EQ(HelpFilePath(), "C:\\GLIMR32.HLP");
    ExpectEntriesFor("C:\\GLIMR32.EXE", "C:\\");
    EXPECT_EQ(HelpLine(WinHelpIni()), "C:\\");
    EXPECT_TRUE(reported.empty());
}

TEST_F(RegisterShellEntriesTest, ProgramInASubFolder) {
    ScratchFolder program;
    FileForTest help(program.File("GLIMR32.HLP"));
    Register(program.File("GLIMR32.EXE"));
    EXPECT_EQ(ProgramFolder(), program.Path());
    EXPECT_EQ(HelpFilePath(), program.File("GLIMR32.HLP"));
    ExpectEntriesFor(program.File("GLIMR32.EXE"), program.Path());
    EXPECT_EQ(HelpLine(WinHelpIni()), program.Path());
}

TEST_F(RegisterShellEntriesTest, ProgramFileOfAnotherName) {
    Register("D:\\TOOLS\\VIEW.EXE");
    ExpectEntriesFor("D:\\TOOLS\\VIEW.EXE", "D:\\TOOLS");
    EXPECT_EQ(HelpFilePath(), "D:\\TOOLS\\GLIMR32.HLP");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "VIEW.EXE"));
}

TEST_F(RegisterShellEntriesTest, EntriesFollowTheProgramToANewPlace) {
    Register("C:\\OLD\\GLIMR32.EXE");
    Register("C:\\NEW PLACE\\GLIMR32.EXE");
    ExpectEntriesFor("C:\\NEW PLACE\\GLIMR32.EXE", "C:\\NEW PLACE");
    EXPECT_EQ(ProgramFolder(), "C:\\NEW PLACE");
}

TEST_F(RegisterShellEntriesTest, RemovesTheHelpLineWhenTheHelpFileIsMissing) {
    WriteBytes(WinHelpIni(), "[Files]\n"
                             "WINFILE.HLP=C:\\WINDOWS\n"
                             "glimr32.hlp=C:\\OLD\n"
                             "NOTEPAD.HLP=C:\\WINDOWS\n"
                             "[Other]\n"
                             "GLIMR32.HLP=C:\\KEEP\n");
    ScratchFolder program;
    Register(program.File("GLIMR32.EXE"));
    EXPECT_EQ(ReadBytes(WinHelpIni()), "[Files]\r\n"
                                       "WINFILE.HLP=C:\\WINDOWS\r\n"
                                       "NOTEPAD.HLP=C:\\WINDOWS\r\n"
                                       "[Other]\r\n"
                                       "GLIMR32.HLP=C:\\KEEP\r\n");
    ExpectEntriesFor(program.File("GLIMR32.EXE"), program.Path());
    EXPECT_TRUE(reported.empty());
}

TEST_F(RegisterShellEntriesTest, ReplacesAnOldHelpLine) {
    WriteBytes(WinHelpIni(), "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\nOTHER.HLP=C:\\X\r\n");
    ScratchFolder program;
    FileForTest help(program.File("GLIMR32.HLP"));
    Register(program.File("GLIMR32.EXE"));
    EXPECT_EQ(HelpLine(WinHelpIni()), program.Path());
    char other[MAX_PATH] = {};
    GetPrivateProfileStringA("Files", "OTHER.HLP", "", other, sizeof other, WinHelpIni().c_str());
    EXPECT_STREQ(other, "C:\\X");
}

TEST_F(RegisterShellEntriesTest, HelpDirectoryIsNoHelpFile) {
    WriteBytes(WinHelpIni(), "[Files]\r\nGLIMR32.HLP=C:\\OLD\r\n");
    ScratchFolder program;
    ASSERT_TRUE(CreateDirectoryA(program.File("GLIMR32.HLP").c_str(), nullptr));
    Register(program.File("GLIMR32.EXE"));
    EXPECT_EQ(ReadBytes(WinHelpIni()), "[Files]\r\n");
}

TEST_F(RegisterShellEntriesTest, ReportsAFailedHelpLineAndGoesOn) {
    ScratchFolder program;
    FileForTest help(program.File("GLIMR32.HLP"));
    const std::string missingWindows = windows.File("missing");
    std::string expectedIni = missingWindows + "\\WINHELP.INI";
    for (char& c : expectedIni)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));

    RegisterShellEntries({program.File("GLIMR32.EXE"), missingWindows,
                          [this](const std::exception& e) { reported.push_back(e.what()); }});

    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "Kann nicht nach " + expectedIni + " schreiben");
    ExpectEntriesFor(program.File("GLIMR32.EXE"), program.Path());
}

// The help line needs the Windows folder: without one, no INI file is
// written into the root of the current drive.
TEST_F(RegisterShellEntriesTest, WithoutAWindowsFolderNoHelpLineIsWritten) {
    ScratchFolder program;
    FileForTest help(program.File("GLIMR32.HLP"));
    FileRestorer rootIni("\\WINHELP.INI");
    RemoveFile("\\WINHELP.INI");
    RegisterShellEntries({program.File("GLIMR32.EXE"), "",
                          [this](const std::exception& e) { reported.push_back(e.what()); }});
    EXPECT_FALSE(FileExists("\\WINHELP.INI"));
    EXPECT_TRUE(reported.empty());
    ExpectEntriesFor(program.File("GLIMR32.EXE"), program.Path());
}

TEST_F(RegisterShellEntriesTest, RegistersTheRunningProgram) {
    const ShellEnvironment running = RunningProgramEnvironment();
    ASSERT_GE(running.programPath.size(), 15u);
    EXPECT_EQ(running.programPath.substr(running.programPath.size() - 15), "shell_tests.exe");
    ASSERT_FALSE(running.windowsFolder.empty());
    FileRestorer winHelp(running.windowsFolder + "\\WINHELP.INI");
    RegisterShellEntries();
    ExpectEntriesFor(running.programPath, ProgramFolderOf(running.programPath));
    EXPECT_EQ(HelpFilePath(), ProgramFolder() + "\\GLIMR32.HLP");
}
