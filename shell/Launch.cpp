#include "shell/Launch.h"

#include "toolkit/Application.h"

#include <windows.h>
#include <shellapi.h>

namespace shell {

std::string WindowsFolder() {
    char buffer[144];
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    // A result at or above the buffer size is the size it would need.
    if (length == 0 || length >= sizeof buffer)
        return {};
    return std::string(buffer, length);
}

std::uint16_t ShellRun(const std::string& program, const std::string& parameters,
                       const std::string& folder, int showCommand) {
    HINSTANCE result =
        ShellExecuteA(toolkit::Application().MainWindowHandle(), nullptr, program.c_str(),
                      parameters.c_str(), folder.c_str(), showCommand);
    return static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(result));
}

} // namespace shell
