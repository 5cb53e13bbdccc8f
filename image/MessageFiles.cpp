#include "image/MessageFiles.h"

#include "shell/FileHandle.h"
#include "shell/Paths.h"
#include "toolkit/Errors.h"

#include <windows.h>

#include <algorithm>

namespace image {

namespace {

// At most `limit` bytes from the start of the file; others may read it meanwhile.
std::string ReadFileStart(const std::string& path, long long limit) {
    shell::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw toolkit::EFOpenError(toolkit::FormatMessageText("Kann Datei %s nicht öffnen", path));
    std::string data;
    char buffer[16384];
    while (static_cast<long long>(data.size()) < limit) {
        DWORD wanted = static_cast<DWORD>(
            std::min<long long>(sizeof buffer, limit - static_cast<long long>(data.size())));
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, wanted, &got, nullptr))
            toolkit::RaiseInOutError(GetLastError());
        if (got == 0)
            break;
        data.append(buffer, got);
    }
    return data;
}

} // namespace

bool ParseScrollFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::string& message) {
    if (!shell::IsExistingFile(path))
        return false;
    ApplyScrollText(ReadFileStart(path, kScrollFileLimit), font, speed, background, message);
    return true;
}

bool ParseCreditFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::vector<std::string>& lines) {
    lines.clear();
    if (!shell::IsExistingFile(path))
        return false;
    ApplyCreditText(ReadFileStart(path, kCreditFileLimit), font, speed, background, lines);
    return true;
}

} // namespace image
