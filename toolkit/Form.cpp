#include "toolkit/Form.h"
#include "toolkit/WindowClass.h"

#include "toolkit/Application.h"
#include "toolkit/Errors.h"
#include "toolkit/Gdi.h"
#include "toolkit/StdCtrls.h"

#include <algorithm>

namespace toolkit {

namespace {
std::map<std::string, ControlFactory>& Factories() {
    static std::map<std::string, ControlFactory> factories;
    return factories;
}

const char kFormClass[] = "Glimmora.Form";

void RegisterFormClass() {
    static const bool registered =
        RegisterWindowClass({kFormClass, TControl::StaticProc, CS_DBLCLKS});
    (void)registered;
}

void CollectTabStops(TControl* parent, std::vector<TControl*>& out) {
    std::vector<TControl*> ordered;
    for (auto& child : parent->Controls())
        ordered.push_back(child.get());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](TControl* a, TControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TControl* child : ordered) {
        if (child->TabStop())
            out.push_back(child);
        CollectTabStops(child, out);
    }
}
} // namespace

std::vector<TControl*> TabOrderList(TControl* root) {
    std::vector<TControl*> list;
    CollectTabStops(root, list);
    return list;
}

void TForm::RegisterControlClass(const std::string& className, ControlFactory factory) {
    Factories()[className] = std::move(factory);
}

TForm::TForm() : TControl(nullptr) {
    visible_ = false;
    RegisterFormClass();
    Application().RegisterForm(this);
}

TForm::~TForm() {
    children_.clear();
    Application().UnregisterForm(this);
}

TControl::CreateParams TForm::GetCreateParams() const {
    CreateParams params;
    params.className = nullptr;
    switch (borderStyle_) {
    case TBorderStyle::bsNone:
        params.style = WS_POPUP;
        break;
    case TBorderStyle::bsSingle:
        params.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                       (maximizeBox_ ? WS_MAXIMIZEBOX : 0);
        break;
    case TBorderStyle::bsDialog:
        params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        params.exStyle = WS_EX_DLGMODALFRAME;
        break;
    case TBorderStyle::bsSizeable:
        params.style = WS_OVERLAPPEDWINDOW;
        break;
    }
    params.style |= WS_CLIPCHILDREN;
    return params;
}

void TForm::AfterCreate() {
    if (clientWidth_ || clientHeight_)
        SetClientSize(clientWidth_, clientHeight_);
    if (!iconName_.empty()) {
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), iconName_.c_str());
        if (icon) {
            SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageA(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
    }
}

void TForm::LoadLayout(const std::string& text) {
    auto root = ParseLayout(text);
    Name = root->name;
    for (const auto& [name, value] : root->properties)
        SetProperty(name, value);
    CreateHandle();
    CreateChildren(this, *root);
}

void TForm::CreateChildren(TControl* parent, const LayoutObject& object) {
    for (const auto& childObject : object.children) {
        auto it = Factories().find(childObject->className);
        if (it == Factories().end())
            throw Exception("Klasse " + childObject->className + " nicht gefunden");
        std::unique_ptr<TControl> control = it->second(parent);
        TControl* raw = control.get();
        raw->Name = childObject->name;
        parent->AddChild(std::move(control));
        for (const auto& [name, value] : childObject->properties)
            if (!raw->SetProperty(name, value))
                throw Exception("Eigenschaft " + childObject->name + "." + name +
                                " existiert nicht");
        raw->CreateHandle();
        CreateChildren(raw, *childObject);
    }
}

bool TForm::SetProperty(const std::string& name, const LayoutValue& value) {
    if (name == "ClientWidth")
        SetClientSize(static_cast<int>(value.integer), clientHeight_);
    else if (name == "ClientHeight")
        SetClientSize(clientWidth_, static_cast<int>(value.integer));
    else if (name == "BorderStyle") {
        if (value.text == "bsSingle")
            borderStyle_ = TBorderStyle::bsSingle;
        else if (value.text == "bsNone")
            borderStyle_ = TBorderStyle::bsNone;
        else if (value.text == "bsDialog")
            borderStyle_ = TBorderStyle::bsDialog;
        else
            borderStyle_ = TBorderStyle::bsSizeable;
    } else if (name == "BorderIcons")
        maximizeBox_ =
            std::find(value.set.begin(), value.set.end(), "biMaximize") != value.set.end();
    else if (name == "KeyPreview")
        KeyPreview = value.AsBool();
    else if (name == "AutoScroll")
        AutoScroll = value.AsBool();
    else if (name == "Icon")
        iconName_ = value.text;
    else if (name == "Position" || name == "Scaled" || name == "PixelsPerInch" ||
             name == "TextHeight" || name == "WindowState")
        return true; // fixed for this program: system position, no scaling
    else if (name == "Left" || name == "Top")
        return true; // the system places the window
    else
        return TControl::SetProperty(name, value);
    return true;
}

int TForm::ClientWidth() const {
    RECT r{};
    if (handle_)
        GetClientRect(handle_, &r);
    return handle_ ? r.right : clientWidth_;
}

int TForm::ClientHeight() const {
    RECT r{};
    if (handle_)
        GetClientRect(handle_, &r);
    return handle_ ? r.bottom : clientHeight_;
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    if (!handle_)
        return;
    RECT r{0, 0, width, height};
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_EXSTYLE));
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    SetWindowPos(handle_, nullptr, 0, 0, width_, height_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
    SetVisible(true);
    if (handle_)
        SetForegroundWindow(handle_);
}

void TForm::ShowMaximized() {
    if (!handle_)
        return;
    bool wasVisible = IsWindowVisible(handle_);
    visible_ = true;
    ShowWindow(handle_, SW_SHOWMAXIMIZED);
    SetForegroundWindow(handle_);
    if (!wasVisible && OnShow)
        OnShow(this);
}

void TForm::SetVisible(bool visible) {
    bool wasVisible = handle_ && IsWindowVisible(handle_);
    visible_ = visible;
    if (!handle_)
        return;
    if (visible && !wasVisible) {
        ShowWindow(handle_, SW_SHOWNORMAL);
        if (OnShow)
            OnShow(this);
        if (activeControl_ && activeControl_->CanFocus())
            activeControl_->SetFocus();
    } else if (!visible && wasVisible) {
        ShowWindow(handle_, SW_HIDE);
    }
}

void TForm::SetEnabled(bool enabled) {
    if (!handle_) {
        TControl::SetEnabled(enabled);
        return;
    }
    if (!enabled && IsWindowEnabled(handle_))
        activeWhenDisabled_ = GetActiveWindow() == handle_;
    TControl::SetEnabled(enabled);
    if (!enabled || !activeWhenDisabled_)
        return;
    activeWhenDisabled_ = false;
    if (GetActiveWindow() != handle_)
        SetForegroundWindow(handle_); // WM_ACTIVATE gives the focus back
    // A box may have handed the activation back while the form was disabled:
    // the form itself then holds the focus, which belongs to its control.
    const HWND focus = GetFocus();
    if (GetActiveWindow() == handle_ && (!focus || focus == handle_) && activeControl_ &&
        activeControl_->CanFocus())
        activeControl_->SetFocus();
}

void TForm::SetOwner(const TForm& owner) {
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner.Handle()));
}

void TForm::Close() {
    TCloseAction action =
        this == Application().MainForm() ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (this == Application().MainForm()) {
        Application().Terminate();
        Hide();
    } else if (action == TCloseAction::caMinimize) {
        ShowWindow(handle_, SW_MINIMIZE);
    } else {
        Hide();
        // The main window becomes active again.
        TForm* main = Application().MainForm();
        if (main && main->Handle() && IsWindowVisible(main->Handle()))
            SetForegroundWindow(main->Handle());
    }
}

void TForm::SetActiveControl(TControl* control) {
    activeControl_ = control;
    if (control && handle_ && IsWindowVisible(handle_) && control->CanFocus())
        control->SetFocus();
}

void TForm::SelectNext(TControl* from, bool forward) {
    std::vector<TControl*> list = TabOrderList(this);
    std::erase_if(list, [from](TControl* c) { return c != from && !c->CanFocus(); });
    if (list.empty())
        return;
    auto it = std::find(list.begin(), list.end(), from);
    size_t index =
        it == list.end() ? (forward ? list.size() - 1 : 0) : static_cast<size_t>(it - list.begin());
    for (size_t step = 1; step <= list.size(); ++step) {
        size_t next = forward ? (index + step) % list.size()
                              : (index + list.size() - step % list.size()) % list.size();
        if (list[next] != from && list[next]->CanFocus()) {
            list[next]->SetFocus();
            return;
        }
    }
}

bool TForm::DialogChar(char letter) {
    char upper = letter;
    CharUpperBuffA(&upper, 1);
    std::vector<TControl*> all;
    std::vector<TControl*> stack{this};
    while (!stack.empty()) {
        TControl* c = stack.back();
        stack.pop_back();
        for (auto& child : c->Controls()) {
            all.push_back(child.get());
            stack.push_back(child.get());
        }
    }
    for (TControl* c : all) {
        // Only buttons react; an "&" in a label's or an edit's text is no key.
        if (dynamic_cast<TButton*>(c) && c->AccessKey() == upper && c->CanFocus()) {
            c->Click();
            return true;
        }
    }
    return false;
}

void TForm::UpdateScrollRange() {
    if (!AutoScroll || !handle_ || inScrollUpdate_)
        return;
    inScrollUpdate_ = true;
    int right = 0, bottom = 0;
    for (auto& child : children_) {
        if (!child->Visible())
            continue;
        right = std::max<int>(right, child->Left() + child->Width() + scroll_.x);
        bottom = std::max<int>(bottom, child->Top() + child->Height() + scroll_.y);
    }
    for (int pass = 0; pass < 2; ++pass) {
        RECT client;
        GetClientRect(handle_, &client);
        range_.x = right > client.right ? right : 0;
        range_.y = bottom > client.bottom ? bottom : 0;
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        info.nMax = range_.x ? range_.x - 1 : 0;
        info.nPage = range_.x ? static_cast<UINT>(client.right) : 0;
        info.nPos = scroll_.x;
        SetScrollInfo(handle_, SB_HORZ, &info, TRUE);
        info.nMax = range_.y ? range_.y - 1 : 0;
        info.nPage = range_.y ? static_cast<UINT>(client.bottom) : 0;
        info.nPos = scroll_.y;
        SetScrollInfo(handle_, SB_VERT, &info, TRUE);
    }
    // Keep the position inside the new range: back to the origin when an axis
    // no longer scrolls, to its far end when the range shrank below it.
    RECT client;
    GetClientRect(handle_, &client);
    int dx = scroll_.x - std::clamp<int>(scroll_.x, 0, std::max<int>(0, range_.x - client.right));
    int dy = scroll_.y - std::clamp<int>(scroll_.y, 0, std::max<int>(0, range_.y - client.bottom));
    if (dx || dy) {
        scroll_.x -= dx;
        scroll_.y -= dy;
        for (int bar : {SB_HORZ, SB_VERT}) {
            SCROLLINFO info{
                sizeof info, SIF_POS, 0, 0, 0, bar == SB_HORZ ? scroll_.x : scroll_.y, 0};
            SetScrollInfo(handle_, bar, &info, TRUE);
        }
        ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        for (auto& child : children_) {
            child->left_ += dx;
            child->top_ += dy;
        }
    }
    inScrollUpdate_ = false;
}

void TForm::ScrollBy(int bar, int code) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(handle_, bar, &info);
    int pos = info.nPos;
    int maxPos = info.nMax - static_cast<int>(info.nPage) + 1;
    switch (code) {
    case SB_LINEUP:
        pos -= 8;
        break;
    case SB_LINEDOWN:
        pos += 8;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = maxPos;
        break;
    default:
        return;
    }
    pos = std::clamp(pos, 0, std::max(maxPos, 0));
    LONG& current = bar == SB_HORZ ? scroll_.x : scroll_.y;
    int delta = current - pos;
    if (!delta)
        return;
    current = pos;
    SetScrollPos(handle_, bar, pos, TRUE);
    int dx = bar == SB_HORZ ? delta : 0;
    int dy = bar == SB_VERT ? delta : 0;
    ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    for (auto& child : children_) {
        child->left_ += dx;
        child->top_ += dy;
    }
}

bool TForm::RealizeControlPalettes(bool background) {
    bool changed = false;
    std::vector<TControl*> stack{this};
    while (!stack.empty()) {
        TControl* control = stack.back();
        stack.pop_back();
        for (auto& child : control->Controls())
            stack.push_back(child.get());
        HPALETTE palette = control->GetPalette();
        if (!palette || !control->Handle())
            continue;
        WindowDC dc(control->Handle());
        PaletteGuard selected(dc.Get(), palette, background, TRUE);
        if (RealizePalette(dc.Get()) > 0) {
            control->Invalidate();
            changed = true;
        }
    }
    return changed;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        if (this == Application().MainForm())
            Application().Terminate();
        break;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(handle_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, BackgroundBrush());
        return 1;
    }
    case WM_QUERYNEWPALETTE:
        return RealizeControlPalettes(false);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != handle_)
            RealizeControlPalettes(true);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && activeControl_ && activeControl_->CanFocus()) {
            activeControl_->SetFocus();
            return 0;
        }
        break;
    case WM_HSCROLL:
        ScrollBy(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        ScrollBy(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_SIZE:
        UpdateScrollRange();
        break;
    case WM_LBUTTONUP:
        Click();
        return 0;
    default:
        break;
    }
    return TControl::WndProc(msg, wParam, lParam);
}

} // namespace toolkit
