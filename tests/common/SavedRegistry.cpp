#include "common/SavedRegistry.h"

#include <gtest/gtest.h>

#include <utility>

namespace testsupport {

struct SavedRegistryKey::Node {
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Value> values;
    std::vector<std::pair<std::string, Node>> subkeys;
};

namespace {

using Node = SavedRegistryKey::Node;

// An open key, closed once.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool Read(HKEY key, Node& node) {
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                         &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < values; ++i) {
        std::string name(maxName + 1, '\0');
        DWORD nameLength = maxName + 1;
        Node::Value value{{}, 0, std::vector<BYTE>(maxData + 1)};
        DWORD size = maxData + 1;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(),
                          &size) != ERROR_SUCCESS)
            return false;
        value.name = name.substr(0, nameLength);
        value.data.resize(size);
        node.values.push_back(std::move(value));
    }
    for (DWORD i = 0; i < subkeys; ++i) {
        std::string name(maxSubkey + 1, '\0');
        DWORD nameLength = maxSubkey + 1;
        if (RegEnumKeyExA(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return false;
        name.resize(nameLength);
        OpenKey child;
        if (RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, child.Receive()) != ERROR_SUCCESS)
            return false;
        Node childNode;
        if (!Read(child.Get(), childNode))
            return false;
        node.subkeys.emplace_back(name, std::move(childNode));
    }
    return true;
}

void Write(HKEY parent, const std::string& path, const Node& node) {
    OpenKey key;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot restore the registry key " << path;
        return;
    }
    for (const Node::Value& value : node.values)
        RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const auto& [name, child] : node.subkeys)
        Write(key.Get(), name, child);
}

} // namespace

SavedRegistryKey::SavedRegistryKey(HKEY root, std::string keyPath)
    : root_(root), keyPath_(std::move(keyPath)) {
    OpenKey key;
    if (RegOpenKeyExA(root_, keyPath_.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    saved_ = std::make_unique<Node>();
    if (!Read(key.Get(), *saved_))
        ADD_FAILURE() << "cannot save the registry key " << keyPath_;
}

SavedRegistryKey::~SavedRegistryKey() {
    RegDeleteTreeA(root_, keyPath_.c_str());
    RegDeleteKeyA(root_, keyPath_.c_str());
    if (saved_)
        Write(root_, keyPath_, *saved_);
}

SavedProgramKeys::SavedProgramKeys() {
    const char* const machineKeys[] = {
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\GLIMR32.EXE",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora32",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Extensions",
    };
    for (const char* path : machineKeys)
        keys_.push_back(std::make_unique<SavedRegistryKey>(HKEY_LOCAL_MACHINE, path));
    for (const char* name :
         {"Glimmora32", ".BMP", ".GIF", ".ICO", ".JPG", ".PCX", ".TIF", ".WMF"}) {
        const std::string path = std::string("Software\\Classes\\") + name;
        keys_.push_back(std::make_unique<SavedRegistryKey>(HKEY_LOCAL_MACHINE, path));
        keys_.push_back(std::make_unique<SavedRegistryKey>(HKEY_CURRENT_USER, path));
    }
}

} // namespace testsupport
