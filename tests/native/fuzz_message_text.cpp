// Scrolling-message and credit texts as a hostile file would give them: only
// the toolkit's own errors may come out, and parsed values must agree with a
// plain reading of the number.
#include "image/MessageText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct RecordingFont {
    void SetColor(int value) { color = value; }
    void SetHeight(int value) { height = value; }
    void SetName(const std::string& value) {
        if (value.size() > image::kMaxFaceName)
            __builtin_trap();
        name = value;
    }
    void SetSize(int value) { size = value; }
    void SetBold(bool) {}
    void SetItalic(bool) {}
    void SetUnderline(bool) {}
    void SetStrikeOut(bool) {}
    int color = 0, height = 0, size = 0;
    std::string name;
};

// strtoll over the same grammar: blanks, then "$hex" or a signed decimal.
bool ReferenceInteger(const std::string& text, long long& value) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return false;
    std::string rest = text.substr(i);
    const bool hex = rest[0] == '$';
    std::string digits = hex ? rest.substr(1) : rest;
    if (!hex && (digits[0] == '+' || digits[0] == '-'))
        digits = digits.substr(1);
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos)
        return false;
    if (digits.find_first_not_of('0') != std::string::npos &&
        digits.size() - digits.find_first_not_of('0') > 12)
        return false;
    value = std::strtoll(hex ? digits.c_str() : rest.c_str(), nullptr, hex ? 16 : 10);
    return hex ? value <= 0xFFFFFFFFLL : value >= INT32_MIN && value <= INT32_MAX;
}

void CheckInteger(const std::string& text) {
    int parsed = 0;
    long long expected = 0;
    const bool ok = image::TryParseMessageInteger(text, parsed);
    if (ok != ReferenceInteger(text, expected))
        __builtin_trap();
    if (ok && parsed != static_cast<int>(static_cast<std::uint32_t>(expected)))
        __builtin_trap();
}

void CheckStrip(const uint8_t* data, size_t size) {
    if (size < 9)
        return;
    long long width = static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24);
    long long height = static_cast<int32_t>(data[4] | data[5] << 8 | data[6] << 16 | data[7] << 24);
    const int extra = data[8];
    image::LimitStrip(width, height, extra);
    if (width < 0 || width > image::kMaxStripSide || height < 0 ||
        height + extra > image::kMaxStripSide)
        __builtin_trap();
    if (height + extra > 0 && width * (height + extra) > image::kMaxStripPixels)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RecordingFont font;
    int speed = 0, background = 0;
    std::string message;
    try {
        image::ApplyScrollText(text, font, speed, background, message);
    } catch (const toolkit::Exception&) {
    }
    std::vector<std::string> lines;
    try {
        image::ApplyCreditText(text, font, speed, background, lines);
    } catch (const toolkit::Exception&) {
    }
    for (const std::string& line : image::SplitLines(text)) {
        if (line.find_first_of("\r\n") != std::string::npos)
            __builtin_trap();
        CheckInteger(line);
    }
    CheckStrip(data, size);
    return 0;
}
