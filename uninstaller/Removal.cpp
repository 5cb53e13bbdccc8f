#include "uninstaller/Removal.h"

#include "uninstaller/Handle.h"

#include <windows.h>

namespace gluninst {

namespace {

constexpr LONGLONG kMaxLogSize = 64 * 1024;

enum class Deletion { Deleted, Missing, Kept };

Deletion DeleteNamedFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Deletion::Missing
                                                                              : Deletion::Kept;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Deletion::Kept;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(path.c_str()))
        return Deletion::Deleted;
    if (readOnly)
        SetFileAttributesA(path.c_str(), attributes);
    return Deletion::Kept;
}

} // namespace

LeadBytes AnsiLeadBytes() {
    LeadBytes lead;
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info))
        return lead;
    // Pairs of first and last byte, ended by a zero pair.
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte)
            lead.set(byte);
    }
    return lead;
}

std::optional<std::string> ReadLogFile(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxLogSize)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() &&
        (!ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr) ||
         read != text.size()))
        return std::nullopt;
    return text;
}

RemovalResult CarryOut(const RemovalPlan& plan) {
    RemovalResult result;
    for (const std::string& file : plan.files) {
        switch (DeleteNamedFile(file)) {
        case Deletion::Deleted:
            result.deleted.push_back(file);
            break;
        case Deletion::Missing:
            break;
        case Deletion::Kept:
            result.left.push_back(file);
            result.complete = false;
            break;
        }
    }
    // The system removes only an empty folder.
    if (!IsRootFolder(plan.folder, AnsiLeadBytes()))
        result.folderRemoved = RemoveDirectoryA(plan.folder.c_str()) != FALSE;
    return result;
}

ExitCode Uninstall(const std::string& logPath,
                   const std::function<void(const RemovalPlan&)>& beforeRemoval,
                   const std::function<void(const std::vector<std::string>&)>& reportLeft) {
    const std::optional<std::string> text = ReadLogFile(logPath);
    if (!text)
        return kLogUnreadable;
    const std::optional<RemovalPlan> plan = ParseUninstallLog(*text, AnsiLeadBytes());
    if (!plan)
        return kLogMalformed;
    if (beforeRemoval)
        beforeRemoval(*plan);
    const RemovalResult result = CarryOut(*plan);
    if (!result.complete) {
        // The log stays, so that the user can try again.
        if (reportLeft)
            reportLeft(result.left);
        return kFilesLeft;
    }
    DeleteNamedFile(logPath);
    return kDone;
}

} // namespace gluninst
