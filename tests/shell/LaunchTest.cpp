#include "shell/Launch.h"

#include "ScratchFiles.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

using namespace shell;
using namespace shelltest;

TEST(WindowsFolder, IsTheSystemsWindowsFolder) {
    const std::string folder = WindowsFolder();
    const char* windir = std::getenv("windir");
    ASSERT_NE(windir, nullptr);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folder.c_str(), -1, windir, -1),
              CSTR_EQUAL)
        << folder << " / " << windir;
    EXPECT_TRUE(FolderExists(folder));
}

TEST(ShellRun, ReportsAMissingProgram) {
    ScratchFolder folder;
    EXPECT_EQ(ShellRun(folder.File("GLUNINST.EXE"), "", "", SW_SHOW), SE_ERR_FNF);
}

TEST(ShellRun, PassesParametersAndWorkingFolder) {
    ScratchFolder folder;
    const std::uint16_t result =
        ShellRun("cmd.exe", "/c echo started>started.txt", folder.Path(), SW_HIDE);
    EXPECT_GT(result, 32u);
    // The program runs on its own; wait for its file.
    std::string text;
    for (int i = 0; i < 200 && text != "started\r\n"; ++i) {
        Sleep(50);
        TryReadBytes(folder.File("started.txt"), text);
    }
    EXPECT_EQ(text, "started\r\n");
}
