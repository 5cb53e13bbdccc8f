#include "shell/Uninstall.h"

#include "shell/LetterCase.h"
#include "shell/FileHandle.h"
#include "shell/IniFiles.h"
#include "shell/Launch.h"
#include "shell/Paths.h"
#include "shell/Registry.h"
#include "shell/ShellRegistration.h"
#include "toolkit/Dialogs.h"

#include <windows.h>

#include <string_view>

namespace shell {

namespace {

constexpr char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Extensions";
constexpr char kClassKey[] = "Glimmora32";
constexpr char kGroupKey[] = "Glimmora32\\PMGroup";
const char* const kExtensions[] = {".BMP", ".GIF", ".ICO", ".JPG", ".PCX", ".TIF", ".WMF"};

constexpr char kUninstallerName[] = "GLUNINST.EXE";
constexpr char kLogName[] = "GLUNINST.LOG";

constexpr char kHandOverText[] = "Glimmora has deleted its Windows-Entries !\r\r"
                                 "To delete the Program-Path of Glimmora,\r"
                                 "Glimmora have to close itself and run GLUNINST.EXE,\r"
                                 "which will delete the Glimmora-Files from your Drive.\r\r"
                                 "Press OK to run GLUNINST.EXE";
constexpr char kFailureText[] = "Error running GLUNINST.EXE with the LOG-File !\r\r"
                                "To finish the Unistall Process you have to delete,\r"
                                "the Program-Path of Glimmora manually.\r"
                                "The Files are located in the Path: ";

bool WriteLog(HANDLE file, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// Step 4: an extension goes only when its key names the class. The key may
// hold what the system and other programs keep there (ShellNew,
// OpenWithProgids...): only our default value goes, then the key if that
// left it empty.
void RemoveExtension(const std::string& extension, const std::string& windowsFolder) {
    if (UpperCaseAscii(ReadRegString(HKEY_CLASSES_ROOT, extension, "")) != "GLIMMORA32")
        return;
    if (!windowsFolder.empty())
        RemoveIniEntry(PathInFolder(windowsFolder, "WIN.INI"), "Extensions", extension.substr(1));
    DeleteRegValue(HKEY_LOCAL_MACHINE, kExtensionsKey, extension);
    if (DeleteRegValue(HKEY_CLASSES_ROOT, extension, ""))
        DeleteEmptyRegKey(HKEY_CLASSES_ROOT, extension);
}

// The name goes into a DDE command: brackets, parentheses, quotes and
// separators would end it or add one, so only a plain name is sent. The
// group is a folder of the start menu, and the system drops trailing dots
// and blanks: "." or "a." would name the Programs folder or another group.
bool IsPlainGroupName(const std::string& name) {
    if (name.size() > 64 || name.find("..") != std::string::npos)
        return false;
    if (!name.empty() && (name.back() == '.' || name.back() == ' '))
        return false;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7f ||
            std::string_view("[]()\"\\/:,*?<>|").find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

void RemoveEntries(const UninstallEnvironment& environment) {
    DeleteRegKey(HKEY_LOCAL_MACHINE, kAppPathsKey);
    // Without a Windows folder the INI files are unknown: they stay.
    if (!environment.windowsFolder.empty())
        RemoveIniEntry(PathInFolder(environment.windowsFolder, "WINHELP.INI"), "Files",
                       "GLIMR32.HLP");
    DeleteRegKey(HKEY_LOCAL_MACHINE, kUninstallKey);
    for (const char* extension : kExtensions)
        RemoveExtension(extension, environment.windowsFolder);
    if (RegKeyExists(HKEY_CLASSES_ROOT, kGroupKey)) {
        // A name that is not plain counts as no group at all.
        const std::string group = ReadRegString(HKEY_CLASSES_ROOT, kGroupKey, "");
        if (IsPlainGroupName(group))
            DeleteProgramManagerGroup(group, environment.programManager);
    }
    DeleteRegKey(HKEY_CLASSES_ROOT, kClassKey);
}

// Steps 7 to 9: true when the log holds its nine lines and the uninstaller
// is there to read it.
bool WriteUninstallLog(const UninstallEnvironment& environment) {
    if (environment.windowsFolder.empty())
        return false;
    const std::string logPath = PathInFolder(environment.windowsFolder, kLogName);
    FileHandle log(CreateFileA(logPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log)
        return false;
    if (!IsExistingFile(PathInFolder(environment.windowsFolder, kUninstallerName)))
        return false;
    const bool written = WriteLog(log.Get(), UninstallLogLines(environment.programFolder));
    return log.Close() && written;
}

} // namespace

UninstallEnvironment RunningUninstallEnvironment() {
    return {ProgramFolder(), WindowsFolder(), [](UINT type) { MessageBeep(type); },
            SystemProgramManagerLink(), ShellRun};
}

std::vector<std::string> UninstallLogLines(const std::string& programFolder) {
    return {
        "*** Installation Started 1/1/96 00:00 ***",
        "Title: Glimmora 1.1b -32 Installation",
        "Source: A:\\INST32.EXE",
        "Made Dir: " + programFolder,
        "File Copy: " + PathInFolder(programFolder, "GLIMR32.EXE"),
        "File Copy: " + PathInFolder(programFolder, "GLIMR32.HLP"),
        "File Copy: " + PathInFolder(programFolder, "GLIMR32.CNT"),
        "File Copy: " + PathInFolder(programFolder, "GLIMR32.GID"),
        "File Copy: " + PathInFolder(programFolder, "SKY32DEM.DLL"),
    };
}

void RunUninstall() {
    RunUninstall(RunningUninstallEnvironment());
}

void RunUninstall(const UninstallEnvironment& environment) {
    RemoveEntries(environment);
    if (!WriteUninstallLog(environment)) {
        environment.beep(MB_ICONHAND);
        toolkit::MessageDlg(kFailureText + environment.programFolder + "\r\r",
                            toolkit::TMsgDlgType::mtError, {toolkit::TMsgDlgBtn::mbOK});
        return;
    }
    environment.beep(MB_ICONASTERISK);
    toolkit::MessageDlg(kHandOverText, toolkit::TMsgDlgType::mtInformation,
                        {toolkit::TMsgDlgBtn::mbOK});
    // A failed start is not reported.
    environment.shellRun(PathInFolder(environment.windowsFolder, kUninstallerName),
                         PathInFolder(environment.windowsFolder, kLogName), "", SW_SHOW);
}

} // namespace shell
