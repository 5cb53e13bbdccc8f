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

// A lead byte takes the next byte with it.
bool IsTwoByteCharacter(std::string_view text, std::size_t i, const LeadBytes& lead) {
    return lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size();
}

// Calls visit with the position of each character's first byte.
template <typename Visit>
void ForEachCharacter(std::string_view text, const LeadBytes& lead, Visit visit) {
    for (std::size_t i = 0; i < text.size(); i += IsTwoByteCharacter(text, i, lead) ? 2 : 1)
        visit(i);
}

// Positions of the backslashes that are characters of their own.
std::vector<std::size_t> Backslashes(std::string_view path, const LeadBytes& lead) {
    std::vector<std::size_t> found;
    ForEachCharacter(path, lead, [&](std::size_t i) {
        if (path[i] == '\\')
            found.push_back(i);
    });
    return found;
}

std::size_t LastBackslash(std::string_view path, const LeadBytes& lead) {
    const std::vector<std::size_t> found = Backslashes(path, lead);
    return found.empty() ? std::string_view::npos : found.back();
}

// One name between backslashes. The system drops trailing dots and blanks,
// which would turn "..." or ".. " into a step upwards.
bool IsPlainName(std::string_view name, const LeadBytes& lead) {
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    bool plain = true;
    ForEachCharacter(name, lead, [&](std::size_t i) {
        const char c = name[i];
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            plain = false;
    });
    return plain;
}

// The names of a backslash-separated tail; false when one is not plain.
bool SplitNames(std::string_view tail, const LeadBytes& lead,
                std::vector<std::string_view>& names) {
    std::size_t start = 0;
    std::vector<std::size_t> ends = Backslashes(tail, lead);
    ends.push_back(tail.size());
    for (const std::size_t end : ends) {
        const std::string_view name = tail.substr(start, end - start);
        if (!IsPlainName(name, lead))
            return false;
        names.push_back(name);
        start = end + 1;
    }
    return true;
}

bool IsDriveForm(std::string_view path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

bool IsShareForm(std::string_view path) {
    return StartsWith(path, "\\\\");
}

std::string_view NamePart(std::string_view path, const LeadBytes& lead) {
    return path.substr(LastBackslash(path, lead) + 1);
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

std::string_view FolderOf(std::string_view path, const LeadBytes& lead) {
    const std::size_t last = LastBackslash(path, lead);
    if (last == std::string_view::npos)
        return {};
    return path.substr(0, last == 2 && IsDriveForm(path) ? 3 : last);
}

bool IsFullPath(std::string_view path, const LeadBytes& lead) {
    if (path.empty() || path.size() > kMaxPath)
        return false;
    std::vector<std::string_view> names;
    if (IsDriveForm(path))
        return path.size() == 3 || SplitNames(path.substr(3), lead, names);
    if (IsShareForm(path))
        return SplitNames(path.substr(2), lead, names) && names.size() >= 2;
    return false;
}

bool IsRootFolder(std::string_view folder, const LeadBytes& lead) {
    if (!IsFullPath(folder, lead))
        return false;
    if (IsDriveForm(folder))
        return folder.size() == 3;
    std::vector<std::string_view> names;
    SplitNames(folder.substr(2), lead, names);
    return names.size() == 2;
}

bool SamePath(std::string_view a, std::string_view b, const LeadBytes& lead) {
    if (a.size() != b.size())
        return false;
    bool same = true;
    ForEachCharacter(a, lead, [&](std::size_t i) {
        same = same && (IsTwoByteCharacter(a, i, lead) ? a.substr(i, 2) == b.substr(i, 2)
                                                       : UpperAscii(a[i]) == UpperAscii(b[i]));
    });
    return same;
}

std::optional<RemovalPlan> ParseUninstallLog(std::string_view text, const LeadBytes& lead) {
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
    if (!IsFullPath(plan.folder, lead))
        return std::nullopt;
    for (std::size_t i = 4; i < kLineCount; ++i) {
        if (!StartsWith(lines[i], kFileCopy))
            return std::nullopt;
        const std::string_view file = lines[i].substr(kFileCopy.size());
        if (!IsFullPath(file, lead) || IsRootFolder(file, lead) ||
            !SamePath(FolderOf(file, lead), plan.folder, lead) ||
            !SamePath(NamePart(file, lead), kFileNames[i - 4], lead))
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
