// The program block: registration, the "-U" switch, the two windows, the
// picture named on the command line, and the message loop.
#pragma once

#include <string>

namespace program {

// The first parameter of a command line (program name skipped): blanks
// separate, double quotes group and are dropped.
std::string FirstParameter(const char* commandLine);

// The uninstall question; true for Yes.
bool AskUninstall();

// Runs the whole program for a first parameter; returns the exit code.
int RunProgram(const std::string& firstParameter);

// Whether a parameter opens a picture: an existing file (not a folder) with a
// supported extension.
bool IsPictureParameter(const std::string& parameter);

} // namespace program
