// Splitting and joining paths the way the program forms them.
#pragma once

#include <string>

namespace shell {

// Everything up to and including the last "\" or ":"; empty when there is
// neither.
std::string FolderPart(const std::string& path);

// Folder, one backslash, name; no second backslash when the folder already
// ends in one (a drive root).
std::string PathInFolder(const std::string& folder, const std::string& name);

} // namespace shell
