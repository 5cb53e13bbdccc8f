// System state that a test must touch although it is the system's: registry
// keys and files of the Windows folder, put back as they were afterwards.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace shelltest {

// One key with its values and subkeys, kept in memory. On destruction the
// key is removed and, when it existed, written back as it was.
class SavedRegistryKey {
public:
    SavedRegistryKey(HKEY root, std::string keyPath);
    ~SavedRegistryKey();
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

    struct Node;

private:
    HKEY root_;
    std::string keyPath_;
    std::unique_ptr<Node> saved_;
};

// Every key the program writes or removes: its App Paths, Uninstall and class
// keys, the seven extension keys (both halves of HKEY_CLASSES_ROOT) and the
// Extensions key.
class SavedProgramKeys {
public:
    SavedProgramKeys();

private:
    std::vector<std::unique_ptr<SavedRegistryKey>> keys_;
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

} // namespace shelltest
