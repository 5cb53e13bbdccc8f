// The entries the program writes at every start: App Paths, the help-file
// list, the list of removable programs and the file class "Glimmora32".
#pragma once

#include "shell/Paths.h"

#include <exception>
#include <functional>
#include <string>

namespace shell {

// The program's keys below HKEY_LOCAL_MACHINE, written at start, removed by
// the uninstall.
inline constexpr char kAppPathsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\GLIMR32.EXE";
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora32";

// Reports an error and lets the registration go on.
using ErrorReporter = std::function<void(const std::exception& error)>;

// What the registration depends on outside the registry.
struct ShellEnvironment {
    std::string programPath;   // full path of the running program file
    std::string windowsFolder; // holds WINHELP.INI
    ErrorReporter reportError;
};

// The running program: its module path, the Windows folder and the
// application's general error report.
ShellEnvironment RunningProgramEnvironment();

// Sets the program folder and the help file path, then writes every entry.
// A failed write leaves the others unaffected.
void RegisterShellEntries();
void RegisterShellEntries(const ShellEnvironment& environment);

// The folder of the program file without a trailing backslash, except for a
// drive root ("C:\").
std::string ProgramFolderOf(const std::string& programPath);

// Set by RegisterShellEntries.
const std::string& ProgramFolder();
// "GLIMR32.HLP" in the program folder; set by RegisterShellEntries.
const std::string& HelpFilePath();

} // namespace shell
