// Registry keys a test must touch although they are the system's, put back
// as they were afterwards. Plain Win32: nothing of the program is used here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

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

} // namespace testsupport
