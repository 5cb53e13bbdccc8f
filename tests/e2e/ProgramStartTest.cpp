// GLIMR32.EXE started as a user starts it, watched from outside: its
// windows, their controls and the registry entries it writes.
#include "../browser/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

using namespace glimtest;

namespace {

constexpr DWORD kPatience = 10000; // ms for a window to appear or the program to end

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring TextW(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassW(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string ProgramFile() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\')) + "\\GLIMR32.EXE";
}

std::string WindowsIni() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\WINHELP.INI";
}

struct ChildWindow {
    HWND handle;
    std::wstring className;
    std::string text;
};

// A control's text as it holds it now: GetWindowText does not ask another
// process's controls, WM_GETTEXT does.
std::wstring ControlTextW(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM out) {
    reinterpret_cast<std::vector<ChildWindow>*>(out)->push_back(
        {window, ClassW(window), Narrow(ControlTextW(window))});
    return TRUE;
}

std::vector<ChildWindow> Children(HWND window) {
    std::vector<ChildWindow> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

const ChildWindow* FindChild(const std::vector<ChildWindow>& children, const wchar_t* className,
                             const std::string& text = "\x01") {
    for (const ChildWindow& c : children)
        if (lstrcmpiW(c.className.c_str(), className) == 0 && (text == "\x01" || c.text == text))
            return &c;
    return nullptr;
}

// List box entries read across the process border: only the W message works.
std::vector<std::string> ListEntries(HWND list) {
    std::vector<std::string> entries;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        entries.push_back(Narrow(text));
    }
    return entries;
}

std::string ComboSelection(HWND combo) {
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return "<none>";
    wchar_t text[MAX_PATH] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

const wchar_t kFormClass[] = L"Glimmora.Window"; // forms are the top-level ones
const wchar_t kDialogClass[] = L"Glimmora.Dialog";
const wchar_t kNoname[] = L"Glimmora32 - [Noname]";

struct WindowSearch {
    DWORD process;
    const wchar_t* className;
    const wchar_t* title; // any title when null
    HWND found;
};

BOOL CALLBACK DescribeWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process)
        std::cerr << "  window " << Narrow(ClassW(window)) << " \"" << Narrow(TextW(window))
                  << "\" visible " << IsWindowVisible(window) << "\n";
    return TRUE;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) ||
        ClassW(window) != search->className || (search->title && TextW(window) != search->title))
        return TRUE;
    search->found = window;
    return FALSE;
}

struct WindowCount {
    DWORD process;
    const wchar_t* className;
    int all, visible;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
    auto* count = reinterpret_cast<WindowCount*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == count->process && ClassW(window) == count->className) {
        ++count->all;
        count->visible += IsWindowVisible(window) != FALSE;
    }
    return TRUE;
}

// The program running in a process of its own; ended when the test is over.
class RunningProgram {
public:
    // show: the show-window value of the start-up information, -1 for none.
    RunningProgram(const std::string& arguments, const std::string& folder, int show = -1) {
        std::string commandLine = Quoted(ProgramFile());
        if (!arguments.empty()) {
            commandLine += ' ';
            commandLine += arguments;
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (show >= 0) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = static_cast<WORD>(show);
        }
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &info_) != FALSE;
        EXPECT_TRUE(started_) << commandLine << ": error " << GetLastError();
    }
    ~RunningProgram() {
        if (!started_)
            return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, kPatience);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started_; }

    // A visible top-level window of the program, null when none comes in time.
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title) {
        for (DWORD waited = 0; waited < kPatience; waited += 50) {
            if (HWND window = FindWindowOfProcess(className, title))
                return window;
            if (Ended())
                return FindWindowOfProcess(className, title);
            Sleep(50);
        }
        WindowSearch search{info_.dwProcessId, className, title, nullptr};
        EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&search));
        return nullptr;
    }
    // Top-level windows of the class, and how many of them are visible.
    std::pair<int, int> CountWindows(const wchar_t* className) const {
        WindowCount count{info_.dwProcessId, className, 0, 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
        return {count.all, count.visible};
    }
    HWND FindWindowOfProcess(const wchar_t* className, const wchar_t* title) const {
        WindowSearch search{info_.dwProcessId, className, title, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
    // The exit code once the program ended in time, -1 otherwise; notes
    // whether a browser window showed meanwhile.
    long WaitForExit(bool* browserShown = nullptr) {
        DWORD waited = 0;
        while (WaitForSingleObject(info_.hProcess, 20) == WAIT_TIMEOUT) {
            if (browserShown && FindWindowOfProcess(kFormClass, nullptr))
                *browserShown = true;
            if ((waited += 20) >= kPatience)
                return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

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

    SavedProgramEntries savedEntries;
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
    std::string lastText;
    for (int boxes = 0; box && boxes < 10; ++boxes) {
        std::vector<ChildWindow> children = Children(box);
        const ChildWindow* text = FindChild(children, L"Static");
        for (const ChildWindow& c : children)
            if (c.className == L"Static" && !c.text.empty())
                text = &c;
        lastText = text ? text->text : "";
        const ChildWindow* ok = FindChild(children, L"Button", "OK");
        ASSERT_NE(ok, nullptr) << lastText;
        SendMessageW(ok->handle, BM_CLICK, 0, 0);
        // The next box, or the end of the load: the window is enabled again
        // only when LoadPicture has finished.
        box = nullptr;
        for (DWORD waited = 0; !box && waited < 15000; waited += 20) {
            Sleep(20);
            box = program.FindWindowOfProcess(kDialogClass, nullptr);
            if (!box && IsWindowEnabled(window))
                break;
        }
    }
    EXPECT_EQ(box, nullptr);
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
