#include "image/MessageFiles.h"

#include "shell/FileHandle.h"
#include "toolkit/Errors.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace image {

const char* const kInvalidMessageFormat = " Invallid message format ! ";

namespace {

constexpr size_t kMaxFaceName = 255;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsExistingFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// At most `limit` bytes from the start of the file; others may read it meanwhile.
std::string ReadFileStart(const std::string& path, long long limit) {
    shell::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw toolkit::EFOpenError(toolkit::FormatMessageText("Kann Datei %s nicht öffnen", path));
    std::string data;
    char buffer[16384];
    while (static_cast<long long>(data.size()) < limit) {
        DWORD wanted = static_cast<DWORD>(
            std::min<long long>(sizeof buffer, limit - static_cast<long long>(data.size())));
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, wanted, &got, nullptr))
            toolkit::RaiseInOutError(GetLastError());
        if (got == 0)
            break;
        data.append(buffer, got);
    }
    return data;
}

const std::string& LineAt(const std::vector<std::string>& lines, size_t index) {
    if (index >= lines.size())
        throw toolkit::EListError("Listenindex außerhalb des zulässigen Bereichs");
    return lines[index];
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
        throw toolkit::EConvertError(
            toolkit::FormatMessageText("'%s' ist kein gültiger Integerwert", text));
    return value;
}

void ApplyFontStyle(toolkit::TFont& font, const std::string& value) {
    auto on = [&](size_t position) { return position < value.size() && value[position] == '1'; };
    font.SetBold(on(0));
    font.SetItalic(on(1));
    font.SetUnderline(on(2));
    font.SetStrikeOut(on(3));
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

void ApplyScrollText(const std::string& content, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::string& message) {
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

void ApplyCreditText(const std::string& text, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::vector<std::string>& lines) {
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

bool ParseScrollFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::string& message) {
    if (!IsExistingFile(path))
        return false;
    ApplyScrollText(ReadFileStart(path, kScrollFileLimit), font, speed, background, message);
    return true;
}

bool ParseCreditFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::vector<std::string>& lines) {
    lines.clear();
    if (!IsExistingFile(path))
        return false;
    ApplyCreditText(ReadFileStart(path, kCreditFileLimit), font, speed, background, lines);
    return true;
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
