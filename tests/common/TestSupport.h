// Scratch folders, the process's current folder, saved registry keys and
// files for the browser, program and end-to-end tests. Plain Win32 and
// GoogleTest: nothing of the program is used here.
#pragma once

#include "common/Files.h"
#include "common/SavedRegistry.h"
#include "common/ScratchFolder.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace glimtest {

using testsupport::FileExists;
using testsupport::RemoveTree;
using testsupport::ScratchFolder;

// The bytes of a valid 2 x 2 true-colour BMP file.
std::string SmallBitmap();
// The bytes of a true-colour BMP file of one grey.
std::string GreyBitmap(int width, int height);
// The bytes of a white 1-bit BMP file: large pictures in small files.
std::string WhiteMonochromeBitmap(int width, int height);

// Puts the process's current folder back on destruction.
class CurrentFolderGuard {
public:
    CurrentFolderGuard();
    ~CurrentFolderGuard();
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;
    const std::string& Saved() const { return saved_; }

private:
    std::string saved_;
};
std::string CurrentFolder();

// Every registry key the program writes at start, kept and written back.
using testsupport::SavedProgramKeys;

using testsupport::SavedFile;

// The default value (or a named one) of a key, "<missing>" without it.
std::string RegString(HKEY root, const std::string& keyPath, const std::string& valueName = "");

extern const char kAppPathsKey[];
extern const char kUninstallKey[];

} // namespace glimtest
