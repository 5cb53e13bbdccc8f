// Scratch folders and whole-file access for the shell tests.
#pragma once

#include "common/ScratchFolder.h"

#include <string>

namespace shelltest {

using testsupport::FileExists;
using testsupport::ScratchFolder;

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; fails the test when it cannot be read.
std::string ReadBytes(const std::string& path);
// False, quietly, when the file cannot be opened.
bool TryReadBytes(const std::string& path, std::string& bytes);
bool FolderExists(const std::string& path);
// Clears the attributes and deletes; quiet when the file is missing.
void RemoveFile(const std::string& path);

} // namespace shelltest
