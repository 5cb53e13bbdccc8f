// Splitting and joining paths the way the program forms them. The paths are
// walked by character in the ANSI code page (codePage 0) or the one given:
// in a double-byte code page the second byte of a character may be 0x5C,
// which is no backslash.
#pragma once

#include <string>

namespace shell {

// The position of the last "\" or ":" (or of one of the separators given);
// npos when there is none.
std::size_t LastSeparator(const std::string& path,
                          const char* separators = "\\:", unsigned codePage = 0);

// Whether the last character is a backslash.
bool EndsInBackslash(const std::string& path, unsigned codePage = 0);

// Everything up to and including the last "\" or ":"; empty when there is
// neither.
std::string FolderPart(const std::string& path, unsigned codePage = 0);

// Everything after the last "\" or ":"; the whole path when there is neither.
std::string NamePart(const std::string& path, unsigned codePage = 0);

// Folder, one backslash, name; no second backslash when the folder already
// ends in one (a drive root).
std::string PathInFolder(const std::string& folder, const std::string& name, unsigned codePage = 0);

// Attributes from GetFileAttributesA that name an existing file, not a folder.
bool IsFileAttributes(unsigned long attributes);
bool IsExistingFile(const std::string& path);
bool IsExistingFolder(const std::string& path);

} // namespace shell
