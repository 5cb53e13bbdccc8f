#include "toolkit/Dialogs.h"
#include "toolkit/WindowClass.h"

#include "toolkit/Application.h"
#include "toolkit/Font.h"
#include "toolkit/Gdi.h"

#include <windows.h>

#include <algorithm>

namespace toolkit {

namespace {

DialogHook& Hook() {
    static DialogHook hook;
    return hook;
}

const char kDialogClass[] = "Glimmora.Dialog";
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kEditId = 50;

int ResultOf(TMsgDlgBtn button) {
    switch (button) {
    case TMsgDlgBtn::mbYes:
        return mrYes;
    case TMsgDlgBtn::mbNo:
        return mrNo;
    case TMsgDlgBtn::mbOK:
        return mrOk;
    case TMsgDlgBtn::mbCancel:
        return mrCancel;
    }
    return mrNone;
}

LPCSTR IconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return IDI_EXCLAMATION;
    case TMsgDlgType::mtError:
        return IDI_HAND;
    case TMsgDlgType::mtInformation:
        return IDI_ASTERISK;
    case TMsgDlgType::mtConfirmation:
        return IDI_QUESTION;
    case TMsgDlgType::mtCustom:
        break;
    }
    return nullptr;
}

// State of one modal box while it runs.
struct ModalBox {
    int result = mrNone;
    int defaultId = 0;
    int cancelResult = mrCancel;
    std::string value;
    bool isInput = false;
};

LRESULT CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<ModalBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case DM_GETDEFID:
        return box ? MAKELRESULT(box->defaultId, DC_HASDEFID) : 0;
    case WM_COMMAND:
        if (box && HIWORD(wParam) == BN_CLICKED) {
            int id = LOWORD(wParam);
            if (id == IDCANCEL && box->cancelResult != mrCancel)
                id = box->cancelResult;
            if (box->isInput && id == mrOk) {
                HWND edit = GetDlgItem(window, kEditId);
                int length = GetWindowTextLengthA(edit);
                std::string text(static_cast<size_t>(length) + 1, '\0');
                GetWindowTextA(edit, text.data(), length + 1);
                text.resize(static_cast<size_t>(length));
                box->value = text;
            }
            box->result = id;
            // A click sent from outside ends no GetMessage wait: wake the loop.
            PostMessageA(window, WM_NULL, 0, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (box) {
            box->result = box->cancelResult;
            PostMessageA(window, WM_NULL, 0, 0);
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

void RegisterDialogClass() {
    static const bool registered = RegisterWindowClass(
        {kDialogClass, DialogProc, 0, DLGWINDOWEXTRA, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
    (void)registered;
}

SIZE MeasureText(HFONT font, const std::string& text, int maxWidth) {
    WindowDC dc(nullptr);
    SelectGuard select(dc.Get(), font);
    RECT r{0, 0, maxWidth, 0};
    std::string shown = text.empty() ? " " : text;
    DrawTextA(dc.Get(), shown.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {r.right, r.bottom};
}

// The box window, destroyed with the scope.
class BoxWindow {
public:
    explicit BoxWindow(HWND window) : window_(window) {}
    ~BoxWindow() {
        if (window_)
            DestroyWindow(window_);
    }
    BoxWindow(const BoxWindow&) = delete;
    BoxWindow& operator=(const BoxWindow&) = delete;

    HWND Get() const { return window_; }

private:
    HWND window_;
};

// The owner while a box runs: disabled, and afterwards enabled as it was and
// active again before the box goes. An owner that a load keeps disabled
// between its boxes gets the activation too, so that no other program's
// window comes to the front in between.
class OwnerDuringBox {
public:
    explicit OwnerDuringBox(HWND owner)
        : owner_(owner), wasEnabled_(owner && IsWindowEnabled(owner)) {
        if (owner_)
            EnableWindow(owner_, FALSE);
    }
    ~OwnerDuringBox() {
        if (!owner_)
            return;
        if (wasEnabled_)
            EnableWindow(owner_, TRUE);
        SetActiveWindow(owner_);
    }
    OwnerDuringBox(const OwnerDuringBox&) = delete;
    OwnerDuringBox& operator=(const OwnerDuringBox&) = delete;

private:
    HWND owner_;
    bool wasEnabled_;
};

// Builds and runs one modal box; returns its result.
int RunBox(ModalBox& box, const std::string& title, const std::string& text, LPCSTR icon,
           const std::vector<std::pair<std::string, int>>& buttons) {
    RegisterDialogClass();
    TFont font;
    HFONT hfont = font.Handle();
    std::string shown = ExpandLineBreaks(text);
    SIZE textSize = MeasureText(hfont, shown, 420);
    int textLeft = kMargin + (icon ? 32 + kMargin : 0);
    int contentBottom = kMargin + std::max<int>(icon ? 32 : 0, textSize.cy);
    int editTop = contentBottom + 6;
    if (box.isInput) {
        textSize.cx = std::max<int>(textSize.cx, 260);
        contentBottom = editTop + 22;
    }
    int buttonsWidth = static_cast<int>(buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    int clientWidth = std::max<int>(textLeft + textSize.cx + kMargin, buttonsWidth + 2 * kMargin);
    int buttonsTop = contentBottom + 16;
    int clientHeight = buttonsTop + kButtonHeight + kMargin;

    HWND owner = GetActiveWindow();
    if (!owner)
        owner = Application().MainWindowHandle();
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const BoxWindow boxWindow(CreateWindowExA(exStyle, kDialogClass, title.c_str(), style, x, y,
                                              width, height, owner, nullptr, instance, &box));
    const HWND window = boxWindow.Get();
    if (!window)
        return mrCancel;
    auto child = [&](const char* cls, const char* caption, DWORD childStyle, int l, int t, int w,
                     int h, int id) {
        HWND c =
            CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | childStyle, l, t, w, h, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(hfont), FALSE);
        return c;
    };
    if (icon) {
        HWND iconWindow = child("STATIC", "", SS_ICON, kMargin, kMargin, 32, 32, -1);
        SendMessageA(iconWindow, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)),
                     0);
    }
    child("STATIC", shown.c_str(), SS_LEFT | SS_NOPREFIX, textLeft, kMargin, textSize.cx,
          textSize.cy, -1);
    HWND focus = nullptr;
    if (box.isInput) {
        focus = child("EDIT", box.value.c_str(), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, textLeft,
                      editTop, textSize.cx, 22, kEditId);
        SendMessageA(focus, EM_LIMITTEXT, 255, 0); // a file name, no longer
        SendMessageA(focus, EM_SETSEL, 0, -1);
    }
    int buttonLeft = (clientWidth - buttonsWidth) / 2;
    for (size_t i = 0; i < buttons.size(); ++i) {
        DWORD buttonStyle = WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = child("BUTTON", buttons[i].first.c_str(), buttonStyle,
                            buttonLeft + static_cast<int>(i) * (kButtonWidth + kButtonGap),
                            buttonsTop, kButtonWidth, kButtonHeight, buttons[i].second);
        if (i == 0 && !focus)
            focus = button;
    }
    box.defaultId = buttons.empty() ? 0 : buttons.front().second;

    // Destroyed before the box window: hands the activation back first.
    const OwnerDuringBox ownerDuringBox(owner);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    if (focus)
        SetFocus(focus);
    MSG msg;
    bool quit = false;
    while (box.result == mrNone) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = true;
            box.result = box.cancelResult;
            break;
        }
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(msg.wParam));
    return box.result;
}

} // namespace

void SetDialogHook(DialogHook hook) {
    Hook() = std::move(hook);
}

const char* DialogTitle(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return "Warnung";
    case TMsgDlgType::mtError:
        return "Fehler";
    case TMsgDlgType::mtInformation:
        return "Information";
    case TMsgDlgType::mtConfirmation:
        return "Bestätigen";
    case TMsgDlgType::mtCustom:
        break;
    }
    return "";
}

const char* ButtonText(TMsgDlgBtn button) {
    switch (button) {
    case TMsgDlgBtn::mbYes:
        return "&Ja";
    case TMsgDlgBtn::mbNo:
        return "&Nein";
    case TMsgDlgBtn::mbOK:
        return "OK";
    case TMsgDlgBtn::mbCancel:
        return "Abbrechen";
    }
    return "";
}

std::string ExpandLineBreaks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))
            out += '\n';
    }
    return out;
}

int ShowMessageBox(const std::string& title, const std::string& text, TMsgDlgType type,
                   const std::vector<TMsgDlgBtn>& buttons) {
    if (Hook()) {
        DialogRecord record;
        record.type = type;
        record.title = title;
        record.text = text;
        for (TMsgDlgBtn b : buttons)
            record.buttons.push_back(ButtonText(b));
        return Hook()(record);
    }
    ModalBox box;
    bool hasCancel =
        std::find(buttons.begin(), buttons.end(), TMsgDlgBtn::mbCancel) != buttons.end();
    bool hasNo = std::find(buttons.begin(), buttons.end(), TMsgDlgBtn::mbNo) != buttons.end();
    box.cancelResult = hasCancel ? mrCancel : (hasNo ? mrNo : mrCancel);
    std::vector<std::pair<std::string, int>> shown;
    for (TMsgDlgBtn b : buttons)
        shown.emplace_back(ButtonText(b), ResultOf(b));
    return RunBox(box, title, text, IconOf(type), shown);
}

int MessageDlg(const std::string& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
               int /*helpContext*/) {
    return ShowMessageBox(DialogTitle(type), text, type, buttons);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    if (Hook()) {
        DialogRecord record;
        record.title = caption;
        record.text = prompt;
        record.buttons = {"OK", "Abbrechen"};
        record.isInput = true;
        record.value = value;
        int result = Hook()(record);
        if (result == mrOk)
            value = record.value;
        return result == mrOk;
    }
    ModalBox box;
    box.isInput = true;
    box.value = value;
    int result = RunBox(box, caption, prompt, nullptr, {{"OK", mrOk}, {"Abbrechen", mrCancel}});
    if (result == mrOk)
        value = box.value;
    return result == mrOk;
}

} // namespace toolkit
