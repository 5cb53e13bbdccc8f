#include "shell/Paths.h"

#include <windows.h>

#include <string_view>

namespace shell {

namespace {

// Calls visit with the position of each character's first byte.
template <typename Visit>
void ForEachCharacter(const std::string& text, unsigned codePage, Visit visit) {
    for (std::size_t i = 0; i < text.size();) {
        visit(i);
        const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) != FALSE;
        i += lead && i + 1 < text.size() ? 2 : 1;
    }
}

} // namespace

std::size_t LastSeparator(const std::string& path, const char* separators, unsigned codePage) {
    const std::string_view wanted(separators);
    std::size_t last = std::string::npos;
    ForEachCharacter(path, codePage, [&](std::size_t i) {
        if (wanted.find(path[i]) != std::string_view::npos)
            last = i;
    });
    return last;
}

bool EndsInBackslash(const std::string& path, unsigned codePage) {
    std::size_t lastCharacter = std::string::npos;
    ForEachCharacter(path, codePage, [&](std::size_t i) { lastCharacter = i; });
    return lastCharacter != std::string::npos && path[lastCharacter] == '\\';
}

std::string FolderPart(const std::string& path, unsigned codePage) {
    const std::size_t separator = LastSeparator(path, "\\:", codePage);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string NamePart(const std::string& path, unsigned codePage) {
    const std::size_t separator = LastSeparator(path, "\\:", codePage);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string PathInFolder(const std::string& folder, const std::string& name, unsigned codePage) {
    if (EndsInBackslash(folder, codePage))
        return folder + name;
    return folder + '\\' + name;
}

bool IsFileAttributes(unsigned long attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(const std::string& path) {
    return IsFileAttributes(GetFileAttributesA(path.c_str()));
}

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace shell
