#include "common/Files.h"

#include "common/ScratchFolder.h"
#include "shell/FileHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

namespace testsupport {

namespace {

// The name of an existing file as the folder holds it; empty when missing.
std::string NameOnDisk(const std::string& path) {
    WIN32_FIND_DATAA found;
    const shell::FindHandle search(path, found);
    return search ? found.cFileName : std::string();
}

} // namespace

bool TryWriteBytes(const std::string& path, const std::string& bytes) {
    const shell::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    EXPECT_TRUE(TryWriteBytes(path, bytes)) << "cannot write " << path;
}

bool TryReadBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    const shell::FileHandle file(CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return true;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    if (!TryReadBytes(path, bytes))
        ADD_FAILURE() << "cannot open " << path;
    return bytes;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

SavedFile::SavedFile(std::string path)
    : path_(std::move(path)), existed_(TryReadBytes(path_, bytes_)) {}

SavedFile::~SavedFile() {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!existed_)
        DeleteFileA(path_.c_str());
    else if (!TryWriteBytes(path_, bytes_))
        ADD_FAILURE() << "cannot put back " << path_;
}

MovedAside::MovedAside(std::string path) : path_(std::move(path)), aside_(path_ + ".glimtest") {
    // Left aside by a run that did not end: back first.
    if (FileExists(aside_) && !FileExists(path_))
        MoveFileA(aside_.c_str(), path_.c_str());
    RemoveFile(aside_);
    // Back under the name it has, in its letter case.
    const std::string name = NameOnDisk(path_);
    if (name.empty())
        return;
    path_ = path_.substr(0, path_.rfind('\\') + 1) + name;
    moved_ = MoveFileA(path_.c_str(), aside_.c_str()) != FALSE;
}

MovedAside::~MovedAside() {
    RemoveFile(path_);
    if (moved_ && !MoveFileA(aside_.c_str(), path_.c_str()))
        ADD_FAILURE() << "cannot put back " << path_;
}

} // namespace testsupport
