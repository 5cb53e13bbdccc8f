// Whole-file access for tests, and files of the system kept for the time of
// a test and put back as they were afterwards.
#pragma once

#include <string>

namespace testsupport {

// Creates or replaces the file; fails the test when it cannot be written.
void WriteBytes(const std::string& path, const std::string& bytes);
// False, quietly, when it cannot be written.
bool TryWriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; fails the test when it cannot be read.
std::string ReadBytes(const std::string& path);
// False, quietly, when the file cannot be opened.
bool TryReadBytes(const std::string& path, std::string& bytes);
bool FolderExists(const std::string& path);
// Clears the attributes and deletes; quiet when the file is missing.
void RemoveFile(const std::string& path);

// Keeps a file's bytes and writes them back (or removes it) on destruction.
class SavedFile {
public:
    explicit SavedFile(std::string path);
    ~SavedFile();
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;

private:
    std::string path_;
    std::string bytes_;
    bool existed_;
};

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

} // namespace testsupport
