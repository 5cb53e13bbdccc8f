// Lines of profile (INI) files. A file name without a folder means the file
// in the Windows folder.
#pragma once

#include "toolkit/Errors.h"

#include <string>

namespace shell {

// A profile file the system would not write; the message names the file.
class EIniFileError : public toolkit::Exception {
    using Exception::Exception;
};

// Sets key=value in the section. Throws EIniFileError when the system
// cannot write the file.
void WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

// Rewrites the file without the section's lines that start with "key="
// (letter case ignored); the section ends at an empty line or at "[". Every
// line of the result ends in CR LF, and the file keeps its attributes. True
// when a line was removed; false, with the file left as it was, when nothing
// matches, on any error, when the file is read-only or is not 8-bit text.
bool RemoveIniEntry(const std::string& file, const std::string& section, const std::string& key);

} // namespace shell
