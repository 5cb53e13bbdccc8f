// The Windows folder and starting programs through the shell.
#pragma once

#include <cstdint>
#include <string>

namespace shell {

// From GetWindowsDirectoryA; empty when the system does not tell it.
std::string WindowsFolder();

// ShellExecuteA with the default verb, owned by the application's main
// window; the low 16 bits of its result (above 32 on success).
std::uint16_t ShellRun(const std::string& program, const std::string& parameters,
                       const std::string& folder, int showCommand);

} // namespace shell
