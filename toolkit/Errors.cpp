#include "toolkit/Errors.h"

#include <windows.h>

namespace toolkit {

std::string FormatMessageText(const std::string& pattern, const std::string& argument) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            out += argument;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void RaiseInOutError(unsigned long code) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    std::string message = "E/A-Fehler " + std::to_string(code);
    if (n > 0) {
        std::string systemText(text, n);
        while (!systemText.empty() && (systemText.back() == '\n' || systemText.back() == '\r' ||
                                       systemText.back() == '.' || systemText.back() == ' '))
            systemText.pop_back();
        message = systemText.empty() ? message : message + ": " + systemText;
    }
    throw EInOutError(message, code);
}

void RaiseOutOfResources() {
    throw EOutOfResources("Systemressourcen erschöpft.");
}

void RaiseInvalidGraphic() {
    throw EInvalidGraphic("Ungültiges Grafikformat");
}

} // namespace toolkit
