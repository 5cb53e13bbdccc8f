#include "image/MessageText.h"
#include "image/WholeNumber.h"

#include <algorithm>
#include <cstdint>

namespace image {

const char* const kInvalidMessageFormat = " Invallid message format ! ";

bool TryParseMessageInteger(const std::string& text, int& value) {
    WholeNumber number;
    if (!ReadWholeNumber(text, number))
        return false;
    if (number.hexadecimal) {
        // No sign before "$"; the digits are a 32-bit pattern.
        if (number.signWritten)
            return false;
        value = static_cast<int>(static_cast<std::uint32_t>(number.magnitude));
        return true;
    }
    if (number.magnitude > (number.negative ? 2147483648u : 2147483647u))
        return false;
    value = static_cast<int>(number.negative ? -static_cast<std::int64_t>(number.magnitude)
                                             : static_cast<std::int64_t>(number.magnitude));
    return true;
}

int ParseMessageInteger(const std::string& text) {
    int value = 0;
    if (!TryParseMessageInteger(text, value))
        throw toolkit::EConvertError("'" + text + "' ist kein gültiger Integerwert");
    return value;
}

bool ExtractTagged(std::string& value, const std::string& text, const std::string& openingTag,
                   const std::string& closingTag) {
    value.clear();
    size_t opening = text.find(openingTag);
    if (opening == std::string::npos)
        return false;
    size_t closing = text.find(closingTag);
    if (closing == std::string::npos)
        return false;
    size_t start = opening + openingTag.size();
    if (closing <= start)
        return true;
    value = text.substr(start, closing - start);
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    const size_t end = std::min(text.find('\0'), text.size());
    size_t i = 0;
    while (i < end) {
        size_t start = i;
        while (i < end && text[i] != '\r' && text[i] != '\n')
            ++i;
        lines.push_back(text.substr(start, i - start));
        if (i < end && text[i] == '\r')
            ++i;
        if (i < end && text[i] == '\n')
            ++i;
    }
    return lines;
}

const std::string& LineAt(const std::vector<std::string>& lines, size_t index) {
    if (index >= lines.size())
        throw toolkit::EListError("Listenindex außerhalb des zulässigen Bereichs");
    return lines[index];
}

bool TickDue(int& tickCount, int divider) {
    tickCount = Add32(tickCount, 1);
    if (divider >= tickCount)
        return false;
    tickCount = 0;
    return true;
}

void LimitStrip(long long& width, long long& textHeight, int extraRows) {
    width = std::clamp<long long>(width, 0, kMaxStripSide);
    textHeight = std::clamp<long long>(textHeight, 0, kMaxStripSide - extraRows);
    const long long rows = textHeight + extraRows;
    if (rows > 0 && width * rows > kMaxStripPixels)
        width = kMaxStripPixels / rows;
}

} // namespace image
