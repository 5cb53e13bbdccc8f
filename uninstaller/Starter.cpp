#include "uninstaller/Starter.h"

#include "uninstaller/Handle.h"
#include "uninstaller/Removal.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>

namespace gluninst {

namespace {

DWORD ParentProcessId() {
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == self)
            return entry.th32ParentProcessID;
    }
    return 0;
}

// A process started after this one has only taken over the number.
bool StartedBeforeThisOne(HANDLE process) {
    FILETIME created{}, ownCreated{}, unused1{}, unused2{}, unused3{};
    return GetProcessTimes(process, &created, &unused1, &unused2, &unused3) &&
           GetProcessTimes(GetCurrentProcess(), &ownCreated, &unused1, &unused2, &unused3) &&
           CompareFileTime(&created, &ownCreated) <= 0;
}

std::string LongPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return length == 0 || length >= sizeof buffer ? path : std::string(buffer, length);
}

// The first module of a process is its program file.
std::string ImagePath(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    // The module list may be changing: the call asks to be repeated.
    for (int attempt = 0; snapshot == INVALID_HANDLE_VALUE && attempt < 3; ++attempt) {
        if (GetLastError() != ERROR_BAD_LENGTH)
            break;
        snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    }
    ScopedHandle modules(snapshot);
    if (!modules)
        return {};
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    return Module32First(modules.Get(), &entry) ? entry.szExePath : std::string();
}

// The program may have been renamed: any program file in the plan's folder
// counts. Its long path, or empty when it runs from elsewhere.
std::string ProgramInPlanFolder(const RemovalPlan& plan, DWORD processId) {
    const std::string image = ImagePath(processId);
    if (image.empty())
        return {};
    const std::string program = LongPath(image);
    const LeadBytes lead = AnsiLeadBytes();
    return SamePath(FolderOf(program, lead), LongPath(plan.folder), lead) ? program : std::string();
}

} // namespace

std::string AwaitStarter(const RemovalPlan& plan, DWORD limitMs) {
    const DWORD parentId = ParentProcessId();
    if (parentId == 0)
        return {};
    ScopedHandle parent(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, parentId));
    if (!parent || !StartedBeforeThisOne(parent.Get()))
        return {};
    const std::string program = ProgramInPlanFolder(plan, parentId);
    if (!program.empty())
        WaitForSingleObject(parent.Get(), limitMs);
    return program;
}

} // namespace gluninst
