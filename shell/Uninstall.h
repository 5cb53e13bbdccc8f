// The uninstall start: removes every entry of the program, its file
// associations and its Program Manager group, writes the log for
// GLUNINST.EXE and starts it.
#pragma once

#include "shell/ProgramManager.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace shell {

// ShellRun: program, parameters, working folder, show command.
using ShellStarter =
    std::function<std::uint16_t(const std::string& program, const std::string& parameters,
                                const std::string& folder, int showCommand)>;

// What the uninstall depends on outside the registry.
struct UninstallEnvironment {
    std::string programFolder;
    // Holds WINHELP.INI, WIN.INI, GLUNINST.EXE and the log; empty when unknown.
    std::string windowsFolder;
    std::function<void(UINT type)> beep;
    ProgramManagerLink programManager;
    ShellStarter shellRun;
};

// The program folder set at start, the system's Windows folder, MessageBeep,
// the DDE library, WinExec and ShellRun.
UninstallEnvironment RunningUninstallEnvironment();

// The nine lines of GLUNINST.LOG for a program folder, without line ends.
std::vector<std::string> UninstallLogLines(const std::string& programFolder);

void RunUninstall();
void RunUninstall(const UninstallEnvironment& environment);

} // namespace shell
