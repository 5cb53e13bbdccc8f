#include "shell/IniFiles.h"

#include "shell/AsciiCase.h"
#include "shell/FileHandle.h"
#include "shell/Launch.h"
#include "shell/Paths.h"
#include "toolkit/Errors.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace shell {

namespace {

constexpr char kTemporaryName[] = "$$$$----.BAK";
constexpr std::size_t kChunk = 64 * 1024;

std::string IniFilePath(const std::string& file) {
    std::string path = UpperCaseAscii(file);
    if (FolderPart(path).empty())
        path = PathInFolder(WindowsFolder(), path);
    return path;
}

// Reads a file line by line; a line ends at CR LF, LF or CR, and the last one
// may end at the end of the file.
class LineReader {
public:
    enum class Result { Line, End, Error };

    explicit LineReader(HANDLE file) : file_(file), buffer_(kChunk) {}

    Result Next(std::string& line) {
        line.clear();
        bool started = false;
        for (;;) {
            if (position_ == filled_) {
                DWORD read = 0;
                if (!ReadFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &read,
                              nullptr))
                    return Result::Error;
                if (read == 0)
                    return started ? Result::Line : Result::End;
                position_ = 0;
                filled_ = read;
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
            const char* stop =
                std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
            line.append(begin, stop);
            started = true;
            position_ = stop - buffer_.data();
            if (stop != end) {
                skipLineFeed_ = *stop == '\r';
                ++position_;
                return Result::Line;
            }
        }
    }

private:
    HANDLE file_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    bool skipLineFeed_ = false;
};

// Writes lines ending in CR LF through a buffer.
class LineWriter {
public:
    explicit LineWriter(HANDLE file) : file_(file) {}

    bool Write(const std::string& line) {
        pending_ += line;
        pending_ += "\r\n";
        return pending_.size() < kChunk || Flush();
    }

    bool Flush() {
        std::size_t done = 0;
        while (done < pending_.size()) {
            const DWORD part =
                static_cast<DWORD>(std::min<std::size_t>(pending_.size() - done, kChunk));
            DWORD written = 0;
            if (!WriteFile(file_, pending_.data() + done, part, &written, nullptr) || written == 0)
                return false;
            done += written;
        }
        pending_.clear();
        return true;
    }

private:
    HANDLE file_;
    std::string pending_;
};

// The rewritten copy beside the INI file. Deleted again unless it replaced
// the INI file; a file of that name that it could not create is left alone.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path)
        : path_(std::move(path)),
          handle_(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)),
          owned_(static_cast<bool>(handle_)) {}

    ~TemporaryFile() {
        handle_.Close();
        if (owned_)
            DeleteFileA(path_.c_str());
    }

    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Created() const { return owned_; }
    HANDLE Get() const { return handle_.Get(); }

    // Replaces the target in one step, so that either the old or the new
    // file exists whole at any moment.
    bool Replace(const std::string& target) {
        const bool flushed = FlushFileBuffers(handle_.Get()) != FALSE;
        if (!handle_.Close() || !flushed)
            return false;
        if (!MoveFileExA(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
        owned_ = false;
        return true;
    }

private:
    std::string path_;
    FileHandle handle_;
    bool owned_;
};

// Copies the lines, dropping those of the section that start with the key
// prefix. False on a read or write error.
bool CopyWithoutEntry(LineReader& reader, LineWriter& writer, const std::string& sectionLine,
                      const std::string& keyPrefix, bool& removed) {
    using Result = LineReader::Result;
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

} // namespace

void WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    const std::string path = UpperCaseAscii(file);
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()))
        throw toolkit::EIniFileError(
            toolkit::FormatMessageText("Kann nicht nach %s schreiben", path));
}

bool RemoveIniEntry(const std::string& file, const std::string& section, const std::string& key) {
    const std::string path = IniFilePath(file);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;

    FileHandle input(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!input)
        return false;
    TemporaryFile temporary(FolderPart(path) + kTemporaryName);
    if (!temporary.Created())
        return false;

    const std::string sectionLine = '[' + UpperCaseAscii(section) + ']';
    const std::string keyPrefix = UpperCaseAscii(key) + '=';
    LineReader reader(input.Get());
    LineWriter writer(temporary.Get());
    bool removed = false;
    if (!CopyWithoutEntry(reader, writer, sectionLine, keyPrefix, removed))
        return false;
    input.Close();
    return temporary.Replace(path) && removed;
}

} // namespace shell
