#include "shell/Uninstall.h"

#include "SavedSystemState.h"
#include "ScratchFiles.h"
#include "shell/FileHandle.h"
#include "shell/Launch.h"
#include "shell/Registry.h"
#include "shell/ShellRegistration.h"
#include "toolkit/Dialogs.h"

#include <gtest/gtest.h>

#include <string_view>
#include <windows.h>

#include <set>
#include <utility>
#include <vector>

using namespace shell;
using namespace shelltest;

namespace {

constexpr char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Extensions";
const char* const kExtensions[] = {".BMP", ".GIF", ".ICO", ".JPG", ".PCX", ".TIF", ".WMF"};

constexpr char kHandOverText[] = "Glimmora has deleted its Windows-Entries !\r\r"
                                 "To delete the Program-Path of Glimmora,\r"
                                 "Glimmora have to close itself and run GLUNINST.EXE,\r"
                                 "which will delete the Glimmora-Files from your Drive.\r\r"
                                 "Press OK to run GLUNINST.EXE";

std::string FailureText(const std::string& folder) {
    return "Error running GLUNINST.EXE with the LOG-File !\r\r"
           "To finish the Unistall Process you have to delete,\r"
           "the Program-Path of Glimmora manually.\r"
           "The Files are located in the Path: " +
           folder + "\r\r";
}

std::string LogText(const std::string& folder) {
    std::string text = "*** Installation Started 1/1/96 00:00 ***\r\n"
                       "Title: Glimmora 1.1b -32 Installation\r\n"
                       "Source: A:\\INST32.EXE\r\n"
                       "Made Dir: " +
                       folder + "\r\n";
    const std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
    for (const char* name :
         {"GLIMR32.EXE", "GLIMR32.HLP", "GLIMR32.CNT", "GLIMR32.GID", "SKY32DEM.DLL"})
        text += "File Copy: " + prefix + name + "\r\n";
    return text;
}

std::string ExtensionValue(const char* extension) {
    return ReadRegString(HKEY_LOCAL_MACHINE, kExtensionsKey, extension);
}

void SetRawValue(HKEY root, const std::string& keyPath, const char* name, DWORD type,
                 const std::string& data) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Receive(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS);
}

// RunUninstall against a scratch program and Windows folder, with every
// outside effect recorded: beeps, boxes, Program Manager, the shell start.
// The program's registry keys and the extension keys are put back afterwards.
class RunUninstallTest : public ::testing::Test {
protected:
    RunUninstallTest() {
        toolkit::SetDialogHook([this](toolkit::DialogRecord& box) {
            events.push_back("box " + box.title);
            boxes.push_back(box);
            return toolkit::mrOk;
        });
        progman.answering = {"", "Progman"};
        WriteBytes(program.File("GLIMR32.HLP"), "help");
    }
    ~RunUninstallTest() override { toolkit::SetDialogHook(nullptr); }

    // What Program Manager sees, and the state of the registry at that time.
    struct FakeProgramManager {
        std::set<std::string> answering;
        std::vector<std::string> executed;
    };
    class Conversation : public DdeConversation {
    public:
        explicit Conversation(RunUninstallTest& test) : test_(test) {}
        ~Conversation() override { test_.events.push_back("disconnect"); }
        void Execute(const std::string& bytes) override {
            test_.events.push_back("execute");
            test_.progman.executed.push_back(bytes);
        }

    private:
        RunUninstallTest& test_;
    };

    UninstallEnvironment Environment() {
        UninstallEnvironment environment;
        environment.programFolder = program.Path();
        environment.windowsFolder = windows.Path();
        environment.beep = [this](UINT type) { events.push_back("beep " + std::to_string(type)); };
        environment.programManager.connect =
            [this](const std::string& service,
                   const std::string& topic) -> std::unique_ptr<DdeConversation> {
            events.push_back("connect " + service + " '" + topic + "'");
            classKeyAtConnect = RegKeyExists(HKEY_CLASSES_ROOT, "Glimmora32");
            bmpKeyAtConnect = RegKeyExists(HKEY_CLASSES_ROOT, ".BMP");
            uninstallKeyAtConnect = RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
            logAtConnect = FileExists(Log());
            if (progman.answering.count(topic) == 0)
                return nullptr;
            return std::make_unique<Conversation>(*this);
        };
        environment.programManager.startProgram = [this](const std::string& commandLine, int show) {
            events.push_back("start '" + commandLine + "' " + std::to_string(show));
            return 0u;
        };
        environment.shellRun = [this](const std::string& file, const std::string& parameters,
                                      const std::string& folder, int show) {
            events.push_back("run " + file + " '" + parameters + "' '" + folder + "' " +
                             std::to_string(show));
            return std::uint16_t{42};
        };
        return environment;
    }

    // The entries of every start, the help-file line included.
    void Register() {
        RegisterShellEntries({program.File("GLIMR32.EXE"), windows.Path(),
                              [](const std::exception& e) { ADD_FAILURE() << e.what(); }});
    }
    void Associate(const char* extension, const std::string& className) {
        WriteRegString(HKEY_CLASSES_ROOT, extension, "", className);
        WriteRegString(HKEY_LOCAL_MACHINE, kExtensionsKey, extension,
                       program.File("GLIMR32.EXE") + " ^" + extension);
    }
    void PutUninstaller() { WriteBytes(windows.File("GLUNINST.EXE"), "MZ"); }
    std::string Log() const { return windows.File("GLUNINST.LOG"); }
    std::string WinIni() const { return windows.File("WIN.INI"); }
    std::string WinHelpIni() const { return windows.File("WINHELP.INI"); }

    void ExpectProgramKeysGone() const {
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "Glimmora32"));
    }

    SavedProgramKeys savedKeys;
    ScratchFolder windows;
    ScratchFolder program;
    FakeProgramManager progman;
    std::vector<std::string> events;
    std::vector<toolkit::DialogRecord> boxes;
    bool classKeyAtConnect = false;
    bool bmpKeyAtConnect = false;
    bool uninstallKeyAtConnect = false;
    bool logAtConnect = false;
};

} // namespace

TEST(UninstallLogLines, NameTheProgramFolderAndItsFiveFiles) {
    EXPECT_EQ(
        UninstallLogLines("C:\\PICS"),
        (std::vector<std::string>{
            "*** Installation Started 1/1/96 00:00 ***", "Title: Glimmora 1.1b -32 Installation",
            "Source: A:\\INST32.EXE", "Made Dir: C:\\PICS", "File Copy: C:\\PICS\\GLIMR32.EXE",
            "File Copy: C:\\PICS\\GLIMR32.HLP", "File Copy: C:\\PICS\\GLIMR32.CNT",
            "File Copy: C:\\PICS\\GLIMR32.GID", "File Copy: C:\\PICS\\SKY32DEM.DLL"}));
    const std::vector<std::string> root = UninstallLogLines("C:\\");
    ASSERT_EQ(root.size(), 9u);
    EXPECT_EQ(root[3], "Made Dir: C:\\");
    EXPECT_EQ(root[4], "File Copy: C:\\GLIMR32.EXE");
    EXPECT_EQ(root[8], "File Copy: C:\\SKY32DEM.DLL");
}

TEST_F(RunUninstallTest, RemovesEveryEntryOfTheProgramAndKeepsTheOthers) {
    WriteBytes(WinHelpIni(), "[Files]\r\nOTHER.HLP=C:\\X\r\n");
    Register();
    ASSERT_EQ(ReadBytes(WinHelpIni()),
              "[Files]\r\nOTHER.HLP=C:\\X\r\nGLIMR32.HLP=" + program.Path() + "\r\n");
    std::string winIni = "[windows]\r\nload=\r\n[Extensions]\r\ntxt=notepad.exe ^.txt\r\n";
    for (const char* extension : kExtensions) {
        Associate(extension, "Glimmora32");
        winIni += std::string(extension + 1) + "=" + program.File("GLIMR32.EXE") + " ^." +
                  (extension + 1) + "\r\n";
    }
    winIni += "[Other]\r\nBMP=keep\r\n";
    WriteBytes(WinIni(), winIni);
    WriteRegString(HKEY_LOCAL_MACHINE, kExtensionsKey, ".TXT", "notepad.exe ^.txt");
    // What the system and other programs keep beside our class name stays.
    WriteRegString(HKEY_CLASSES_ROOT, ".BMP\\ShellNew", "NullFile", "");
    WriteRegString(HKEY_CLASSES_ROOT, ".GIF", "PerceivedType", "image");
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\DefaultIcon", "", "icon");
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", "Glimmora32");
    PutUninstaller();

    RunUninstall(Environment());

    ExpectProgramKeysGone();
    EXPECT_EQ(ReadBytes(WinHelpIni()), "[Files]\r\nOTHER.HLP=C:\\X\r\n");
    EXPECT_EQ(
        ReadBytes(WinIni()),
        "[windows]\r\nload=\r\n[Extensions]\r\ntxt=notepad.exe ^.txt\r\n[Other]\r\nBMP=keep\r\n");
    for (const char* extension : kExtensions) {
        SCOPED_TRACE(extension);
        const std::string_view kept = extension;
        EXPECT_EQ(RegKeyExists(HKEY_CLASSES_ROOT, extension), kept == ".BMP" || kept == ".GIF");
        EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, extension, ""), "");
        EXPECT_EQ(ExtensionValue(extension), "");
    }
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ".BMP\\ShellNew"));
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, ".GIF", "PerceivedType"), "image");
    EXPECT_EQ(ExtensionValue(".TXT"), "notepad.exe ^.txt");
    EXPECT_EQ(progman.executed,
              std::vector<std::string>{std::string("[DeleteGroup(Glimmora32)]\r\n\0", 28)});
}

TEST_F(RunUninstallTest, AnExtensionGoesOnlyWhenItNamesTheClassInAnyLetterCase) {
    Register();
    const std::vector<std::pair<const char*, const char*>> classes = {
        {".BMP", "glimmora32"},  {".GIF", "GifViewer.Picture"}, {".JPG", "Glimmora32 "},
        {".PCX", "Glimmora32X"}, {".TIF", "GLIMMORA32"},        {".WMF", "GlImMoRa32"}};
    std::string winIni = "[Extensions]\r\n";
    for (const char* extension : kExtensions) {
        winIni += std::string(extension + 1) + "=x ^" + extension + "\r\n";
        WriteRegString(HKEY_LOCAL_MACHINE, kExtensionsKey, extension, "x");
    }
    WriteBytes(WinIni(), winIni);
    for (const auto& [extension, className] : classes)
        WriteRegString(HKEY_CLASSES_ROOT, extension, "", className);
    // No key for .ICO; .JPG's value is expanded text, not a string.
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".ICO");
    SetRawValue(HKEY_CLASSES_ROOT, ".JPG", "", REG_EXPAND_SZ, "Glimmora32");
    PutUninstaller();

    RunUninstall(Environment());

    for (const char* gone : {".BMP", ".TIF", ".WMF"}) {
        SCOPED_TRACE(gone);
        EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, gone));
        EXPECT_EQ(ExtensionValue(gone), "");
    }
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, ".GIF", ""), "GifViewer.Picture");
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, ".PCX", ""), "Glimmora32X");
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, ".JPG"));
    for (const char* kept : {".GIF", ".ICO", ".JPG", ".PCX"}) {
        SCOPED_TRACE(kept);
        EXPECT_EQ(ExtensionValue(kept), "x");
    }
    EXPECT_EQ(ReadBytes(WinIni()), "[Extensions]\r\nGIF=x ^.GIF\r\nICO=x ^.ICO\r\n"
                                   "JPG=x ^.JPG\r\nPCX=x ^.PCX\r\n");
}

TEST_F(RunUninstallTest, WithoutTheGroupKeyNoConversationIsOpened) {
    Register();
    PutUninstaller();
    RunUninstall(Environment());
    for (const std::string& event : events)
        EXPECT_EQ(event.find("connect"), std::string::npos) << event;
    EXPECT_TRUE(progman.executed.empty());
    ExpectProgramKeysGone();
}

TEST_F(RunUninstallTest, AGroupKeyWithoutANameSendsTheBareCommand) {
    Register();
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", RegKey().Receive()),
              ERROR_SUCCESS);
    RunUninstall(Environment());
    EXPECT_EQ(progman.executed, std::vector<std::string>{std::string("[DeleteGroup()]\r\n\0", 18)});

    // A name that is no string counts as none.
    progman.executed.clear();
    Register();
    SetRawValue(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", REG_EXPAND_SZ, "Glimmora32");
    RunUninstall(Environment());
    EXPECT_EQ(progman.executed, std::vector<std::string>{std::string("[DeleteGroup()]\r\n\0", 18)});
}

TEST_F(RunUninstallTest, AGroupNameThatIsNoPlainNameCountsAsNoGroup) {
    const std::string names[] = {
        "Glim]Ich", "[Delete", "Bilder(1)", "a)b", "Say \"x\"", "back\\slash", "for/ward",
        "C:", "a,b", "..", "up..", "tab\there", "line\nbreak", std::string(65, 'g'),
        // Wine takes "." for the Programs folder itself.
        ".", "...", " . ", "  ", "Bilder.", "Bilder ", "a*b", "a?b", "a<b", "a>b", "a|b"};
    for (const std::string& name : names) {
        events.clear();
        Register();
        WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", name);
        RunUninstall(Environment());
        for (const std::string& event : events)
            EXPECT_EQ(event.find("connect"), std::string::npos) << name << ": " << event;
        EXPECT_TRUE(progman.executed.empty()) << name;
        progman.executed.clear();
        ExpectProgramKeysGone();
    }
    // The longest plain name still goes.
    Register();
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", std::string(64, 'g'));
    RunUninstall(Environment());
    EXPECT_EQ(progman.executed.size(), 1u);
}

TEST_F(RunUninstallTest, TheGroupGoesAfterTheExtensionsAndBeforeTheClassKey) {
    Register();
    Associate(".BMP", "Glimmora32");
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", "Glimmora Bilder");
    PutUninstaller();

    RunUninstall(Environment());

    EXPECT_TRUE(classKeyAtConnect);
    EXPECT_FALSE(bmpKeyAtConnect);
    EXPECT_FALSE(uninstallKeyAtConnect);
    EXPECT_FALSE(logAtConnect);
    EXPECT_EQ(progman.executed,
              std::vector<std::string>{std::string("[DeleteGroup(Glimmora Bilder)]\r\n\0", 33)});
    EXPECT_EQ(events,
              (std::vector<std::string>{
                  "connect Progman ''", "execute", "disconnect", "beep 64", "box Information",
                  "run " + windows.File("GLUNINST.EXE") + " '" + Log() + "' '' 5"}));
}

TEST_F(RunUninstallTest, TriesTheProgmanTopicAndThenStartsProgramManager) {
    Register();
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", "Glimmora32");
    progman.answering.clear();
    PutUninstaller();

    RunUninstall(Environment());

    EXPECT_TRUE(progman.executed.empty());
    EXPECT_EQ(events, (std::vector<std::string>{"connect Progman ''", "connect Progman 'Progman'",
                                                "start 'Progman ' 7", "beep 64", "box Information",
                                                "run " + windows.File("GLUNINST.EXE") + " '" +
                                                    Log() + "' '' 5"}));
    ExpectProgramKeysGone();
}

TEST_F(RunUninstallTest, WritesTheLogAndHandsOverToTheUninstaller) {
    Register();
    PutUninstaller();
    WriteBytes(Log(), std::string(2000, 'x'));

    RunUninstall(Environment());

    EXPECT_EQ(ReadBytes(Log()), LogText(program.Path()));
    EXPECT_EQ(events, (std::vector<std::string>{"beep 64", "box Information",
                                                "run " + windows.File("GLUNINST.EXE") + " '" +
                                                    Log() + "' '' 5"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].type, toolkit::TMsgDlgType::mtInformation);
    EXPECT_EQ(boxes[0].text, kHandOverText);
    EXPECT_EQ(boxes[0].buttons, std::vector<std::string>{"OK"});
}

TEST_F(RunUninstallTest, TheLogOfAProgramInADriveRootHasOneBackslash) {
    PutUninstaller();
    UninstallEnvironment environment = Environment();
    environment.programFolder = "C:\\";
    RunUninstall(environment);
    EXPECT_EQ(ReadBytes(Log()), LogText("C:\\"));
}

TEST_F(RunUninstallTest, WithoutTheUninstallerTheLogStaysEmptyAndTheFolderIsNamed) {
    Register();
    Associate(".GIF", "Glimmora32");
    WriteBytes(Log(), "old log");

    RunUninstall(Environment());

    ExpectProgramKeysGone();
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".GIF"));
    ASSERT_TRUE(FileExists(Log()));
    EXPECT_EQ(ReadBytes(Log()), "");
    EXPECT_EQ(events, (std::vector<std::string>{"beep 16", "box Fehler"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].type, toolkit::TMsgDlgType::mtError);
    EXPECT_EQ(boxes[0].text, FailureText(program.Path()));
    EXPECT_EQ(boxes[0].buttons, std::vector<std::string>{"OK"});

    // A folder of that name is no uninstaller either.
    events.clear();
    ASSERT_TRUE(CreateDirectoryA(windows.File("GLUNINST.EXE").c_str(), nullptr));
    RunUninstall(Environment());
    EXPECT_EQ(events, (std::vector<std::string>{"beep 16", "box Fehler"}));
}

TEST_F(RunUninstallTest, ALogThatCannotBeCreatedIsAFailure) {
    Register();
    PutUninstaller();
    WriteBytes(Log(), "kept");
    {
        // Held by another without sharing.
        FileHandle held(CreateFileA(Log().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        RunUninstall(Environment());
    }
    EXPECT_EQ(ReadBytes(Log()), "kept");
    EXPECT_EQ(events, (std::vector<std::string>{"beep 16", "box Fehler"}));
    ExpectProgramKeysGone();

    // A folder in its place.
    events.clear();
    RemoveFile(Log());
    ASSERT_TRUE(CreateDirectoryA(Log().c_str(), nullptr));
    RunUninstall(Environment());
    EXPECT_TRUE(FolderExists(Log()));
    EXPECT_EQ(events, (std::vector<std::string>{"beep 16", "box Fehler"}));
}

TEST_F(RunUninstallTest, WithoutAWindowsFolderNoFileIsTouched) {
    Register();
    const std::string winHelp = ReadBytes(WinHelpIni());
    UninstallEnvironment environment = Environment();
    environment.windowsFolder.clear();
    const bool rootLogBefore = FileExists("\\GLUNINST.LOG");

    RunUninstall(environment);

    ExpectProgramKeysGone();
    EXPECT_EQ(ReadBytes(WinHelpIni()), winHelp);
    EXPECT_EQ(FileExists("\\GLUNINST.LOG"), rootLogBefore);
    EXPECT_EQ(events, (std::vector<std::string>{"beep 16", "box Fehler"}));
}

TEST_F(RunUninstallTest, ReadOnlyIniFilesStayAsTheyAre) {
    Register();
    Associate(".BMP", "Glimmora32");
    WriteBytes(WinIni(), "[Extensions]\nbmp=x ^.bmp\n");
    const std::string winHelp = ReadBytes(WinHelpIni());
    ASSERT_TRUE(SetFileAttributesA(WinIni().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(WinHelpIni().c_str(), FILE_ATTRIBUTE_READONLY));
    PutUninstaller();

    RunUninstall(Environment());

    EXPECT_EQ(ReadBytes(WinIni()), "[Extensions]\nbmp=x ^.bmp\n");
    EXPECT_EQ(ReadBytes(WinHelpIni()), winHelp);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".BMP"));
    EXPECT_EQ(ExtensionValue(".BMP"), "");
    ExpectProgramKeysGone();
    EXPECT_EQ(ReadBytes(Log()), LogText(program.Path()));
}

TEST_F(RunUninstallTest, RunningItTwiceGivesTheSameLog) {
    PutUninstaller();
    Register();
    RunUninstall(Environment());
    const std::string first = ReadBytes(Log());
    Register();
    ASSERT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
    RunUninstall(Environment());
    ExpectProgramKeysGone();
    EXPECT_EQ(ReadBytes(Log()), first);
    EXPECT_EQ(first, LogText(program.Path()));
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(RunUninstallTest, NothingRegisteredIsNoProblem) {
    PutUninstaller();
    RunUninstall(Environment());
    ExpectProgramKeysGone();
    EXPECT_FALSE(FileExists(WinHelpIni()));
    EXPECT_FALSE(FileExists(WinIni()));
    EXPECT_EQ(ReadBytes(Log()), LogText(program.Path()));
}

// The running program's places: the folder fixed at start and the system's
// Windows folder, whose files are put back afterwards.
TEST_F(RunUninstallTest, TheRunningProgramUsesItsFolderAndTheWindowsFolder) {
    const std::string systemWindows = WindowsFolder();
    ASSERT_FALSE(systemWindows.empty());
    MovedAside uninstaller(systemWindows + "\\GLUNINST.EXE");
    MovedAside log(systemWindows + "\\GLUNINST.LOG");
    MovedAside winHelp(systemWindows + "\\WINHELP.INI");
    MovedAside winIni(systemWindows + "\\WIN.INI");
    WriteBytes(systemWindows + "\\WIN.INI", "[Extensions]\r\nbmp=x\r\ngif=y\r\n");
    RegisterShellEntries({program.File("GLIMR32.EXE"), systemWindows, {}});
    ASSERT_EQ(ProgramFolder(), program.Path());
    WriteRegString(HKEY_CLASSES_ROOT, ".BMP", "", "Glimmora32");

    RunUninstall();

    ExpectProgramKeysGone();
    EXPECT_EQ(ReadBytes(systemWindows + "\\WIN.INI"), "[Extensions]\r\ngif=y\r\n");
    EXPECT_EQ(ReadBytes(systemWindows + "\\WINHELP.INI"), "[Files]\r\n");
    EXPECT_EQ(ReadBytes(systemWindows + "\\GLUNINST.LOG"), "");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, FailureText(program.Path()));
}
