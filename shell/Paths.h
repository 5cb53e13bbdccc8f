// Splitting and joining paths the way the program forms them.
#pragma once

#include <string>

namespace shell {

// Everything up to and including the last "\" or ":"; empty when there is
// neither.
std::string FolderPart(const std::string& path);

// Everything after the last "\" or ":"; the whole path when there is neither.
std::string NamePart(const std::string& path);

// Folder, one backslash, name; no second backslash when the folder already
// ends in one (a drive root).
std::string PathInFolder(const std::string& folder, const std::string& name);

// Attributes from GetFileAttributesA that name an existing file, not a folder.
bool IsFileAttributes(unsigned long attributes);
bool IsExistingFile(const std::string& path);
bool IsExistingFolder(const std::string& path);

} // namespace shell
