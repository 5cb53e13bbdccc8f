#include "shell/Registry.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace shell {

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.Release();
    }
    return *this;
}

HKEY* RegKey::Receive() {
    Close();
    return &key_;
}

HKEY RegKey::Release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
}

void RegKey::Close() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

namespace {

// A failed call opened nothing: the out-parameter is dropped, not closed.
RegKey Opened(LSTATUS status, RegKey key) {
    if (status != ERROR_SUCCESS)
        key.Release();
    return key;
}

RegKey OpenKey(HKEY root, const char* keyPath) {
    RegKey key;
    LSTATUS status = RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, key.Receive());
    return Opened(status, std::move(key));
}

RegKey OpenKey(HKEY root, const std::string& keyPath) {
    return OpenKey(root, keyPath.c_str());
}

RegKey CreateKey(HKEY root, const std::string& keyPath) {
    RegKey key;
    LSTATUS status = RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    return Opened(status, std::move(key));
}

} // namespace

bool WriteRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                    const std::string& data) {
    RegKey key = CreateKey(root, keyPath);
    if (!key)
        return false;
    // The stored size counts the terminating zero.
    return RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

std::string ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName) {
    RegKey key = OpenKey(root, keyPath);
    if (!key)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ || size == 0)
        return {};
    std::vector<char> buffer(size);
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    // The data need not end in a zero.
    std::string text(buffer.data(), std::min<std::size_t>(size, buffer.size()));
    return text.substr(0, text.find('\0'));
}

bool RegKeyExists(HKEY root, const std::string& keyPath) {
    return static_cast<bool>(OpenKey(root, keyPath));
}

namespace {

// RegDeleteKeyA refuses a key that still has subkeys: those go first.
bool DeleteKeyTree(HKEY parent, const std::string& keyPath) {
    if (RegDeleteKeyA(parent, keyPath.c_str()) == ERROR_SUCCESS)
        return true;
    RegKey key = OpenKey(parent, keyPath);
    if (!key)
        return false;
    char name[256];
    DWORD length = sizeof name;
    // Index 0 each time: every pass deletes the first subkey.
    while (RegEnumKeyExA(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS) {
        if (!DeleteKeyTree(key.Get(), std::string(name, length)))
            return false;
        length = sizeof name;
    }
    key.Close();
    return RegDeleteKeyA(parent, keyPath.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool DeleteRegKey(HKEY root, const std::string& keyPath) {
    // An empty path would name the root itself, and the tree deletion would
    // empty it.
    if (keyPath.empty())
        return false;
    RegKey rootKey = OpenKey(root, nullptr);
    if (!rootKey)
        return false;
    return DeleteKeyTree(rootKey.Get(), keyPath);
}

bool DeleteEmptyRegKey(HKEY root, const std::string& keyPath) {
    if (keyPath.empty())
        return false;
    {
        RegKey key = OpenKey(root, keyPath);
        DWORD subkeys = 0, values = 0;
        if (!key ||
            RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subkeys != 0 || values != 0)
            return false;
    }
    return RegDeleteKeyA(root, keyPath.c_str()) == ERROR_SUCCESS;
}

bool DeleteRegValue(HKEY root, const std::string& keyPath, const std::string& valueName) {
    RegKey key = OpenKey(root, keyPath);
    if (!key)
        return false;
    return RegDeleteValueA(key.Get(), valueName.c_str()) == ERROR_SUCCESS;
}

} // namespace shell
