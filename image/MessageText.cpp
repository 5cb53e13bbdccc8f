#include "image/MessageText.h"

#include <algorithm>
#include <cstdint>

namespace image {

const char* const kInvalidMessageFormat = " Invallid message format ! ";

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool TryParseMessageInteger(const std::string& text, int& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::uint64_t magnitude = 0;
    if (i < text.size() && text[i] == '$') {
        if (++i == text.size())
            return false;
        for (; i < text.size(); ++i) {
            int digit = HexDigit(text[i]);
            if (digit < 0)
                return false;
            magnitude = magnitude * 16 + static_cast<unsigned>(digit);
            if (magnitude > 0xFFFFFFFFu)
                return false;
        }
        value = static_cast<int>(static_cast<std::uint32_t>(magnitude));
        return true;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    const std::uint64_t most = negative ? 2147483648u : 2147483647u;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
        if (magnitude > most)
            return false;
    }
    value = static_cast<int>(negative ? -static_cast<std::int64_t>(magnitude)
                                      : static_cast<std::int64_t>(magnitude));
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
