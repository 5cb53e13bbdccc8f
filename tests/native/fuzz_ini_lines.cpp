// Removing an INI entry from hostile file contents, read and written in
// chunks of every size: the result may not depend on where the chunks end,
// keeps every other line in order and drops only lines of the entry; only
// what is not 8-bit text is refused.
#include "shell/IniLines.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Result {
    std::string output;
    bool removed = false;
    bool ok = false;
};

Result Filter(const std::string& input, size_t readChunk, size_t writeChunk,
              const std::string& section, const std::string& keyPrefix) {
    size_t offset = 0;
    Result result;
    shell::LineReader reader(
        [&](char* buffer, size_t size, size_t& got) {
            got = std::min(size, input.size() - offset);
            std::copy_n(input.data() + offset, got, buffer);
            offset += got;
            return true;
        },
        readChunk);
    shell::LineWriter writer(
        [&](const char* data, size_t size, size_t& written) {
            written = std::min<size_t>(size, 3); // a sink that takes little at a time
            result.output.append(data, written);
            return true;
        },
        writeChunk);
    result.ok = shell::CopyWithoutEntry(reader, writer, section, keyPrefix, result.removed);
    return result;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(i, end - i));
        i = end;
        if (i < text.size() && text[i++] == '\r' && i < text.size() && text[i] == '\n')
            ++i;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    static const char* const kSections[] = {"[EXTENSIONS]", "[A]", "[]"};
    static const char* const kKeys[] = {"BMP=", "=", "A="};
    const std::string section = kSections[data[2] % 3];
    const std::string key = kKeys[data[2] / 3 % 3];
    const std::string input(reinterpret_cast<const char*>(data) + 3, size - 3);

    const Result whole = Filter(input, input.size() + 1, 1 << 20, section, key);
    const Result chunked = Filter(input, 1 + data[0] % 16, 1 + data[1] % 16, section, key);
    if (whole.ok != chunked.ok)
        __builtin_trap();
    if (!whole.ok) {
        // Only what is not 8-bit text is refused.
        const bool utf16 = input.rfind("\xFF\xFE", 0) == 0 || input.rfind("\xFE\xFF", 0) == 0;
        if (input.find('\0') == std::string::npos && !utf16)
            __builtin_trap();
        return 0;
    }
    if (whole.output != chunked.output || whole.removed != chunked.removed)
        __builtin_trap();

    // Every output line is an input line, in order; the skipped ones are the key's.
    const std::vector<std::string> in = Lines(input);
    const std::vector<std::string> out = Lines(whole.output);
    size_t j = 0;
    for (const std::string& line : in) {
        if (j < out.size() && out[j] == line) {
            ++j;
        } else if (shell::UpperCaseAscii(line.substr(0, key.size())) != key) {
            __builtin_trap();
        }
    }
    if (j != out.size() || whole.removed != (out.size() != in.size()))
        __builtin_trap();
    return 0;
}
