#include "common/ScratchFolder.h"

#include "common/Files.h"
#include "shell/FileHandle.h"

#include <gtest/gtest.h>

namespace testsupport {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    shell::FindHandle search(folder + "\\*", entry);
    if (search) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (search.Next(entry));
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ScratchFolder::ScratchFolder() {
    static unsigned counter = 0;
    char temp[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof temp, temp);
    std::string base(temp, length);
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    for (;;) {
        path_ = base + "\\glim-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create " << path_;
            break;
        }
    }
    char full[MAX_PATH + 1] = {};
    DWORD n = GetLongPathNameA(path_.c_str(), full, sizeof full);
    if (n > 0 && n < sizeof full)
        path_.assign(full, n);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

std::string ScratchFolder::AddFile(const std::string& name, DWORD attributes,
                                   const std::string& bytes) {
    std::string path = File(name);
    WriteBytes(path, bytes);
    if (attributes != FILE_ATTRIBUTE_NORMAL) {
        EXPECT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    }
    return path;
}

std::string ScratchFolder::AddFolder(const std::string& name) {
    std::string path = File(name);
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << "cannot create " << path;
    return path;
}

} // namespace testsupport
