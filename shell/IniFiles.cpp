#include "shell/IniFiles.h"

#include "shell/LetterCase.h"
#include "shell/FileHandle.h"
#include "shell/IniLines.h"
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

std::string IniFilePath(const std::string& file) {
    std::string path = UpperCaseAscii(file);
    if (FolderPart(path).empty())
        path = PathInFolder(WindowsFolder(), path);
    return path;
}

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

} // namespace

void WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    const std::string path = UpperCaseAscii(file);
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()))
        throw EIniFileError(toolkit::FormatMessageText("Kann nicht nach %s schreiben", path));
}

namespace {

bool RewriteWithoutEntry(const std::string& file, const std::string& section,
                         const std::string& key) {
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
    LineReader reader([&input](char* buffer, std::size_t size, std::size_t& got) {
        DWORD read = 0;
        const bool ok =
            ReadFile(input.Get(), buffer, static_cast<DWORD>(size), &read, nullptr) != FALSE;
        got = read;
        return ok;
    });
    LineWriter writer([&temporary](const char* data, std::size_t size, std::size_t& written) {
        DWORD done = 0;
        const bool ok =
            WriteFile(temporary.Get(), data, static_cast<DWORD>(size), &done, nullptr) != FALSE;
        written = done;
        return ok;
    });
    bool removed = false;
    if (!CopyWithoutEntry(reader, writer, sectionLine, keyPrefix, removed) || !removed)
        return false;
    input.Close();
    if (!temporary.Replace(path))
        return false;
    SetFileAttributesA(path.c_str(), attributes);
    return true;
}

} // namespace

bool RemoveIniEntry(const std::string& file, const std::string& section, const std::string& key) {
    try {
        return RewriteWithoutEntry(file, section, key);
    } catch (const std::exception&) {
        return false; // out of memory: the file stays as it was
    }
}

} // namespace shell
