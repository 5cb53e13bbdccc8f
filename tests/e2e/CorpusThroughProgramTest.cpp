// Every file of the image corpus opened in the running release build as a
// user opens one: its name typed into the name box, then Enter. Files the
// library reads show with their size in the title and the info panel, the
// others are reported in boxes and leave the window idle, and files outside
// the offered extensions are selected but not opened. Nothing may crash or hang.
#include "common/TestSupport.h"
#include "common/ProgramWindows.h"
#include "UserInput.h"
#include "imagelib/common/known_outcomes.h"
#include "imagelib/common/manifest.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace e2e;

namespace {

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The browser opens only these extension keys (the first four characters).
bool Offered(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string key = Upper(name.substr(dot, 4));
    for (const char* offered : {".JPG", ".BMP", ".GIF", ".WMF", ".ICO", ".PCX", ".TIF"})
        if (key == offered)
            return true;
    return false;
}

enum class Outcome { Shown, Refused, NotOpened, Hung, Crashed };

const char* Describe(Outcome o) {
    switch (o) {
    case Outcome::Shown:
        return "shown";
    case Outcome::Refused:
        return "refused";
    case Outcome::NotOpened:
        return "not opened";
    case Outcome::Hung:
        return "no end state";
    case Outcome::Crashed:
        return "program ended";
    }
    return "?";
}

Outcome Expected(const skytest::CorpusEntry& e, const std::string& name) {
    if (!Offered(name))
        return Outcome::NotOpened;
    const bool read = e.Valid() ? !skytest::kUnreadable.count(e.path)
                                : skytest::kReadDespiteFaults.count(e.path) > 0;
    return read ? Outcome::Shown : Outcome::Refused;
}

// The program started in one corpus folder.
class FolderSession {
public:
    explicit FolderSession(const std::string& folder)
        : program_(std::make_unique<RunningProgram>("", folder, -1, Release())) {
        window_ = program_->WaitForWindow(kFormClass, kNoname);
        if (!window_)
            return;
        for (const ChildWindow& c : Children(window_)) {
            if (c.className == L"Edit")
                edit_ = c.handle;
            else if (c.className == L"ListBox")
                list_ = c.handle;
            else if (c.text.rfind("Picture-Info:", 0) == 0)
                info_ = c.handle;
        }
    }
    ~FolderSession() {
        if (window_ && !program_->Ended()) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
            program_->WaitForExit();
        }
    }

    bool Ready() const { return window_ && edit_ && list_ && info_; }

    Outcome Open(const std::string& name, std::string& detail) {
        const std::wstring before = TextW(window_);
        PostMessageW(edit_, EM_SETSEL, 0, -1);
        Type(edit_, name);
        Press(edit_, VK_RETURN);
        const std::string upper = Upper(name);
        const std::wstring shown =
            L"Glimmora32 - [" + std::wstring(upper.begin(), upper.end()) + L"]";
        bool done = WaitUntil(
            [&] {
                // A file outside the offered set only gets selected.
                return program_->Ended() || TextW(window_) == shown || program_->FindBox() ||
                       (!Offered(name) && ListSelection(list_) == name);
            },
            30000);
        if (program_->Ended())
            return Outcome::Crashed;
        if (!done)
            return Outcome::Hung;
        if (program_->FindBox()) {
            int boxes = 0;
            detail = program_->DismissBoxes(window_, &boxes);
            if (program_->Ended())
                return Outcome::Crashed;
            if (!WaitUntil([&] { return IsWindowEnabled(window_) && !program_->FindBox(); }))
                return Outcome::Hung;
            // Refused before loading the title stays "Noname"; a reader that
            // fails after the header was read leaves the name over an empty picture.
            const std::wstring title = TextW(window_);
            return title == kNoname || title == shown ? Outcome::Refused : Outcome::Hung;
        }
        if (TextW(window_) == shown) {
            detail = ControlText(info_);
            return Outcome::Shown;
        }
        // Selected and nothing else: give Enter a moment to show an effect.
        Sleep(50);
        return TextW(window_) == before && !program_->FindBox() ? Outcome::NotOpened
                                                                : Outcome::Hung;
    }

private:
    static std::string Release() { return WindowsPath(GLIMMORA_RELEASE_DIR "/GLIMR32.EXE"); }

    std::unique_ptr<RunningProgram> program_;
    HWND window_ = nullptr, edit_ = nullptr, list_ = nullptr, info_ = nullptr;
};

} // namespace

TEST(CorpusThroughProgram, EveryFileEndsInTheRightState) {
    glimtest::SavedProgramKeys savedEntries;
    const std::string corpus = WindowsPath(GLIMMORA_CORPUS_DIR);
    const std::vector<skytest::CorpusEntry> manifest = skytest::ReadManifest(corpus);
    ASSERT_GT(manifest.size(), 500u);
    std::map<std::string, std::vector<const skytest::CorpusEntry*>> byFolder;
    for (const skytest::CorpusEntry& e : manifest)
        byFolder[e.path.substr(0, e.path.rfind('/'))].push_back(&e);

    std::map<Outcome, int> counts;
    int mismatches = 0;
    for (const auto& [folder, entries] : byFolder) {
        std::unique_ptr<FolderSession> session;
        for (const skytest::CorpusEntry* e : entries) {
            if (!session) {
                session = std::make_unique<FolderSession>(WindowsPath(corpus + "/" + folder));
                ASSERT_TRUE(session->Ready()) << folder;
            }
            const std::string name = e->path.substr(e->path.rfind('/') + 1);
            std::string detail;
            const Outcome got = session->Open(name, detail);
            ++counts[got];
            const Outcome expected = Expected(*e, name);
            // Questionable files may be read or refused, but not crash or hang.
            bool right = got == expected || (e->validity == "questionable" &&
                                             (got == Outcome::Shown || got == Outcome::Refused));
            if (got == Outcome::Shown && e->width > 0 && e->height > 0)
                right = right && detail.find("  " + std::to_string(e->width) + "x" +
                                             std::to_string(e->height) + "x") != std::string::npos;
            if (!right) {
                ++mismatches;
                ADD_FAILURE() << e->path << ": " << Describe(got) << " (" << detail
                              << "), expected " << Describe(expected);
            }
            if (got == Outcome::Crashed || got == Outcome::Hung)
                session.reset(); // a fresh program for the rest of the folder
        }
    }
    std::cout << "corpus through the program: " << counts[Outcome::Shown] << " shown, "
              << counts[Outcome::Refused] << " refused, " << counts[Outcome::NotOpened]
              << " not opened (extension), " << counts[Outcome::Hung] << " without end state, "
              << counts[Outcome::Crashed] << " crashed; " << mismatches << " unexpected\n";
}
