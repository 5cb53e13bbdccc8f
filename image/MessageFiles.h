// Scrolling-message (".SCM") and credit (".CMS") files: reading their fields,
// the step counter and the size limits of a rendered text strip.
#pragma once

#include "toolkit/Color.h"
#include "toolkit/Font.h"

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

extern const char* const kInvalidMessageFormat;

// Blanks, then a signed decimal or "$" and hexadecimal digits, nothing after,
// within 32 bits; false otherwise.
bool TryParseMessageInteger(const std::string& text, int& value);
// As above; raises EConvertError "'%s' ist kein gültiger Integerwert".
int ParseMessageInteger(const std::string& text);

// Bold, italic, underline, strike-out from four "1"/other characters; missing ones are off.
void ApplyFontStyle(toolkit::TFont& font, const std::string& value);

// The text between the first opening tag and the first closing tag.
bool ExtractTagged(std::string& value, const std::string& text, const std::string& openingTag,
                   const std::string& closingTag);

// The fields of a scrolling-message text, applied in table order.
void ApplyScrollText(const std::string& text, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::string& message);
// Lines ending at CR LF, LF or CR; a NUL ends the text.
std::vector<std::string> SplitLines(const std::string& text);
// Lines 2 to 8 and the credit lines; raises EListError below 8 lines.
void ApplyCreditText(const std::string& text, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::vector<std::string>& lines);

// The files themselves: false only when there is no such file; a file that
// cannot be opened raises EFOpenError "Kann Datei %s nicht öffnen".
bool ParseScrollFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::string& message);
bool ParseCreditFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::vector<std::string>& lines);

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
