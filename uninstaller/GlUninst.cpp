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

void ShowLeftFiles(const std::vector<std::string>& files) {
    std::string text = "Folgende Dateien konnten nicht gelöscht werden:\r\r";
    for (const std::string& file : files)
        text += file + "\r";
    text += "\rBitte löschen Sie diese Dateien von Hand.";
    MessageBoxA(nullptr, text.c_str(), "Glimmora Deinstallation",
                MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    ReportReady();
    const std::string given = gluninst::LogPathFromArguments(arguments ? arguments : "");
    if (given.empty())
        return gluninst::kLogUnreadable;
    const std::string logPath = FullPath(given);
    LeaveCurrentFolder();
    return gluninst::Uninstall(
        logPath,
        [](const gluninst::RemovalPlan& plan) { gluninst::AwaitStarter(plan, kStarterPatience); },
        ShowLeftFiles);
}
