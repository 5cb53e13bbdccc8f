// Scratch folders below the temporary folder, shared by the tests of several folders.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// A new, empty folder below the temporary folder; removed with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // As the system reports it (long names), so that comparisons with listings hold.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Creates a file (and returns its path) or a sub-folder below this one.
    std::string AddFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                        const std::string& bytes = "x");
    std::string AddFolder(const std::string& name);

private:
    std::string path_;
};

// Removes a folder with everything in it, read-only entries included.
void RemoveTree(const std::string& folder);
bool FileExists(const std::string& path);

} // namespace testsupport
