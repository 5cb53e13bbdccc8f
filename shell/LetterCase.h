// Letter case, two ways on purpose:
// - ASCII: only "a" to "z" change; for names the program compares and keys
//   it looks up (extensions, INI keys), the same on every code page.
// - ANSI: the system's code page rules (CharUpperBuffA); for names shown to
//   the user and matched as the file system does ("ä" becomes "Ä").
#pragma once

#include <string>

namespace shell {

std::string UpperCaseAscii(std::string text);

std::string UpperCaseAnsi(std::string text);
std::string LowerCaseAnsi(std::string text);
char UpperCaseAnsi(char c);

} // namespace shell
