// The uninstall log and what it allows to delete. No system calls here.
//
// The log has exactly nine lines, each ending in CR LF:
//   1 "*** Installation Started " date and time " ***"
//   2 "Title: " the product
//   3 "Source: " where the installation came from
//   4 "Made Dir: " the folder the installation made
//   5-9 "File Copy: " a file the installation copied into that folder
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gluninst {

// What may go, in this order: the files, then the folder when it is empty.
struct RemovalPlan {
    std::string folder;
    std::vector<std::string> files;
};

// The plan of a well-formed log; nothing for any other text. Every path must
// be a full path ("C:\..." or "\\server\share\...") without relative, empty,
// or dot- or blank-ended parts and without wildcards, and every file must lie
// directly in the folder.
std::optional<RemovalPlan> ParseUninstallLog(std::string_view text);

bool IsFullPath(std::string_view path);

// A drive root ("C:\") or a share ("\\server\share"): never removed.
bool IsRootFolder(std::string_view folder);

// Paths compared as the file system does for these: letter case of a-z
// ignored.
bool SamePath(std::string_view a, std::string_view b);

// Whether one of the plan's files is this path.
bool PlanNamesFile(const RemovalPlan& plan, std::string_view path);

// The one parameter: the whole rest of the command line without surrounding
// blanks and double quotes, so that an unquoted path with blanks stays whole.
std::string LogPathFromArguments(std::string_view arguments);

} // namespace gluninst
