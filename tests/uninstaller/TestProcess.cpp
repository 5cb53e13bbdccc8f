#include "TestProcess.h"

#include <gtest/gtest.h>

namespace uninstalltest {

std::string BinFile(const std::string& name) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string module(path, length);
    return module.substr(0, module.rfind('\\') + 1) + name;
}

Process::Process(const std::string& program, const std::string& arguments,
                 const std::string& folder) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ =
        CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
    EXPECT_TRUE(started_) << commandLine << ": error " << GetLastError();
}

Process::~Process() {
    if (!started_)
        return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 20000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

int Process::Wait(DWORD milliseconds) const {
    if (!started_ || WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

} // namespace uninstalltest
