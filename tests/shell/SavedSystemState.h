// System state that a test must touch although it is the system's: registry
// keys and files of the Windows folder, put back as they were afterwards.
#pragma once

#include "common/SavedRegistry.h"

#include <windows.h>

#include <string>

namespace shelltest {

using testsupport::SavedProgramKeys;
using testsupport::SavedRegistryKey;

// Moves a file out of the way for the time of a test; whatever the test put
// at its place is removed and the file comes back.
class MovedAside {
public:
    explicit MovedAside(std::string path);
    ~MovedAside();
    MovedAside(const MovedAside&) = delete;
    MovedAside& operator=(const MovedAside&) = delete;

private:
    std::string path_;
    std::string aside_;
    bool moved_ = false;
};

} // namespace shelltest
