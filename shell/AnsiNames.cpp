#include "shell/AnsiNames.h"

#include <vector>

namespace shell {

namespace {

// Exact: false when the code page lacks a character, which becomes "?".
bool ToAnsi(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty())
        return true;
    BOOL lacking = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                         static_cast<int>(wide.size()), nullptr, 0, "?", &lacking);
    ansi.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        ansi.data(), size, "?", &lacking);
    return !lacking;
}

std::wstring CurrentFolderW() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length);
    }
}

std::wstring ShortPathW(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length);
    }
}

} // namespace

std::string ReachableName(const WIN32_FIND_DATAW& entry) {
    std::string name;
    if (ToAnsi(entry.cFileName, name))
        return name;
    std::string shortName;
    if (entry.cAlternateFileName[0] && ToAnsi(entry.cAlternateFileName, shortName))
        return shortName;
    return name;
}

bool IsUnreachableName(const std::string& name) {
    return name.find('?') != std::string::npos;
}

std::string ReachableCurrentFolder() {
    const std::wstring folder = CurrentFolderW();
    std::string ansi;
    if (ToAnsi(folder, ansi))
        return ansi;
    const std::wstring shortFolder = ShortPathW(folder);
    return !shortFolder.empty() && ToAnsi(shortFolder, ansi) ? ansi : std::string();
}

std::wstring WideText(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

} // namespace shell
