// GLIMR32.EXE seen from another process: starting it, finding its windows,
// reading its controls (W messages: the A ones do not cross the process
// border under Wine), and answering its message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// The 32-bit build runs emulated here (i386 Wine through qemu): far slower.
constexpr DWORD kSlowdown = sizeof(void*) == 4 ? 20 : 1;
constexpr DWORD kPatience = 10000 * kSlowdown; // ms for a window to appear or the program to end
// A start of the emulated program loads every DLL through the emulator.
constexpr DWORD kStartPatience = sizeof(void*) == 4 ? 600000 : kPatience;

extern const wchar_t kFormClass[];   // the program's forms (top-level windows)
extern const wchar_t kDialogClass[]; // its message and input boxes
extern const wchar_t kNoname[];      // the browser's title without a picture

std::string Narrow(const std::wstring& text);
std::wstring TextW(HWND window);
std::wstring ClassW(HWND window);
std::string Quoted(const std::string& text);
// GLIMR32.EXE beside the test program.
std::string ProgramFile();

struct ChildWindow {
    HWND handle;
    std::wstring className;
    std::string text;
};
std::vector<ChildWindow> Children(HWND window);
const ChildWindow* FindChild(const std::vector<ChildWindow>& children, const wchar_t* className,
                             const std::string& text = "\x01");
// A control's text as it holds it now (WM_GETTEXT, which asks the other process).
std::string ControlText(HWND window);
std::vector<std::string> ListEntries(HWND list);
std::string ListSelection(HWND list); // "<none>" when nothing is selected
std::string ComboSelection(HWND combo);

// Polls until the condition holds; false when it did not within the time.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = kPatience);

// A visible message box of the process: the program's own or the system's.
HWND FindBoxOf(DWORD process);
// Clicks the box's OK button; text is the box's message. False when the box
// has no OK button.
bool AnswerOk(HWND box, std::string& text);

// The program running in a process of its own; ended when the test is over.
class RunningProgram {
public:
    // show: the show-window value of the start-up information, -1 for none.
    RunningProgram(const std::string& arguments, const std::string& folder, int show = -1,
                   const std::string& program = ProgramFile());
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started_; }
    // A visible top-level window of the program, null when none comes in time.
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title,
                       DWORD milliseconds = kPatience);
    // Top-level windows of the class, and how many of them are visible.
    std::pair<int, int> CountWindows(const wchar_t* className) const;
    HWND FindWindowOfProcess(const wchar_t* className, const wchar_t* title) const;
    bool Ended() const;
    // The exit code once the program ended in time, -1 otherwise; notes
    // whether a browser window showed meanwhile.
    long WaitForExit(bool* browserShown = nullptr);

    // A visible message box of the program: its own or the system's.
    HWND FindBox() const;
    // Answers a box of the program with one of its buttons (posted: a click
    // sent across the process border does not always reach a new box).
    static bool Answer(HWND box, const std::string& button);
    // Clicks OK on each message box the program shows until `window` is
    // enabled again with no box open; the last box's text, or "" for none.
    // `boxes` counts them.
    std::string DismissBoxes(HWND window, int* boxes = nullptr);

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

} // namespace e2e
