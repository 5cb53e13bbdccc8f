// The three ways of starting: the uninstall question, the plain start and
// the start with a picture, run in this process.
#include "../browser/BrowserFixture.h"
#include "fullscreen/Unit2.h"
#include "program/StartUp.h"
#include "shell/ShortenPath.h"
#include "toolkit/Application.h"
#include "toolkit/Errors.h"

using namespace glimtest;
using browser::TForm1;

namespace {

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string WindowsIni(const char* name) {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\" + name;
}

BOOL CALLBACK CountForm(HWND window, LPARAM counter) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "Glimmora.Window") == 0)
        ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// The toolkit's top-level windows of this thread: its forms.
int ThreadFormWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountForm, reinterpret_cast<LPARAM>(&count));
    return count;
}

int NormalStart() {
    return SW_SHOWNORMAL;
}

int FailingStart() {
    throw toolkit::EOutOfResources("Systemressourcen ersch\xf6pft.");
}

// RunProgram with the system's registry entries and WINHELP.INI put back
// afterwards, and every box answered by the test.
class RunProgramTest : public ::testing::Test {
protected:
    RunProgramTest() {
        browser::ProgramShowCommand() = SW_SHOWDEFAULT;
        browser::SetStartupShowWindowSource(NormalStart);
        toolkit::SetDialogHook([this](toolkit::DialogRecord& box) {
            dialogs.push_back(box);
            return answer;
        });
        toolkit::Application().SetHelpHook([this](const std::string&, UINT command, ULONG_PTR) {
            helpCommands.push_back(command);
        });
        SetCurrentDirectoryA(scratch.Path().c_str());
    }
    ~RunProgramTest() override {
        SetCurrentDirectoryA(folderGuard.Saved().c_str());
        toolkit::SetDialogHook(nullptr);
        toolkit::Application().SetHelpHook(nullptr);
    }

    SavedProgramKeys savedEntries;
    SavedFile savedWinHelp{WindowsIni("WINHELP.INI")};
    CurrentFolderGuard folderGuard;
    ScratchFolder scratch;
    std::vector<toolkit::DialogRecord> dialogs;
    std::vector<UINT> helpCommands;
    int answer = toolkit::mrNo;
};

using UninstallStart = RunProgramTest;
using PlainStart = RunProgramTest;

// What the browser window showed while the message loop ran.
struct SeenWindow {
    bool shown = false;
    std::string caption;
    std::string folder;
    bool loopRunning = false;
    bool viewOwnedByBrowser = false;
} seen;

void CALLBACK CloseBrowserWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
    static int ticks = 0;
    TForm1* form = browser::Form1;
    if (!form || (!IsWindowVisible(form->Handle()) && ++ticks < 100))
        return;
    KillTimer(nullptr, timer);
    seen.shown = IsWindowVisible(form->Handle()) != FALSE;
    seen.caption = WindowText(form->Handle());
    seen.folder = form->FileListBox1->ShownFolder();
    seen.loopRunning = true;
    seen.viewOwnedByBrowser =
        fullscreen::Form2 && GetWindow(fullscreen::Form2->Handle(), GW_OWNER) == form->Handle();
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
}

} // namespace

TEST_F(UninstallStart, MinusUInEitherCaseAsksAndOpensNoWindow) {
    const std::string program = ModulePath();
    for (const char* parameter : {"-u", "-U"}) {
        SCOPED_TRACE(parameter);
        dialogs.clear();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathsKey);
        EXPECT_EQ(program::RunProgram(parameter), 0);

        ASSERT_EQ(dialogs.size(), 1u);
        const toolkit::DialogRecord& box = dialogs[0];
        EXPECT_EQ(box.type, toolkit::TMsgDlgType::mtConfirmation);
        EXPECT_EQ(box.title, "Best\xe4tigen");
        EXPECT_EQ(box.text, "Glimmora -32 is going to delete itself from your system.\r"
                            "Do you want to proceed the Uninstall process ?");
        EXPECT_EQ(box.buttons, (std::vector<std::string>{"&Ja", "&Nein"}));

        EXPECT_EQ(browser::Form1, nullptr);
        EXPECT_EQ(toolkit::Application().MainForm(), nullptr);
        EXPECT_EQ(ThreadFormWindows(), 0);
        // Registered before the question, and left so after No.
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey), program);
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), program + " -u");
    }
}

// Reported before any window has given the program a title.
TEST_F(UninstallStart, AHelpLineThatCannotBeWrittenIsReportedUnderTheProgramsTitle) {
    const std::string program = ModulePath();
    const std::string help = program.substr(0, program.rfind('\\') + 1) + "GLIMR32.HLP";
    testsupport::MovedAside savedHelp(help);
    testsupport::WriteBytes(help, "help");
    // A folder where the INI file belongs cannot be written.
    const std::string ini = WindowsIni("WINHELP.INI");
    testsupport::RemoveFile(ini);
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
    toolkit::Application().SetTitle(""); // as in a new process
    program::RunProgram("-u");
    RemoveDirectoryA(ini.c_str());

    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].type, toolkit::TMsgDlgType::mtError);
    EXPECT_EQ(dialogs[0].title, "Glimmora32");
    EXPECT_EQ(dialogs[0].text.rfind("Kann nicht nach ", 0), 0u) << dialogs[0].text;
}

TEST_F(PlainStart, MinusUninstallIsNoSwitch) {
    ASSERT_FALSE(toolkit::Application().Terminated()) << "the message loop can run once only";
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseBrowserWhenShown);
    EXPECT_EQ(program::RunProgram("-Uninstall"), 0);
    KillTimer(nullptr, timer);

    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(seen.loopRunning);
    EXPECT_TRUE(seen.shown);
    EXPECT_TRUE(seen.viewOwnedByBrowser) << "no taskbar entry of the full-screen view's own";
    EXPECT_EQ(seen.caption, "Glimmora32 - [Noname]");
    EXPECT_EQ(seen.folder, scratch.Path());
    EXPECT_EQ(browser::Form1, nullptr) << "the window is gone after the loop";
    EXPECT_EQ(ThreadFormWindows(), 0);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey), ModulePath());
}

TEST_F(PlainStart, AFailureWhileTheWindowsAreBuiltIsReported) {
    browser::SetStartupShowWindowSource(FailingStart);
    int result = 0;
    EXPECT_NO_THROW(result = program::RunProgram(""));
    browser::SetStartupShowWindowSource(NormalStart);

    EXPECT_EQ(result, 1);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].type, toolkit::TMsgDlgType::mtError);
    EXPECT_EQ(dialogs[0].text, "Systemressourcen ersch\xf6pft.");
    EXPECT_EQ(browser::Form1, nullptr);
    EXPECT_EQ(fullscreen::Form2, nullptr);
    EXPECT_EQ(toolkit::Application().MainForm(), nullptr);
    EXPECT_EQ(ThreadFormWindows(), 0);
}

namespace {

class PictureStart : public BrowserTest {
protected:
    PictureStart() {
        pictures.AddFile("SUNSET.bmp", FILE_ATTRIBUTE_NORMAL, SmallBitmap());
        pictures.AddFile("after.txt");
        pictures.AddFolder("SUB");
        pictures.AddFile("sys.bmp", FILE_ATTRIBUTE_SYSTEM, SmallBitmap());
    }
    ScratchFolder pictures;
};

} // namespace

TEST_F(PictureStart, ShowsTheFolderSelectsTheEntryAndLoadsTheUpperCasedPath) {
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    f.OpenPicturePath(pictures.File("sunset.BMP"));

    EXPECT_EQ(f.FileListBox1->ShownFolder(), pictures.Path());
    EXPECT_EQ(f.FileListBox1->SelectedName(), "SUNSET.bmp");
    EXPECT_EQ(f.Edit1->Text(), "SUNSET.BMP");
    EXPECT_EQ(WindowText(f.Label2->Handle()), shell::ShortenPath(pictures.Path(), 30));
    EXPECT_EQ(browser::LastLoadedPath(), Upper(pictures.Path() + "\\SUNSET.BMP"));
    EXPECT_EQ(WindowText(f.Handle()), "Glimmora32 - [SUNSET.BMP]");
    EXPECT_EQ(f.ActiveControl(), f.FileListBox1);
    EXPECT_EQ(GetFocus(), f.FileListBox1->Handle());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(PictureStart, APictureTheListDoesNotShowIsLoadedWithoutSelection) {
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    f.OpenPicturePath(pictures.File("sys.bmp"));

    EXPECT_EQ(f.FileListBox1->ShownFolder(), pictures.Path());
    EXPECT_EQ(f.FileListBox1->ItemIndex(), -1);
    EXPECT_EQ(f.Edit1->Text(), "*.*");
    EXPECT_EQ(browser::LastLoadedPath(), Upper(pictures.File("sys.bmp")));
    EXPECT_EQ(WindowText(f.Handle()), "Glimmora32 - [SYS.BMP]");
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(PictureStart, APictureOnANetworkShareOpensFromItsFolder) {
    const std::string share = "\\\\localhost\\glimshare";
    const std::string picture = share + "\\NET.BMP";
    if (!testsupport::TryWriteBytes(picture, SmallBitmap()))
        GTEST_SKIP() << "no test share here";
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    f.OpenPicturePath(picture);

    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(lstrcmpiA(f.FileListBox1->ShownFolder().c_str(), share.c_str()), 0)
        << f.FileListBox1->ShownFolder();
    EXPECT_EQ(f.FileListBox1->SelectedName(), "NET.BMP");
    EXPECT_EQ(WindowText(f.Handle()), "Glimmora32 - [NET.BMP]");
    DeleteFileA(picture.c_str());
}

TEST_F(PictureStart, APictureOnAnotherDriveSwitchesTheDriveBox) {
    const std::string start = folderGuard.Saved();
    if (toupper(start[0]) == toupper(pictures.Path()[0]))
        GTEST_SKIP() << "the test starts on the pictures' drive";
    TForm1& f = OpenForm(start);
    ASSERT_EQ(f.DriveComboBox1->Drive(), toupper(start[0]));
    f.OpenPicturePath(pictures.File("SUNSET.bmp"));

    EXPECT_EQ(f.DriveComboBox1->Drive(), toupper(pictures.Path()[0]));
    HWND drives = f.DriveComboBox1->Handle();
    char text[MAX_PATH] = {};
    SendMessageA(drives, CB_GETLBTEXT, SendMessageA(drives, CB_GETCURSEL, 0, 0),
                 reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(toupper(text[0]), toupper(pictures.Path()[0]));
    EXPECT_EQ(text[1], ':');
    EXPECT_EQ(f.FileListBox1->SelectedName(), "SUNSET.bmp");
}
