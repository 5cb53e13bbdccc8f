#include "header_reader.h"

#include "size_limits.h"

namespace sky {

std::string Describe(std::string_view name, unsigned bpp, std::string_view kind,
                     std::string_view extra) {
    std::string s(name);
    s += ' ';
    s += std::to_string(bpp);
    s += "-bit";
    if (!kind.empty()) {
        s += ' ';
        s += kind;
    }
    if (!extra.empty() && s.size() + 2 + extra.size() <= kDescriptionMax) {
        s += ", ";
        s += extra;
    }
    if (s.size() > kDescriptionMax)
        s.resize(kDescriptionMax);
    return s;
}

Status SizeStatus(const PictureInfo& info) {
    return CheckPictureSize(info.width, info.height);
}

} // namespace sky
