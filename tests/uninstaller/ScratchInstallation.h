// An installation in a scratch folder: the program's folder with its five
// files, and beside it a Windows folder that holds the uninstall log.
#pragma once

#include "common/Files.h"
#include "common/ScratchFolder.h"

#include <string>
#include <vector>

namespace uninstalltest {

extern const char* const kProgramFiles[5];

class ScratchInstallation {
public:
    // Makes the folder, its files and the log naming them.
    ScratchInstallation();

    std::string Folder() const { return base_.File("Glimmora32"); }
    std::string File(const std::string& name) const { return Folder() + "\\" + name; }
    std::string Windows() const { return base_.File("WINDOWS"); }
    std::string Log() const { return Windows() + "\\GLUNINST.LOG"; }
    // The nine lines for this folder.
    std::string LogText() const;
    // Every file and folder below the base folder, as sorted relative paths.
    std::vector<std::string> Remaining() const;
    // Remaining() of a fresh installation.
    static std::vector<std::string> Untouched();

private:
    testsupport::ScratchFolder base_;
};

} // namespace uninstalltest
