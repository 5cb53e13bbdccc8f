#include "uninstaller/UninstallLog.h"

#include <cstddef>
#include <iterator>

namespace gluninst {

namespace {

constexpr std::size_t kLineCount = 9;
constexpr std::size_t kMaxPath = 259; // MAX_PATH less the terminating zero
// The program writes these three lines as they stand.
constexpr std::string_view kFixedLines[] = {
    "*** Installation Started 1/1/96 00:00 ***",
    "Title: Glimmora 1.1b -32 Installation",
    "Source: A:\\INST32.EXE",
};
constexpr std::string_view kMadeDir = "Made Dir: ";
constexpr std::string_view kFileCopy = "File Copy: ";
// The program's files, in the order of lines 5 to 9.
constexpr std::string_view kFileNames[] = {"GLIMR32.EXE", "GLIMR32.HLP", "GLIMR32.CNT",
                                           "GLIMR32.GID", "SKY32DEM.DLL"};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// One name between backslashes. The system drops trailing dots and blanks,
// which would turn "..." or ".. " into a step upwards.
bool IsPlainName(std::string_view name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

// The names of a backslash-separated tail; false when one is not plain.
bool SplitNames(std::string_view tail, std::vector<std::string_view>& names) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = tail.find('\\', start);
        const std::string_view name = tail.substr(start, end - start);
        if (!IsPlainName(name))
            return false;
        names.push_back(name);
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

bool IsDriveForm(std::string_view path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

bool IsShareForm(std::string_view path) {
    return StartsWith(path, "\\\\");
}

std::string_view NamePart(std::string_view path) {
    return path.substr(path.rfind('\\') + 1);
}

bool SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            return false;
        const std::string_view line = text.substr(start, end - start);
        if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            return false;
        lines.push_back(line);
        start = end + 2;
    }
    return true;
}

} // namespace

std::string_view FolderOf(std::string_view path) {
    const std::size_t last = path.rfind('\\');
    if (last == std::string_view::npos)
        return {};
    return path.substr(0, last == 2 && IsDriveForm(path) ? 3 : last);
}

bool IsFullPath(std::string_view path) {
    if (path.empty() || path.size() > kMaxPath)
        return false;
    std::vector<std::string_view> names;
    if (IsDriveForm(path))
        return path.size() == 3 || SplitNames(path.substr(3), names);
    if (IsShareForm(path))
        return SplitNames(path.substr(2), names) && names.size() >= 2;
    return false;
}

bool IsRootFolder(std::string_view folder) {
    if (!IsFullPath(folder))
        return false;
    if (IsDriveForm(folder))
        return folder.size() == 3;
    std::vector<std::string_view> names;
    SplitNames(folder.substr(2), names);
    return names.size() == 2;
}

bool SamePath(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

std::optional<RemovalPlan> ParseUninstallLog(std::string_view text) {
    std::vector<std::string_view> lines;
    if (!SplitLines(text, lines) || lines.size() != kLineCount)
        return std::nullopt;
    for (std::size_t i = 0; i < std::size(kFixedLines); ++i) {
        if (lines[i] != kFixedLines[i])
            return std::nullopt;
    }
    if (!StartsWith(lines[3], kMadeDir))
        return std::nullopt;

    RemovalPlan plan;
    plan.folder = std::string(lines[3].substr(kMadeDir.size()));
    if (!IsFullPath(plan.folder))
        return std::nullopt;
    for (std::size_t i = 4; i < kLineCount; ++i) {
        if (!StartsWith(lines[i], kFileCopy))
            return std::nullopt;
        const std::string_view file = lines[i].substr(kFileCopy.size());
        if (!IsFullPath(file) || IsRootFolder(file) || !SamePath(FolderOf(file), plan.folder) ||
            !SamePath(NamePart(file), kFileNames[i - 4]))
            return std::nullopt;
        plan.files.emplace_back(file);
    }
    return plan;
}

std::string LogPathFromArguments(std::string_view arguments) {
    auto trim = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            return std::string_view();
        return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    };
    std::string_view path = trim(arguments);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = trim(path.substr(1, path.size() - 2));
    return std::string(path);
}

} // namespace gluninst
