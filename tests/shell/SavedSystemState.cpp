#include "SavedSystemState.h"

#include "ScratchFiles.h"

#include "shell/FileHandle.h"

#include <gtest/gtest.h>

#include <utility>

namespace shelltest {

namespace {

// The name of an existing file as the folder holds it; empty when missing.
std::string NameOnDisk(const std::string& path) {
    WIN32_FIND_DATAA found;
    const shell::FindHandle search(path, found);
    return search ? found.cFileName : std::string();
}

} // namespace

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

} // namespace shelltest
