// The line rewriting behind removing an INI entry, over any byte source and
// sink so that it can be checked away from the file system.
#pragma once

#include "shell/LetterCase.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace shell {

constexpr std::size_t kIniChunk = 64 * 1024;
// No profile line is near this long: a file that has one is no INI file.
constexpr std::size_t kIniMaxLine = 1 << 20;

// Reads lines from `read(buffer, size, got)` (false on an error, got 0 at the
// end); a line ends at CR LF, LF or CR, and the last one may end at the end.
// What is not 8-bit text (a zero byte, a UTF-16 byte-order mark) and lines
// longer than maxLine are errors, so that such a file is never rewritten.
template <class ReadChunk> class LineReader {
public:
    enum class Result { Line, End, Error };

    explicit LineReader(ReadChunk read, std::size_t chunk = kIniChunk,
                        std::size_t maxLine = kIniMaxLine)
        : read_(std::move(read)), buffer_(chunk), maxLine_(maxLine) {}

    Result Next(std::string& line) {
        line.clear();
        bool started = false;
        for (;;) {
            if (position_ == filled_) {
                std::size_t got = 0;
                if (!read_(buffer_.data(), buffer_.size(), got))
                    return Result::Error;
                if (got == 0)
                    return started ? Finished(line) : Result::End;
                position_ = 0;
                filled_ = got;
            }
            if (skipLineFeed_) {
                skipLineFeed_ = false;
                if (buffer_[position_] == '\n') {
                    ++position_;
                    continue;
                }
            }
            const char* begin = buffer_.data() + position_;
            const char* end = buffer_.data() + filled_;
            const char* stop = std::find_if(
                begin, end, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
            if (stop != end && *stop == '\0')
                return Result::Error;
            if (static_cast<std::size_t>(stop - begin) > maxLine_ - line.size())
                return Result::Error;
            line.append(begin, stop);
            started = true;
            position_ = stop - buffer_.data();
            if (stop != end) {
                skipLineFeed_ = *stop == '\r';
                ++position_;
                return Finished(line);
            }
        }
    }

private:
    Result Finished(const std::string& line) {
        const bool first = first_;
        first_ = false;
        const bool utf16 = line.size() >= 2 && ((line[0] == '\xFF' && line[1] == '\xFE') ||
                                                (line[0] == '\xFE' && line[1] == '\xFF'));
        return first && utf16 ? Result::Error : Result::Line;
    }

    ReadChunk read_;
    std::vector<char> buffer_;
    std::size_t maxLine_;
    bool first_ = true;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    bool skipLineFeed_ = false;
};

// Writes lines ending in CR LF through `write(data, size, written)` (false
// on an error) in chunks.
template <class WriteChunk> class LineWriter {
public:
    explicit LineWriter(WriteChunk write, std::size_t chunk = kIniChunk)
        : write_(std::move(write)), chunk_(chunk) {}

    bool Write(const std::string& line) {
        pending_ += line;
        pending_ += "\r\n";
        return pending_.size() < chunk_ || Flush();
    }

    bool Flush() {
        std::size_t done = 0;
        while (done < pending_.size()) {
            const std::size_t part = std::min(pending_.size() - done, chunk_);
            std::size_t written = 0;
            if (!write_(pending_.data() + done, part, written) || written == 0)
                return false;
            done += written;
        }
        pending_.clear();
        return true;
    }

private:
    WriteChunk write_;
    std::size_t chunk_;
    std::string pending_;
};

// Copies the lines, dropping those of the section (its line upper-cased, as
// "[NAME]") that start with the upper-cased key prefix ("KEY="); the section
// ends at an empty line or at "[". False on a read or write error.
template <class Reader, class Writer>
bool CopyWithoutEntry(Reader& reader, Writer& writer, const std::string& sectionLine,
                      const std::string& keyPrefix, bool& removed) {
    using Result = typename Reader::Result;
    std::string line;
    Result result;
    while ((result = reader.Next(line)) == Result::Line) {
        if (!writer.Write(line))
            return false;
        if (UpperCaseAscii(line) != sectionLine)
            continue;
        while ((result = reader.Next(line)) == Result::Line) {
            if (line.empty() || line.front() == '[') {
                if (!writer.Write(line))
                    return false;
                break;
            }
            if (UpperCaseAscii(line.substr(0, keyPrefix.size())) == keyPrefix) {
                removed = true;
            } else if (!writer.Write(line)) {
                return false;
            }
        }
        if (result != Result::Line)
            break;
    }
    return result == Result::End && writer.Flush();
}

} // namespace shell
