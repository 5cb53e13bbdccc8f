// GLIMR32.EXE started as a user starts it, watched from outside: its
// windows, their controls and the registry entries it writes.
#include "common/TestSupport.h"
#include "common/ProgramWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

using namespace e2e;
using namespace glimtest;

namespace {

std::string WindowsIni() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\WINHELP.INI";
}

// Starts from a clean registry and puts the system's entries back afterwards.
class ProgramStart : public ::testing::Test {
protected:
    ProgramStart() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathsKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "Glimmora32");
        scratch.AddFolder("SUB");
        scratch.AddFile("Sunset.bmp");
        scratch.AddFile("readme.txt");
    }

    // Checks the browser window in its idle state on the scratch folder and closes it.
    void ExpectIdleBrowserAndClose(RunningProgram& program) {
        HWND window = program.WaitForWindow(kFormClass, kNoname);
        ASSERT_NE(window, nullptr) << "no browser window";
        EXPECT_EQ(program.FindWindowOfProcess(kDialogClass, nullptr), nullptr);
        std::vector<ChildWindow> children = Children(window);
        const ChildWindow* list = FindChild(children, L"ListBox");
        ASSERT_NE(list, nullptr);
        std::vector<std::string> entries = ListEntries(list->handle);
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries,
                  (std::vector<std::string>{"Sunset.bmp", "[..]", "[.]", "[SUB]", "readme.txt"}));
        EXPECT_EQ(SendMessageW(list->handle, LB_GETCURSEL, 0, 0), 0);
        const ChildWindow* edit = FindChild(children, L"Edit");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text, "*.*");
        const ChildWindow* fullview = FindChild(children, L"Button", "&FULLVIEW");
        ASSERT_NE(fullview, nullptr);
        EXPECT_FALSE(IsWindowEnabled(fullview->handle));
        EXPECT_NE(FindChild(children, L"Glimmora.Window", "Picture-Info:"), nullptr);

        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0);
    }

    SavedProgramKeys savedEntries;
    SavedFile savedWinHelp{WindowsIni()};
    ScratchFolder scratch;
};

} // namespace

TEST_F(ProgramStart, PlainStartShowsTheBrowserAndRegistersTheProgram) {
    RunningProgram program("", scratch.Path());
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow(kFormClass, kNoname);
    ASSERT_NE(window, nullptr) << "no window titled Glimmora32 - [Noname]";

    std::vector<ChildWindow> children = Children(window);
    for (const char* button : {"&STRETCH", "&FULLVIEW", "E &X I T", "&COPY TO CLIPBOARD"})
        EXPECT_NE(FindChild(children, L"Button", button), nullptr) << button;
    EXPECT_TRUE(IsWindowEnabled(FindChild(children, L"Button", "E &X I T")->handle));
    EXPECT_FALSE(IsWindowEnabled(FindChild(children, L"Button", "&COPY TO CLIPBOARD")->handle));
    const ChildWindow* drives = FindChild(children, L"ComboBox");
    ASSERT_NE(drives, nullptr);
    EXPECT_GE(SendMessageW(drives->handle, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(ComboSelection(drives->handle).substr(0, 2), scratch.Path().substr(0, 2));

    // The full-screen window exists, hidden.
    EXPECT_EQ(program.CountWindows(kFormClass), std::make_pair(2, 1));

    const std::string exe = ProgramFile();
    const std::string folder = exe.substr(0, exe.rfind('\\'));
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey), exe);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path"), folder);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Glimmora 1.1b -32");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), exe + " -u");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Glimmora32\\shell\\open\\command"), exe + " %1");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Glimmora32"), "Glimmora Picture File");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Glimmora32\\Version"), "1.1b");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Glimmora32\\EXEPath"), folder);

    ExpectIdleBrowserAndClose(program);
}

TEST_F(ProgramStart, ParametersThatNameNoPictureStartPlainly) {
    ScratchFolder other;
    other.AddFile("x.png");
    other.AddFolder("dir.bmp");
    for (const std::string& parameter :
         {std::string("-Uninstallx"), std::string("-Uninstall"), std::string("\"-U x\""),
          Quoted(other.File("missing.bmp")), Quoted(other.File("x.png")),
          Quoted(other.File("dir.bmp"))}) {
        SCOPED_TRACE(parameter);
        RunningProgram program(parameter, scratch.Path());
        ASSERT_TRUE(program.Started());
        ExpectIdleBrowserAndClose(program);
    }
}

TEST_F(ProgramStart, PictureParameterOpensItsFolderAtItsEntry) {
    ScratchFolder pictures;
    pictures.AddFile("SUNSET.bmp", FILE_ATTRIBUTE_NORMAL, SmallBitmap());
    pictures.AddFile("other.txt");
    RunningProgram program(Quoted(pictures.File("sunset.BMP")), scratch.Path());
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow(kFormClass, L"Glimmora32 - [SUNSET.BMP]");
    ASSERT_NE(window, nullptr) << "no window titled with the picture's name";
    EXPECT_EQ(program.FindWindowOfProcess(kDialogClass, nullptr), nullptr);
    // Loaded last: the list is on the picture's folder at its entry by now.
    std::vector<ChildWindow> children = Children(window);
    const ChildWindow* list = FindChild(children, L"ListBox");
    ASSERT_NE(list, nullptr);
    std::vector<std::string> entries = ListEntries(list->handle);
    LRESULT selected = SendMessageW(list->handle, LB_GETCURSEL, 0, 0);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(entries[static_cast<size_t>(selected)], "SUNSET.bmp");
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"SUNSET.bmp", "[..]", "[.]", "other.txt"}));
    EXPECT_EQ(FindChild(children, L"Edit")->text, "SUNSET.BMP");
    EXPECT_NE(FindChild(children, L"Glimmora.Window", "Picture-Info:  2x2x16M"), nullptr);

    // The system menu's Close passes the message hook.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramStart, PictureThatCannotBeLoadedIsReportedOverTheDrawnWindow) {
    scratch.AddFile("broken.bmp", FILE_ATTRIBUTE_NORMAL, "not a bitmap");
    RunningProgram program(Quoted(scratch.File("broken.bmp")), scratch.Path());
    ASSERT_TRUE(program.Started());
    HWND box = program.WaitForWindow(kDialogClass, nullptr);
    ASSERT_NE(box, nullptr) << "no error box";
    HWND window = program.FindWindowOfProcess(kFormClass, kNoname);
    ASSERT_NE(window, nullptr) << "the browser window is drawn under the box";

    // The component's own boxes come first; the browser's box is the last.
    std::string lastText = program.DismissBoxes(window);
    EXPECT_EQ(program.FindWindowOfProcess(kDialogClass, nullptr), nullptr);
    EXPECT_EQ(lastText, "BROKEN.BMP is not a valid Bitmapfile !");

    // The window stays open with an empty preview.
    EXPECT_FALSE(program.Ended());
    EXPECT_EQ(TextW(window), kNoname);
    EXPECT_TRUE(IsWindowEnabled(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramStart, ShowStateOfTheStartUpInformation) {
    struct Case {
        int show;
        bool minimised, maximised;
    };
    for (Case c : {Case{SW_SHOWMAXIMIZED, false, true}, Case{SW_SHOWMINNOACTIVE, true, false},
                   Case{SW_SHOWNORMAL, false, false}}) {
        SCOPED_TRACE(c.show);
        RunningProgram program("", scratch.Path(), c.show);
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForWindow(kFormClass, kNoname);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(IsIconic(window) != FALSE, c.minimised);
        EXPECT_EQ(IsZoomed(window) != FALSE, c.maximised);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
}

TEST_F(ProgramStart, MinusUAsksAndNoEndsTheProgramWithoutAWindow) {
    const std::string exe = ProgramFile();
    for (const char* parameter : {"-U", "-u"}) {
        SCOPED_TRACE(parameter);
        RunningProgram program(parameter, scratch.Path());
        ASSERT_TRUE(program.Started());
        HWND box = program.WaitForWindow(kDialogClass, nullptr);
        ASSERT_NE(box, nullptr) << "no question";
        EXPECT_EQ(TextW(box), L"Best\u00e4tigen");
        EXPECT_EQ(program.FindWindowOfProcess(kFormClass, nullptr), nullptr);

        std::vector<ChildWindow> children = Children(box);
        EXPECT_NE(FindChild(children, L"Static",
                            "Glimmora -32 is going to delete itself from your system.\r\n"
                            "Do you want to proceed the Uninstall process ?"),
                  nullptr);
        EXPECT_NE(FindChild(children, L"Button", "&Ja"), nullptr);
        const ChildWindow* no = FindChild(children, L"Button", "&Nein");
        ASSERT_NE(no, nullptr);
        // Registered before the question.
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey), exe);

        SendMessageW(no->handle, BM_CLICK, 0, 0);
        bool browserShown = false;
        EXPECT_EQ(program.WaitForExit(&browserShown), 0);
        EXPECT_FALSE(browserShown);
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), exe + " -u");
    }
}
