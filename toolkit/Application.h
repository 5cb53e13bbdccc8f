// The application object: title, message loop with its hook, help file,
// screen cursor and the general error report.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace toolkit {

class TForm;

enum class TCursor { crDefault, crHourGlass, crNone };

// Sees each queued message before dispatch; setting handled stops it.
using MessageHook = std::function<void(MSG& msg, bool& handled)>;

// Stands in for the help viewer in tests: (file, command, data).
using HelpHook = std::function<void(const std::string& file, UINT command, ULONG_PTR data)>;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    HINSTANCE Instance() const { return instance_; }

    // The hidden application window carries the title.
    HWND Handle() const { return handle_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& file) { helpFile_ = file; }
    // Calls the help viewer on the help file; false when no help file is set.
    bool HelpCommand(UINT command, ULONG_PTR data);
    // F1: topic of the focused control, or of its nearest parent with one.
    void HelpForFocus();
    void SetHelpHook(HelpHook hook) { helpHook_ = std::move(hook); }

    MessageHook OnMessage;

    // The first form created becomes the main form; closing it ends Run.
    TForm* MainForm() const { return mainForm_; }
    HWND MainWindowHandle() const;
    void RegisterForm(TForm* form);
    void UnregisterForm(TForm* form);

    void Run();
    void ProcessMessages();
    // One queued message; false when the queue was empty.
    bool ProcessOneMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }

    TCursor ScreenCursor() const { return cursor_; }
    void SetScreenCursor(TCursor cursor);
    // Answers WM_SETCURSOR while a screen cursor other than the default is set.
    bool ApplyScreenCursor();

    // The general error report: text and "." in an error box titled with the title.
    void ShowException(const std::exception& e);
    void HandleException();

private:
    bool PreTranslate(MSG& msg);

    HINSTANCE instance_;
    HWND handle_ = nullptr;
    std::string title_;
    std::string helpFile_;
    HelpHook helpHook_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    TCursor cursor_ = TCursor::crDefault;
};

// The program-wide application object.
TApplication& Application();

// The application's pointer for a scope; the one before it again however it ends.
class ScopedCursor {
public:
    explicit ScopedCursor(TCursor cursor) : previous_(Application().ScreenCursor()) {
        Application().SetScreenCursor(cursor);
    }
    ~ScopedCursor() { Application().SetScreenCursor(previous_); }
    ScopedCursor(const ScopedCursor&) = delete;
    ScopedCursor& operator=(const ScopedCursor&) = delete;

private:
    TCursor previous_;
};

} // namespace toolkit
