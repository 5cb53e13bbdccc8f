// Stands in for the program that starts the uninstaller:
//   starter PROGRAM PARAMETER MILLISECONDS PIDFILE
// starts PROGRAM with PARAMETER, writes its process id into PIDFILE, and
// ends MILLISECONDS later.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

} // namespace

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    std::string commandLine = std::string("\"") + argv[1] + "\" " + argv[2];
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return 1;
    Handle thread(started.hThread);
    Handle process(started.hProcess);
    const std::string id = std::to_string(started.dwProcessId);
    HANDLE file = CreateFileA(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        Handle closer(file);
        DWORD written = 0;
        WriteFile(file, id.data(), static_cast<DWORD>(id.size()), &written, nullptr);
    }
    Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    return 0;
}
