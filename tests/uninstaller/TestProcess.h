// Programs of the build started as processes of the test.
#pragma once

#include <windows.h>

#include <string>

namespace uninstalltest {

// A file beside the test program: the build's bin folder, which also holds
// the build's program, library and uninstaller.
std::string BinFile(const std::string& name);

// A process of the test's; ended by the test when it outlives it.
class Process {
public:
    Process(const std::string& program, const std::string& arguments,
            const std::string& folder = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    // The exit code; -1 when it did not end in time.
    int Wait(DWORD milliseconds = 20000) const;

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

} // namespace uninstalltest
