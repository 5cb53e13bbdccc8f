// Registry strings under the predefined roots. Key paths are relative to the
// root; an empty value name means the key's default value. Every operation
// opens its key with KEY_ALL_ACCESS and closes it before returning.
#pragma once

#include <windows.h>

#include <string>

namespace shell {

// Owns an open registry key; closes it once.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : key_(other.Release()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For the out-parameter of RegOpenKeyExA and RegCreateKeyExA.
    HKEY* Receive();
    HKEY Release();
    void Close();

private:
    HKEY key_ = nullptr;
};

// Creates missing keys on the path; true when the REG_SZ value was set.
bool WriteRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                    const std::string& data);

// The characters before the first zero; empty when the key or value is
// missing or the value is not REG_SZ.
std::string ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName);

bool RegKeyExists(HKEY root, const std::string& keyPath);

// Removes the key with all its subkeys and values.
bool DeleteRegKey(HKEY root, const std::string& keyPath);

// Removes the key only when it holds no subkeys and no values.
bool DeleteEmptyRegKey(HKEY root, const std::string& keyPath);

bool DeleteRegValue(HKEY root, const std::string& keyPath, const std::string& valueName);

} // namespace shell
