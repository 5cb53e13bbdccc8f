// The release build installed, GLIMR32.EXE started with "-u" and answered as a user would;
// afterwards the registry, the INI files, the start menu and the disk are
// checked from outside. The system's entries and files come back afterwards.
#include "common/ProgramWindows.h"
#include "common/SavedRegistry.h"
#include "common/TestSupport.h"
#include "common/Files.h"
#include "common/ScratchFolder.h"
#include "TestProcess.h"
#include "shell/ProgramManager.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

using namespace testsupport;
using glimtest::kAppPathsKey;
using glimtest::kUninstallKey;
using namespace uninstalltest;

namespace {

constexpr char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Extensions";

std::string TextOf(HWND window) {
    return e2e::Narrow(e2e::TextW(window));
}

std::string ClassOf(HWND window) {
    return e2e::Narrow(e2e::ClassW(window));
}

struct Search {
    DWORD process;
    std::string className;
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if ((search.process != 0 && process != search.process) ||
        lstrcmpiA(ClassOf(window).c_str(), search.className.c_str()) != 0 ||
        (!search.text.empty() && TextOf(window) != search.text))
        return TRUE;
    search.found = window;
    return FALSE;
}

// A visible message box of the process with this title; null after ten seconds.
HWND WaitForBox(DWORD process, const std::string& title) {
    for (int i = 0; i < 200; ++i) {
        Search search{process, "Glimmora.Dialog", title};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsWindowVisible(search.found))
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
    auto& list = *reinterpret_cast<std::pair<DWORD, std::string>*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == list.first)
        list.second += "[" + ClassOf(window) + " '" + TextOf(window) + "' " +
                       std::to_string(IsWindowVisible(window)) + "]";
    return TRUE;
}

std::string Windows(DWORD process) {
    std::pair<DWORD, std::string> list{process, {}};
    EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&list));
    return list.second;
}

HWND Child(HWND parent, const std::string& className, const std::string& text) {
    Search search{0, className, text};
    EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The box's answer to a click of the button, posted: a click sent across the
// process border does not always reach a box that has just appeared.
void Press(HWND box, HWND button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

std::string RegString(HKEY root, const std::string& key, const char* value = "") {
    char data[MAX_PATH] = {};
    DWORD size = sizeof data - 1;
    if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return "<none>";
    return data;
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

void SetString(HKEY root, const std::string& key, const char* value, const std::string& data) {
    ASSERT_EQ(RegSetKeyValueA(root, key.c_str(), value, REG_SZ, data.c_str(),
                              static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS);
}

// Whether the desktop's Program Manager service takes a conversation, so
// that the program need not start Program Manager itself.
bool ProgramManagerAnswers() {
    return shell::ConnectDde("Progman", "Progman") != nullptr;
}

// A group of the start menu (a folder under Wine), removed afterwards if the
// test has not seen it go.
class StartMenuGroup {
public:
    StartMenuGroup() {
        char programs[MAX_PATH] = {};
        EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs), S_OK);
        name_ = "Glimmora32 Test " + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        folder_ = std::string(programs) + "\\" + name_;
        EXPECT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    }
    ~StartMenuGroup() { RemoveDirectoryA(folder_.c_str()); }
    StartMenuGroup(const StartMenuGroup&) = delete;
    StartMenuGroup& operator=(const StartMenuGroup&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Folder() const { return folder_; }

private:
    std::string name_;
    std::string folder_;
};

} // namespace

TEST(UninstallEndToEnd, MinusUAndYesLeaveNothingOfTheProgram) {
    SavedProgramKeys savedKeys;
    char windowsBuffer[MAX_PATH] = {};
    ASSERT_NE(GetWindowsDirectoryA(windowsBuffer, sizeof windowsBuffer), 0u);
    const std::string windows = windowsBuffer;
    MovedAside savedUninstaller(windows + "\\GLUNINST.EXE");
    MovedAside savedLog(windows + "\\GLUNINST.LOG");
    MovedAside savedWinHelp(windows + "\\WINHELP.INI");
    MovedAside savedWinIni(windows + "\\WIN.INI");
    ASSERT_TRUE(
        CopyFileA(BinFile("GLUNINST.EXE").c_str(), (windows + "\\GLUNINST.EXE").c_str(), FALSE));

    // What an installation would have made.
    ScratchFolder base;
    const std::string folder = base.File("Glimmora32");
    const std::string exe = folder + "\\GLIMR32.EXE";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(BinFile("GLIMR32.EXE").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA(BinFile("SKY32DEM.DLL").c_str(), (folder + "\\SKY32DEM.DLL").c_str(), FALSE));
    for (const char* name : {"GLIMR32.HLP", "GLIMR32.CNT", "GLIMR32.GID"})
        WriteBytes(folder + "\\" + name, name);
    WriteBytes(base.File("SUNSET.BMP"), "a picture beside the program folder");
    SetString(HKEY_CLASSES_ROOT, ".BMP", "", "Glimmora32");
    SetString(HKEY_CLASSES_ROOT, ".GIF", "", "OtherViewer.Picture");
    SetString(HKEY_LOCAL_MACHINE, kExtensionsKey, ".BMP", exe + " ^.bmp");
    SetString(HKEY_LOCAL_MACHINE, kExtensionsKey, ".GIF", "other.exe ^.gif");
    WriteBytes(windows + "\\WIN.INI",
               "[Extensions]\r\nbmp=" + exe + " ^.bmp\r\ngif=other.exe ^.gif\r\n");
    WriteBytes(windows + "\\WINHELP.INI", "[Files]\r\nOTHER.HLP=C:\\X\r\n");
    StartMenuGroup group;
    SetString(HKEY_CLASSES_ROOT, "Glimmora32\\PMGroup", "", group.Name());
    ASSERT_TRUE(ProgramManagerAnswers());

    {
        Process program(exe, "-u", folder);
        ASSERT_TRUE(program.Started());
        const HWND question = WaitForBox(program.Id(), "Best\xe4tigen");
        ASSERT_NE(question, nullptr) << "no question; windows " << Windows(program.Id());
        const HWND yes = Child(question, "Button", "&Ja");
        ASSERT_NE(yes, nullptr);
        Press(question, yes);

        const HWND handOver = WaitForBox(program.Id(), "Information");
        ASSERT_NE(handOver, nullptr) << "no hand-over message; windows " << Windows(program.Id());
        EXPECT_NE(Child(handOver, "Static",
                        "Glimmora has deleted its Windows-Entries !\r\n\r\n"
                        "To delete the Program-Path of Glimmora,\r\n"
                        "Glimmora have to close itself and run GLUNINST.EXE,\r\n"
                        "which will delete the Glimmora-Files from your Drive.\r\n\r\n"
                        "Press OK to run GLUNINST.EXE"),
                  nullptr);
        // Handed over only now: everything is still on the disk.
        EXPECT_TRUE(FileExists(exe));
        EXPECT_NE(ReadBytes(windows + "\\GLUNINST.LOG").find("Made Dir: " + folder + "\r\n"),
                  std::string::npos);
        const HWND ok = Child(handOver, "Button", "OK");
        ASSERT_NE(ok, nullptr);
        Press(handOver, ok);
        EXPECT_EQ(program.Wait(), 0);
    }

    // The uninstaller deletes its log last.
    for (int i = 0; i < 400 && FileExists(windows + "\\GLUNINST.LOG"); ++i)
        Sleep(50);
    EXPECT_FALSE(FileExists(windows + "\\GLUNINST.LOG"));
    EXPECT_FALSE(FolderExists(folder));
    EXPECT_TRUE(FileExists(base.File("SUNSET.BMP")));
    EXPECT_TRUE(FileExists(windows + "\\GLUNINST.EXE"));

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Glimmora32"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".BMP"));
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kExtensionsKey, ".BMP"), "<none>");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, ".GIF"), "OtherViewer.Picture");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kExtensionsKey, ".GIF"), "other.exe ^.gif");
    EXPECT_EQ(ReadBytes(windows + "\\WIN.INI"), "[Extensions]\r\ngif=other.exe ^.gif\r\n");
    EXPECT_EQ(ReadBytes(windows + "\\WINHELP.INI"), "[Files]\r\nOTHER.HLP=C:\\X\r\n");
    for (int i = 0; i < 100 && FolderExists(group.Folder()); ++i)
        Sleep(50);
    EXPECT_FALSE(FolderExists(group.Folder()));
}
