#include "common/ProgramWindows.h"

#include <gtest/gtest.h>

#include <iostream>

namespace e2e {

const wchar_t kFormClass[] = L"Glimmora.Window";
const wchar_t kDialogClass[] = L"Glimmora.Dialog";
const wchar_t kNoname[] = L"Glimmora32 - [Noname]";

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring TextW(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassW(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string ProgramFile() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\')) + "\\GLIMR32.EXE";
}

std::string ControlText(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

namespace {

BOOL CALLBACK CollectChild(HWND window, LPARAM out) {
    reinterpret_cast<std::vector<ChildWindow>*>(out)->push_back(
        {window, ClassW(window), ControlText(window)});
    return TRUE;
}

struct WindowSearch {
    DWORD process;
    const wchar_t* className;
    const wchar_t* title; // any title when null
    HWND found;
};

BOOL CALLBACK DescribeWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process)
        std::cerr << "  window " << Narrow(ClassW(window)) << " \"" << Narrow(TextW(window))
                  << "\" visible " << IsWindowVisible(window) << "\n";
    return TRUE;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) ||
        ClassW(window) != search->className || (search->title && TextW(window) != search->title))
        return TRUE;
    search->found = window;
    return FALSE;
}

struct WindowCount {
    DWORD process;
    const wchar_t* className;
    int all, visible;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
    auto* count = reinterpret_cast<WindowCount*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == count->process && ClassW(window) == count->className) {
        ++count->all;
        count->visible += IsWindowVisible(window) != FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<ChildWindow> Children(HWND window) {
    std::vector<ChildWindow> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

const ChildWindow* FindChild(const std::vector<ChildWindow>& children, const wchar_t* className,
                             const std::string& text) {
    for (const ChildWindow& c : children)
        if (lstrcmpiW(c.className.c_str(), className) == 0 && (text == "\x01" || c.text == text))
            return &c;
    return nullptr;
}

std::vector<std::string> ListEntries(HWND list) {
    std::vector<std::string> entries;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        entries.push_back(Narrow(text));
    }
    return entries;
}

std::string ListSelection(HWND list) {
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    std::vector<std::string> entries = ListEntries(list);
    return index >= 0 && index < static_cast<LRESULT>(entries.size())
               ? entries[static_cast<size_t>(index)]
               : "<none>";
}

std::string ComboSelection(HWND combo) {
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return "<none>";
    wchar_t text[MAX_PATH] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 20) {
        if (condition())
            return true;
        if (waited >= milliseconds)
            return false;
        Sleep(20);
    }
}

HWND FindBoxOf(DWORD process) {
    for (const wchar_t* className : {kDialogClass, L"#32770"}) {
        WindowSearch search{process, className, nullptr, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
    }
    return nullptr;
}

bool AnswerOk(HWND box, std::string& text) {
    // A box is shown before all of its controls may be there.
    const ChildWindow* ok = nullptr;
    std::vector<ChildWindow> children;
    WaitUntil(
        [&] {
            children = Children(box);
            ok = FindChild(children, L"Button", "OK");
            return ok != nullptr;
        },
        3000 * kSlowdown);
    text.clear();
    for (const ChildWindow& c : children)
        if (c.className == L"Static" && !c.text.empty())
            text = c.text;
    if (ok)
        SendMessageW(ok->handle, BM_CLICK, 0, 0);
    return ok != nullptr;
}

RunningProgram::RunningProgram(const std::string& arguments, const std::string& folder, int show,
                               const std::string& program) {
    std::string commandLine = Quoted(program);
    if (!arguments.empty()) {
        commandLine += ' ';
        commandLine += arguments;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &info_) != FALSE;
    EXPECT_TRUE(started_) << commandLine << ": error " << GetLastError();
}

RunningProgram::~RunningProgram() {
    if (!started_)
        return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, kPatience);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND RunningProgram::WaitForWindow(const wchar_t* className, const wchar_t* title,
                                   DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (HWND window = FindWindowOfProcess(className, title))
            return window;
        if (Ended())
            return FindWindowOfProcess(className, title);
        Sleep(50);
    }
    WindowSearch search{info_.dwProcessId, className, title, nullptr};
    EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&search));
    return nullptr;
}

std::pair<int, int> RunningProgram::CountWindows(const wchar_t* className) const {
    WindowCount count{info_.dwProcessId, className, 0, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
    return {count.all, count.visible};
}

HWND RunningProgram::FindWindowOfProcess(const wchar_t* className, const wchar_t* title) const {
    WindowSearch search{info_.dwProcessId, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool RunningProgram::Ended() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
}

long RunningProgram::WaitForExit(bool* browserShown) {
    DWORD waited = 0;
    while (WaitForSingleObject(info_.hProcess, 20) == WAIT_TIMEOUT) {
        if (browserShown && FindWindowOfProcess(kFormClass, nullptr))
            *browserShown = true;
        if ((waited += 20) >= kPatience)
            return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

HWND RunningProgram::FindBox() const {
    return FindBoxOf(info_.dwProcessId);
}

bool RunningProgram::Answer(HWND box, const std::string& button) {
    const std::vector<ChildWindow> children = Children(box);
    const ChildWindow* found = FindChild(children, L"Button", button);
    if (!found)
        return false;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(found->handle), BN_CLICKED),
                 reinterpret_cast<LPARAM>(found->handle));
    return true;
}

std::string RunningProgram::DismissBoxes(HWND window, int* boxes) {
    std::string lastText;
    int count = 0;
    HWND box = FindBox();
    for (; box && count < 10; ++count) {
        if (!AnswerOk(box, lastText)) {
            ADD_FAILURE() << "a box without OK: " << lastText;
            break;
        }
        // The next box, or the end of the load: the window is enabled again
        // only when the program has finished.
        const HWND answered = box;
        box = nullptr;
        WaitUntil(
            [&] {
                box = FindBox();
                if (box == answered)
                    box = nullptr;
                return box || IsWindowEnabled(window) || Ended();
            },
            15000 * kSlowdown);
    }
    // The last box may still be on the screen a moment after its answer.
    WaitUntil([&] { return !FindBox() || Ended(); }, 5000 * kSlowdown);
    if (boxes)
        *boxes = count;
    return lastText;
}

} // namespace e2e
