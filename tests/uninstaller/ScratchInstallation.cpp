#include "ScratchInstallation.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>

using namespace testsupport;

namespace uninstalltest {

const char* const kProgramFiles[5] = {"GLIMR32.EXE", "GLIMR32.HLP", "GLIMR32.CNT", "GLIMR32.GID",
                                      "SKY32DEM.DLL"};

namespace {

struct FindCloser {
    void operator()(HANDLE search) const { FindClose(search); }
};

void Collect(const std::string& folder, const std::string& relative,
             std::vector<std::string>& found) {
    WIN32_FIND_DATAA entry;
    HANDLE first = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (first == INVALID_HANDLE_VALUE)
        return;
    std::unique_ptr<void, FindCloser> search(first);
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        found.push_back(path);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Collect(folder + "\\" + name, path, found);
    } while (FindNextFileA(search.get(), &entry));
}

} // namespace

ScratchInstallation::ScratchInstallation() {
    EXPECT_TRUE(CreateDirectoryA(Folder().c_str(), nullptr));
    EXPECT_TRUE(CreateDirectoryA(Windows().c_str(), nullptr));
    for (const char* name : kProgramFiles)
        WriteBytes(File(name), name);
    WriteBytes(Log(), LogText());
}

std::string ScratchInstallation::LogText() const {
    std::string text = "*** Installation Started 1/1/96 00:00 ***\r\n"
                       "Title: Glimmora 1.1b -32 Installation\r\n"
                       "Source: A:\\INST32.EXE\r\n"
                       "Made Dir: " +
                       Folder() + "\r\n";
    for (const char* name : kProgramFiles)
        text += "File Copy: " + File(name) + "\r\n";
    return text;
}

std::vector<std::string> ScratchInstallation::Remaining() const {
    std::vector<std::string> found;
    Collect(base_.Path(), "", found);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> ScratchInstallation::Untouched() {
    std::vector<std::string> all = {"Glimmora32", "WINDOWS", "WINDOWS\\GLUNINST.LOG"};
    for (const char* name : kProgramFiles)
        all.push_back(std::string("Glimmora32\\") + name);
    std::sort(all.begin(), all.end());
    return all;
}

} // namespace uninstalltest
