// The uninstall log and what it allows to delete. No system calls here.
//
// The log has exactly nine lines, each ending in CR LF, as the program
// writes it:
//   1-3 "*** Installation Started 1/1/96 00:00 ***", "Title: Glimmora 1.1b
//       -32 Installation", "Source: A:\INST32.EXE"
//   4 "Made Dir: " the program folder
//   5-9 "File Copy: " GLIMR32.EXE, GLIMR32.HLP, GLIMR32.CNT, GLIMR32.GID and
//       SKY32DEM.DLL in that folder (letter case ignored)
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gluninst {

// The bytes that begin a two-byte character in the code page of the paths
// (none in a single-byte code page). A second byte may be 0x5C, which is
// then no backslash.
using LeadBytes = std::bitset<256>;

// What may go, in this order: the files, then the folder when it is empty.
struct RemovalPlan {
    std::string folder;
    std::vector<std::string> files;
};

// The plan of a well-formed log; nothing for any other text. Every path must
// be a full path ("C:\..." or "\\server\share\...") without relative, empty,
// or dot- or blank-ended parts and without wildcards, and every file must lie
// directly in the folder.
std::optional<RemovalPlan> ParseUninstallLog(std::string_view text, const LeadBytes& lead = {});

bool IsFullPath(std::string_view path, const LeadBytes& lead = {});

// Everything before the last name; a drive root keeps its backslash.
std::string_view FolderOf(std::string_view path, const LeadBytes& lead = {});

// A drive root ("C:\") or a share ("\\server\share"): never removed.
bool IsRootFolder(std::string_view folder, const LeadBytes& lead = {});

// Paths compared as the file system does for these: letter case of a-z
// ignored.
bool SamePath(std::string_view a, std::string_view b, const LeadBytes& lead = {});

// The one parameter: the whole rest of the command line without surrounding
// blanks and double quotes, so that an unquoted path with blanks stays whole.
std::string LogPathFromArguments(std::string_view arguments);

} // namespace gluninst
