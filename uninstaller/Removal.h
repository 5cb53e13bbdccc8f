// Carrying out an uninstall log on the file system.
#pragma once

#include "uninstaller/UninstallLog.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gluninst {

// Exit codes of GLUNINST.EXE.
enum ExitCode : int {
    kDone = 0,
    kLogUnreadable = 1,
    kLogMalformed = 2,
    kFilesLeft = 3, // a named file could not be deleted
};

// The lead bytes of the system's ANSI code page.
LeadBytes AnsiLeadBytes();

// The bytes of a log file; nothing when it cannot be read or is larger than
// any log.
std::optional<std::string> ReadLogFile(const std::string& path);

struct RemovalResult {
    std::vector<std::string> deleted;
    bool folderRemoved = false;
    // The named files that are still there; complete when there are none.
    std::vector<std::string> left;
    bool complete = true;
};

// Deletes the plan's files (read-only ones too, folders never), then its
// folder when that is empty and not a root.
RemovalResult CarryOut(const RemovalPlan& plan);

// Reads and checks the log, lets beforeRemoval see the plan and carries it
// out. The log goes when every named file has gone; otherwise it stays and
// reportLeft hears which files are left. A log that cannot be read or is
// malformed deletes nothing, itself included.
ExitCode Uninstall(const std::string& logPath,
                   const std::function<void(const RemovalPlan&)>& beforeRemoval = {},
                   const std::function<void(const std::vector<std::string>&)>& reportLeft = {});

} // namespace gluninst
