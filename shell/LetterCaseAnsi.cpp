// The system's code page rules for letter case.
#include "shell/LetterCase.h"

#include <windows.h>

namespace shell {

std::string UpperCaseAnsi(std::string text) {
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string LowerCaseAnsi(std::string text) {
    if (!text.empty())
        CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

char UpperCaseAnsi(char c) {
    CharUpperBuffA(&c, 1);
    return c;
}

} // namespace shell
