#include "toolkit/Color.h"

#include <cstdlib>
#include <utility>

namespace toolkit {

COLORREF ColorToRGB(TColor color) {
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

bool ColorFromName(const std::string& name, TColor& color) {
    static const std::pair<const char*, TColor> names[] = {
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clBtnHighlight", clBtnHighlight},
        {"clWindow", clWindow},
        {"clWindowText", clWindowText},
        {"clBtnText", clBtnText},
    };
    for (const auto& [n, c] : names) {
        if (name == n) {
            color = c;
            return true;
        }
    }
    if (name.empty())
        return false;
    char* end = nullptr;
    unsigned long value = name[0] == '$' ? std::strtoul(name.c_str() + 1, &end, 16)
                                         : std::strtoul(name.c_str(), &end, 10);
    if (*end != '\0')
        return false;
    color = static_cast<TColor>(value);
    return true;
}

} // namespace toolkit
