// The text of scrolling-message (".SCM") and credit (".CMS") files: their
// fields, the step counter and the size limits of a rendered text strip.
// Portable: the fields are applied to any font with the toolkit font's setters.
#pragma once

#include "toolkit/Errors.h"

#include <string>
#include <vector>

namespace image {

// Bytes of a credit file that are read.
constexpr long long kCreditFileLimit = 65527;
// Bytes of a scrolling-message file that are read: its fields sit at the start.
constexpr long long kScrollFileLimit = 1 << 20;
// A rendered strip is at most this wide and high, and has at most this many pixels.
constexpr long long kMaxStripSide = 32767;
constexpr long long kMaxStripPixels = 1 << 22;
// Text is measured and drawn at most this many pixels high: a glyph costs its
// square in memory while it is drawn.
constexpr int kMaxFontHeight = 2048;
// Longest font face name taken from a file.
constexpr size_t kMaxFaceName = 255;

extern const char* const kInvalidMessageFormat;

// Blanks, then a signed decimal or "$" and hexadecimal digits, nothing after,
// within 32 bits; false otherwise.
bool TryParseMessageInteger(const std::string& text, int& value);
// As above; raises EConvertError "'%s' ist kein gültiger Integerwert".
int ParseMessageInteger(const std::string& text);

// The text between the first opening tag and the first closing tag.
bool ExtractTagged(std::string& value, const std::string& text, const std::string& openingTag,
                   const std::string& closingTag);

// Lines ending at CR LF, LF or CR; a NUL ends the text.
std::vector<std::string> SplitLines(const std::string& text);

// Line `index`; raises EListError when there is none.
const std::string& LineAt(const std::vector<std::string>& lines, size_t index);

// Bold, italic, underline, strike-out from four "1"/other characters; missing ones are off.
template <class Font> void ApplyFontStyle(Font& font, const std::string& value) {
    auto on = [&](size_t position) { return position < value.size() && value[position] == '1'; };
    font.SetBold(on(0));
    font.SetItalic(on(1));
    font.SetUnderline(on(2));
    font.SetStrikeOut(on(3));
}

// The fields of a scrolling-message text, applied in table order.
template <class Font, class Color>
void ApplyScrollText(const std::string& content, Font& font, int& speed, Color& background,
                     std::string& message) {
    const std::string text = content.substr(0, content.find('\0'));
    std::string value;
    // A found but empty value leaves its setting as it is.
    auto field = [&](const char* opening, const char* closing) {
        if (!ExtractTagged(value, text, opening, closing))
            return -1;
        return value.empty() ? 0 : 1;
    };
    int found = field("/fc|", "/fh|");
    if (found < 0)
        font.SetColor(255);
    else if (found > 0)
        font.SetColor(ParseMessageInteger(value));
    found = field("/fh|", "/fn|");
    if (found < 0)
        font.SetHeight(-13);
    else if (found > 0)
        font.SetHeight(ParseMessageInteger(value));
    found = field("/fn|", "/fs|");
    if (found < 0)
        font.SetName("SYSTEM");
    else if (found > 0)
        font.SetName(value.substr(0, kMaxFaceName));
    if (field("/fs|", "/ft|") > 0)
        font.SetSize(ParseMessageInteger(value));
    if (field("/ft|", "/bc|") >= 0)
        ApplyFontStyle(font, value); // empty: the plain style
    found = field("/bc|", "/sp|");
    if (found < 0)
        background = 128;
    else if (found > 0)
        background = ParseMessageInteger(value);
    found = field("/sp|", "/sm|");
    if (found < 0)
        speed = 1;
    else if (found > 0)
        speed = ParseMessageInteger(value);
    found = field("/sm|", "/eo|");
    if (found < 0)
        message = kInvalidMessageFormat;
    else if (found > 0)
        message = value;
}

// Lines 2 to 8 and the credit lines; raises EListError below 8 lines.
template <class Font, class Color>
void ApplyCreditText(const std::string& text, Font& font, int& speed, Color& background,
                     std::vector<std::string>& lines) {
    lines.clear();
    const std::vector<std::string> all = SplitLines(text);
    font.SetColor(ParseMessageInteger(LineAt(all, 1)));
    font.SetHeight(ParseMessageInteger(LineAt(all, 2)));
    font.SetName(LineAt(all, 3).substr(0, kMaxFaceName));
    font.SetSize(ParseMessageInteger(LineAt(all, 4)));
    ApplyFontStyle(font, LineAt(all, 5));
    background = ParseMessageInteger(LineAt(all, 6));
    speed = ParseMessageInteger(LineAt(all, 7));
    lines.assign(all.begin() + 8, all.end());
}

// Counts one step message; true (and the count back to 0) when it passes the divider.
bool TickDue(int& tickCount, int divider);

// Keeps a strip of `extraRows` rows below its text within the limits above:
// each side at most kMaxStripSide, and the width cut to keep the pixel count.
void LimitStrip(long long& width, long long& textHeight, int extraRows);

// A 32-bit sum that wraps instead of overflowing.
inline int Add32(int a, long long b) {
    return static_cast<int>(static_cast<unsigned>(static_cast<long long>(a) + b));
}

} // namespace image
