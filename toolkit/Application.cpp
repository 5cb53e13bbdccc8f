#include "toolkit/Application.h"
#include "toolkit/WindowClass.h"

#include "toolkit/Dialogs.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"

#include <algorithm>

namespace toolkit {

namespace {
const char kApplicationClass[] = "Glimmora.Application";
} // namespace

TApplication& Application() {
    static TApplication application;
    return application;
}

TApplication::TApplication() : instance_(GetModuleHandleA(nullptr)) {
    RegisterWindowClass({kApplicationClass, DefWindowProcA, 0, 0, nullptr, false});
    // Hidden: carries the title the program gives itself.
    handle_ = CreateWindowExA(0, kApplicationClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance_, nullptr);
}

TApplication::~TApplication() {
    if (handle_)
        DestroyWindow(handle_);
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_)
        SetWindowTextA(handle_, title.c_str());
}

HWND TApplication::MainWindowHandle() const {
    return mainForm_ ? mainForm_->Handle() : handle_;
}

void TApplication::RegisterForm(TForm* form) {
    if (!mainForm_)
        mainForm_ = form;
}

void TApplication::UnregisterForm(TForm* form) {
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
    if (helpFile_.empty())
        return false;
    if (helpHook_) {
        helpHook_(helpFile_, command, data);
        return true;
    }
    return WinHelpA(MainWindowHandle(), helpFile_.c_str(), command, data) != FALSE;
}

void TApplication::HelpForFocus() {
    for (TControl* c = TControl::FromHandle(GetFocus()); c; c = c->Parent()) {
        if (c->HelpContext != 0) {
            HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(c->HelpContext));
            return;
        }
    }
}

bool TApplication::PreTranslate(MSG& msg) {
    bool handled = false;
    if (OnMessage)
        OnMessage(msg, handled);
    return handled;
}

bool TApplication::ProcessOneMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    try {
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } catch (...) {
        HandleException();
    }
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessOneMessage()) {
    }
}

void TApplication::Run() {
    if (mainForm_)
        mainForm_->Show();
    while (!terminated_) {
        if (!ProcessOneMessage())
            WaitMessage();
    }
}

void TApplication::Terminate() {
    if (!terminated_)
        PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::SetScreenCursor(TCursor cursor) {
    cursor_ = cursor;
    switch (cursor) {
    case TCursor::crDefault:
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        break;
    case TCursor::crHourGlass:
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        break;
    case TCursor::crNone:
        SetCursor(nullptr);
        break;
    }
}

bool TApplication::ApplyScreenCursor() {
    if (cursor_ == TCursor::crDefault)
        return false;
    SetScreenCursor(cursor_);
    return true;
}

void TApplication::ShowException(const std::exception& e) {
    std::string text = e.what();
    if (!text.empty() && text.back() != '.')
        text += '.';
    ShowMessageBox(title_, text, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception("Unbekannter Fehler"));
    }
}

} // namespace toolkit
