// GLUNINST.EXE LOGFILE: deletes the files and the folder that an uninstall
// log names, then the log. It shows a box only when named files are left;
// the exit code tells the outcome.
#include "uninstaller/Removal.h"
#include "uninstaller/Starter.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kStarterPatience = 30000;

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? path : std::string(buffer, length);
}

// A folder that is the current folder of a process cannot be removed.
void LeaveCurrentFolder() {
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length != 0 && length < sizeof windows)
        SetCurrentDirectoryA(windows);
}

// A starter that waits with WaitForInputIdle would otherwise wait for this
// program while this program waits for it to end.
void ReportReady() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

void ShowBox(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "Glimmora Deinstallation",
                MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

void ShowLeftFiles(const std::vector<std::string>& files) {
    std::string text = "Folgende Dateien wurden nicht gelöscht:\r\r";
    for (const std::string& file : files)
        text += file + "\r";
    text += "\rBitte löschen Sie diese Dateien von Hand.";
    ShowBox(text);
}

void ShowRefusal(gluninst::ExitCode code, const std::string& logPath) {
    std::string text = "Es wurde nichts gelöscht.\r\r";
    if (logPath.empty())
        text += "Es wurde keine Protokolldatei angegeben.";
    else if (code == gluninst::kLogUnreadable)
        text += "Die Protokolldatei\r" + logPath + "\rkann nicht gelesen werden.";
    else
        text +=
            "Die Protokolldatei\r" + logPath + "\rist kein Deinstallationsprotokoll von Glimmora.";
    ShowBox(text);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    ReportReady();
    const std::string given = gluninst::LogPathFromArguments(arguments ? arguments : "");
    if (given.empty()) {
        ShowRefusal(gluninst::kLogUnreadable, given);
        return gluninst::kLogUnreadable;
    }
    const std::string logPath = FullPath(given);
    LeaveCurrentFolder();
    std::string starter;
    std::vector<std::string> left;
    const gluninst::ExitCode code = gluninst::Uninstall(
        logPath,
        [&starter](const gluninst::RemovalPlan& plan) {
            starter = gluninst::AwaitStarter(plan, kStarterPatience);
        },
        [&left](const std::vector<std::string>& files) { left = files; });
    if (code == gluninst::kLogUnreadable || code == gluninst::kLogMalformed) {
        ShowRefusal(code, logPath);
        return code;
    }
    // A renamed program is no file of the log's.
    if (!starter.empty() && FileExists(starter))
        left.push_back(starter);
    if (!left.empty())
        ShowLeftFiles(left);
    return code;
}
