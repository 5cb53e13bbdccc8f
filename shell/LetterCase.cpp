#include "shell/LetterCase.h"

#include <windows.h>

namespace shell {

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

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
