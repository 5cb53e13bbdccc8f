// GLUNINST.EXE itself, started as its own process on scratch installations.
#include "ScratchInstallation.h"
#include "TestProcess.h"
#include "common/ProgramWindows.h"
#include "uninstaller/Handle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testsupport;
using namespace uninstalltest;

using Paths = std::vector<std::string>;

namespace {

constexpr DWORD kPatience = 20000;

int RunUninstaller(const std::string& arguments, const std::string& folder = {}) {
    return Process(BinFile("GLUNINST.EXE"), arguments, folder).Wait();
}

// The message of the one box the process shows, answered with OK.
std::string AnswerBox(DWORD process) {
    HWND box = nullptr;
    if (!e2e::WaitUntil([&] { return (box = e2e::FindBoxOf(process)) != nullptr; }))
        return "<no box>";
    std::string text;
    e2e::AnswerOk(box, text);
    return text;
}

// Started on a log it does not carry out: the box says so, and why.
std::string RefusalOf(const std::string& arguments, int expectedCode) {
    Process uninstaller(BinFile("GLUNINST.EXE"), arguments);
    const std::string text = AnswerBox(uninstaller.Id());
    EXPECT_EQ(uninstaller.Wait(), expectedCode) << arguments;
    EXPECT_EQ(text.find("Es wurde nichts gelöscht."), 0u) << text;
    return text;
}

} // namespace

TEST(Gluninst, RemovesAnInstallationStartedFromItsFolder) {
    ScratchInstallation installation;
    // The folder is the uninstaller's current folder, as the program's was.
    EXPECT_EQ(RunUninstaller(installation.Log(), installation.Folder()), 0);
    EXPECT_EQ(installation.Remaining(), Paths{"WINDOWS"});
}

TEST(Gluninst, KeepsAFolderThatHoldsOtherFiles) {
    ScratchInstallation installation;
    WriteBytes(installation.File("SUNSET.BMP"), "picture");
    EXPECT_EQ(RunUninstaller("\"" + installation.Log() + "\""), 0);
    EXPECT_EQ(installation.Remaining(), (Paths{"Glimmora32", "Glimmora32\\SUNSET.BMP", "WINDOWS"}));
}

TEST(Gluninst, TakesAnUnquotedLogPathWithBlanks) {
    ScratchInstallation installation;
    const std::string folder = installation.Windows() + "\\MY LOGS";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(MoveFileA(installation.Log().c_str(), (folder + "\\GLUNINST.LOG").c_str()));
    EXPECT_EQ(RunUninstaller(folder + "\\GLUNINST.LOG"), 0);
    EXPECT_EQ(installation.Remaining(), (Paths{"WINDOWS", "WINDOWS\\MY LOGS"}));
}

TEST(Gluninst, RefusesAGarbledOrMissingLog) {
    ScratchInstallation installation;
    // The files do not lie in the folder the log names.
    std::string garbled = installation.LogText();
    const std::size_t folderLine = garbled.find("Made Dir: ");
    garbled.replace(folderLine, garbled.find("\r\n", folderLine) - folderLine,
                    "Made Dir: " + installation.Windows());
    WriteBytes(installation.Log(), garbled);
    EXPECT_NE(RefusalOf(installation.Log(), 2).find("kein Deinstallationsprotokoll"),
              std::string::npos);
    const std::string missing = installation.Windows() + "\\MISSING.LOG";
    EXPECT_NE(RefusalOf(missing, 1).find(missing), std::string::npos);
    EXPECT_NE(RefusalOf("", 1).find("keine Protokolldatei"), std::string::npos);
    EXPECT_EQ(installation.Remaining(), ScratchInstallation::Untouched());
}

// Started by the program from the folder the log names, renamed or not, it
// waits until that program has ended before it deletes anything.
TEST(Gluninst, WaitsForTheProgramThatStartedIt) {
    for (const std::string name : {"GLIMR32.EXE", "VIEW.EXE"}) {
        SCOPED_TRACE(name);
        ScratchInstallation installation;
        const std::string program = installation.File(name);
        ASSERT_TRUE(
            CopyFileA(BinFile("uninstaller_test_starter.exe").c_str(), program.c_str(), FALSE));
        const std::string idFile = installation.Windows() + "\\started.id";
        Process starter(program, "\"" + BinFile("GLUNINST.EXE") + "\" \"" + installation.Log() +
                                     "\" 3000 \"" + idFile + "\"");

        std::string id;
        for (int i = 0; i < 100 && id.empty(); ++i) {
            Sleep(20);
            TryReadBytes(idFile, id);
        }
        ASSERT_FALSE(id.empty()) << "the uninstaller was not started";
        gluninst::ScopedHandle uninstaller(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, std::stoul(id)));
        ASSERT_TRUE(uninstaller);
        Sleep(1500);
        EXPECT_EQ(WaitForSingleObject(uninstaller.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "it did not wait";
        Paths waiting = ScratchInstallation::Untouched();
        waiting.push_back("WINDOWS\\started.id");
        if (name != "GLIMR32.EXE")
            waiting.push_back("Glimmora32\\" + name);
        std::sort(waiting.begin(), waiting.end());
        EXPECT_EQ(installation.Remaining(), waiting);

        EXPECT_EQ(starter.Wait(), 0);
        // A renamed program is no file of the log's: it stays with its folder,
        // and the box of files left names it.
        if (name != "GLIMR32.EXE") {
            EXPECT_NE(AnswerBox(std::stoul(id)).find(program), std::string::npos);
        }
        EXPECT_EQ(WaitForSingleObject(uninstaller.Get(), kPatience),
                  static_cast<DWORD>(WAIT_OBJECT_0));
        DWORD code = 99;
        GetExitCodeProcess(uninstaller.Get(), &code);
        EXPECT_EQ(code, 0u);
        const Paths left = name == "GLIMR32.EXE" ? Paths{"WINDOWS", "WINDOWS\\started.id"}
                                                 : Paths{"Glimmora32", "Glimmora32\\" + name,
                                                         "WINDOWS", "WINDOWS\\started.id"};
        EXPECT_EQ(installation.Remaining(), left);
    }
}
