// The portable half: built into the native INI fuzzer too.
#include "shell/LetterCase.h"

namespace shell {

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

} // namespace shell
