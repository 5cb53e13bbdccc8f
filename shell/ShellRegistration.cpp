#include "shell/ShellRegistration.h"

#include "shell/IniFiles.h"
#include "shell/Launch.h"
#include "shell/Registry.h"
#include "toolkit/Application.h"
#include "toolkit/Errors.h"

#include <windows.h>

#include <vector>

namespace shell {

namespace {

constexpr char kHelpFileName[] = "GLIMR32.HLP";

std::string& StoredProgramFolder() {
    static std::string folder;
    return folder;
}

std::string& StoredHelpFilePath() {
    static std::string path;
    return path;
}

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void RecordHelpFile(const ShellEnvironment& environment) {
    // Without a Windows folder the file would land in the drive's root.
    if (environment.windowsFolder.empty())
        return;
    const std::string iniFile = PathInFolder(environment.windowsFolder, "WINHELP.INI");
    if (!IsExistingFile(HelpFilePath())) {
        RemoveIniEntry(iniFile, "Files", kHelpFileName);
        return;
    }
    try {
        WriteIniEntry(iniFile, "Files", kHelpFileName, ProgramFolder());
    } catch (const EIniFileError& error) {
        if (environment.reportError)
            environment.reportError(error);
    }
}

} // namespace

std::string ProgramFolderOf(const std::string& programPath) {
    std::string folder = FolderPart(programPath);
    if (folder.size() > 3)
        folder.pop_back();
    return folder;
}

const std::string& ProgramFolder() {
    return StoredProgramFolder();
}

const std::string& HelpFilePath() {
    return StoredHelpFilePath();
}

ShellEnvironment RunningProgramEnvironment() {
    return {ModulePath(), WindowsFolder(),
            [](const std::exception& error) { toolkit::Application().ShowException(error); }};
}

void RegisterShellEntries() {
    RegisterShellEntries(RunningProgramEnvironment());
}

void RegisterShellEntries(const ShellEnvironment& environment) {
    const std::string& programPath = environment.programPath;
    StoredProgramFolder() = ProgramFolderOf(programPath);
    StoredHelpFilePath() = PathInFolder(ProgramFolder(), kHelpFileName);
    const std::string& folder = ProgramFolder();

    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\EXEPath", "", folder);
    WriteRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, "", programPath);
    WriteRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path", folder);

    RecordHelpFile(environment);

    WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Glimmora 1.1b -32");
    WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", programPath + " -u");
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32", "", "Glimmora Picture File");
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\shell\\open\\command", "", programPath + " %1");
    WriteRegString(HKEY_CLASSES_ROOT, "Glimmora32\\Version", "", "1.1b");
}

} // namespace shell
