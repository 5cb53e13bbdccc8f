// System state that a test must touch although it is the system's: registry
// keys and files of the Windows folder, put back as they were afterwards.
#pragma once

#include "common/Files.h"
#include "common/SavedRegistry.h"

namespace shelltest {

using testsupport::MovedAside;
using testsupport::SavedProgramKeys;
using testsupport::SavedRegistryKey;

} // namespace shelltest
