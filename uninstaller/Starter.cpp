#include "uninstaller/Starter.h"

#include "uninstaller/Handle.h"

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

bool IsPlanProgram(const RemovalPlan& plan, HANDLE process) {
    char image[MAX_PATH];
    DWORD length = sizeof image;
    if (!QueryFullProcessImageNameA(process, 0, image, &length))
        return false;
    const std::string program = LongPath(std::string(image, length));
    for (const std::string& file : plan.files) {
        if (SamePath(LongPath(file), program))
            return true;
    }
    return false;
}

} // namespace

void AwaitStarter(const RemovalPlan& plan, DWORD limitMs) {
    const DWORD parentId = ParentProcessId();
    if (parentId == 0)
        return;
    ScopedHandle parent(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, parentId));
    if (parent && StartedBeforeThisOne(parent.Get()) && IsPlanProgram(plan, parent.Get()))
        WaitForSingleObject(parent.Get(), limitMs);
}

} // namespace gluninst
