#include "shell/Extensions.h"

#include "shell/LetterCase.h"

#include <array>
#include <string_view>

namespace shell {

namespace {

constexpr std::size_t kKeyLength = 4;

constexpr std::array<std::string_view, 7> kSupported = {".JPG", ".BMP", ".GIF", ".WMF",
                                                        ".ICO", ".PCX", ".TIF"};

} // namespace

std::string ExtensionKey(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return {};
    const std::size_t separator = path.find_last_of("\\:");
    if (separator != std::string::npos && separator > dot)
        return {};
    return UpperCaseAscii(path.substr(dot, kKeyLength));
}

bool IsSupportedExtension(const std::string& path) {
    const std::string key = ExtensionKey(path);
    for (std::string_view member : kSupported) {
        if (key == member)
            return true;
    }
    return false;
}

} // namespace shell
