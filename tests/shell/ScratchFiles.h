// Scratch folders and whole-file access for the shell tests.
#pragma once

#include "common/Files.h"
#include "common/ScratchFolder.h"

namespace shelltest {

using testsupport::FileExists;
using testsupport::FolderExists;
using testsupport::ReadBytes;
using testsupport::RemoveFile;
using testsupport::ScratchFolder;
using testsupport::TryReadBytes;
using testsupport::WriteBytes;

} // namespace shelltest
