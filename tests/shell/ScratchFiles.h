// Scratch folders and whole-file access for the shell tests.
#pragma once

#include <string>

namespace shelltest {

// A new, empty folder below the temporary folder; removed with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; fails the test when it cannot be read.
std::string ReadBytes(const std::string& path);
// False, quietly, when the file cannot be opened.
bool TryReadBytes(const std::string& path, std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Clears the attributes and deletes; quiet when the file is missing.
void RemoveFile(const std::string& path);

} // namespace shelltest
