// Letter case as the program compares names: only "a" to "z" change.
#pragma once

#include <string>

namespace shell {

std::string UpperCaseAscii(std::string text);

} // namespace shell
