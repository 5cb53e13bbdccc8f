#include "toolkit/Control.h"
#include "toolkit/WindowClass.h"

#include "toolkit/Application.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"

#include <algorithm>
#include <unordered_map>
#include <cctype>

namespace toolkit {

namespace {
// Window to object, for the one window thread. (A window property would cost
// a server round trip per message under Wine.)
std::unordered_map<HWND, TControl*>& Bindings() {
    static std::unordered_map<HWND, TControl*> bindings;
    return bindings;
}
int nextControlId = 100;
} // namespace

unsigned CurrentShiftState() {
    unsigned shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    return shift;
}

const char* ToolkitWindowClass() {
    static const char* name = [] {
        // Redrawn whole on a new size: the bevels follow it.
        RegisterWindowClass(
            {"Glimmora.Window", TControl::StaticProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW});
        return "Glimmora.Window";
    }();
    return name;
}

TControl::TControl(TControl* parent) : parent_(parent) {
    font_.OnChange = [this] { FontChanged(); };
    if (parent_) {
        font_.Assign(parent_->font_);
        color_ = parent_->color_;
    }
}

TControl::~TControl() {
    children_.clear();
    if (handle_) {
        HWND window = handle_;
        Bindings().erase(window);
        if (originalProc_)
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        handle_ = nullptr;
        DestroyWindow(window);
    }
}

TControl* TControl::FromHandle(HWND window) {
    if (!window)
        return nullptr;
    auto it = Bindings().find(window);
    return it == Bindings().end() ? nullptr : it->second;
}

TControl::CreateParams TControl::GetCreateParams() const {
    return {};
}

void TControl::CreateHandle() {
    if (handle_)
        return;
    CreateParams params = GetCreateParams();
    DWORD style = params.style | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    HWND parentWindow = nullptr;
    HMENU id = nullptr;
    int x = left_, y = top_;
    if (parent_) {
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        parentWindow = parent_->handle_;
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId++));
    } else if (!(style & WS_POPUP)) {
        x = y = CW_USEDEFAULT;
    }
    // The toolkit's own class binds the object at WM_NCCREATE; a system
    // control is bound and subclassed once it exists.
    const bool systemControl = params.className != nullptr;
    HWND window =
        CreateWindowExA(params.exStyle, systemControl ? params.className : ToolkitWindowClass(),
                        caption_.c_str(), style, x, y, width_, height_, parentWindow, id,
                        GetModuleHandleA(nullptr), systemControl ? nullptr : this);
    if (window && systemControl) {
        handle_ = window;
        Bindings()[window] = this;
        originalProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    }
    if (!window)
        RaiseOutOfResources();
    if (!parent_) {
        RECT r;
        GetWindowRect(window, &r);
        left_ = r.left;
        top_ = r.top;
    }
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    AfterCreate();
}

LRESULT CALLBACK TControl::StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* bound = static_cast<TControl*>(create->lpCreateParams);
        bound->handle_ = window;
        Bindings()[window] = bound;
    }
    return SubclassProc(window, msg, wParam, lParam);
}

LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TControl* control = FromHandle(window);
    if (!control)
        return DefWindowProcA(window, msg, wParam, lParam);
    return control->Dispatch(msg, wParam, lParam);
}

LRESULT TControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        HWND window = handle_;
        WNDPROC original = originalProc_;
        Bindings().erase(window);
        handle_ = nullptr;
        return original ? CallWindowProcA(original, window, msg, wParam, lParam)
                        : DefWindowProcA(window, msg, wParam, lParam);
    }
    try {
        return WndProc(msg, wParam, lParam);
    } catch (...) {
        Application().HandleException();
        return 0;
    }
}

LRESULT TControl::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (originalProc_)
        return CallWindowProcA(originalProc_, handle_, msg, wParam, lParam);
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

LRESULT TControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->CommandNotify(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (TControl* child = FromHandle(item->hwndItem))
            if (child->DrawItem(*item))
                return TRUE;
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wParam)));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        unsigned shift = CurrentShiftState();
        if (DoKeyDown(key, shift))
            return 0;
        if (key == VK_TAB && !(shift & (ssAlt | ssCtrl)) && !WantsKey(VK_TAB)) {
            if (TForm* form = ParentForm())
                form->SelectNext(this, !(shift & ssShift));
            return 0;
        }
        if (key == VK_F1 && msg == WM_KEYDOWN) {
            Application().HelpForFocus();
            return 0;
        }
        wParam = key;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        unsigned shift = CurrentShiftState();
        TForm* form = ParentForm();
        if (form && form != this && form->KeyPreview && form->OnKeyUp)
            form->OnKeyUp(form, key, shift);
        if (key && OnKeyUp)
            OnKeyUp(this, key, shift);
        if (!key)
            return 0;
        break;
    }
    case WM_CHAR: {
        char key = static_cast<char>(wParam);
        if (key == '\t' && !WantsKey(VK_TAB))
            return 0;
        if (DoKeyPress(key))
            return 0;
        wParam = static_cast<unsigned char>(key);
        break;
    }
    case WM_SYSCHAR:
        if (TForm* form = ParentForm())
            if (form->DialogChar(static_cast<char>(wParam)))
                return 0;
        break;
    case WM_SETFOCUS:
        if (TForm* form = ParentForm())
            form->ControlFocused(this);
        break;
    case WM_SETCURSOR:
        if (Application().ApplyScreenCursor())
            return TRUE;
        break;
    case WM_HELP:
        return TRUE;
    default:
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}

bool TControl::DoKeyDown(WORD& key, unsigned shift) {
    TForm* form = ParentForm();
    if (form && form != this && form->KeyPreview && form->OnKeyDown) {
        form->OnKeyDown(form, key, shift);
        if (!key)
            return true;
    }
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    return key == 0;
}

bool TControl::DoKeyPress(char& key) {
    TForm* form = ParentForm();
    if (form && form != this && form->KeyPreview && form->OnKeyPress) {
        form->OnKeyPress(form, key);
        if (!key)
            return true;
    }
    if (OnKeyPress)
        OnKeyPress(this, key);
    return key == 0;
}

HBRUSH TControl::BackgroundBrush() {
    if (!brush_ || brushColor_ != color_) {
        brush_.Reset(CreateSolidBrush(ColorToRGB(color_)));
        brushColor_ = color_;
    }
    return brush_.Get();
}

HBRUSH TControl::CtlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(font_.Color()));
    SetBkColor(dc, ColorToRGB(color_));
    return BackgroundBrush();
}

TForm* TControl::ParentForm() {
    TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TForm*>(c);
}

TControl* TControl::FindChild(const std::string& name) {
    for (auto& child : children_) {
        if (child->Name == name)
            return child.get();
        if (TControl* found = child->FindChild(name))
            return found;
    }
    return nullptr;
}

void TControl::AddChild(std::unique_ptr<TControl> child) {
    child->tabOrder_ = static_cast<int>(children_.size());
    children_.push_back(std::move(child));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_)
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    if (handle_)
        ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (handle_)
        EnableWindow(handle_, enabled);
}

bool TControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_ || !c->enabled_)
            return false;
    return true;
}

std::string TControl::Caption() const {
    if (!handle_)
        return caption_;
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void TControl::SetCaption(const std::string& text) {
    caption_ = text;
    if (handle_) {
        SetWindowTextA(handle_, text.c_str());
        Invalidate();
    }
}

void TControl::SetColor(TColor color) {
    color_ = color;
    parentColor_ = false;
    for (auto& child : children_)
        if (child->parentColor_) {
            child->color_ = color;
            child->ColorChanged();
        }
    ColorChanged();
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    if (parentFont && parent_)
        font_.Assign(parent_->font_);
}

void TControl::FontChanged() {
    if (handle_) {
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
        Invalidate();
    }
    for (auto& child : children_)
        if (child->parentFont_) {
            child->font_.Assign(font_);
            child->parentFont_ = true;
        }
}

void TControl::SetTabOrder(int order) {
    tabOrder_ = order;
}

void TControl::SetFocus() {
    if (handle_)
        ::SetFocus(handle_);
}

void TControl::Invalidate() {
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

void TControl::Update() {
    if (handle_)
        UpdateWindow(handle_);
}

char TControl::AccessKey() const {
    for (size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] == '&') {
            if (caption_[i + 1] == '&') {
                ++i;
                continue;
            }
            return static_cast<char>(std::toupper(static_cast<unsigned char>(caption_[i + 1])));
        }
    }
    return 0;
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

bool TControl::SetProperty(const std::string& name, const LayoutValue& value) {
    using K = LayoutValue::Kind;
    if (name == "Left")
        left_ = static_cast<int>(value.integer);
    else if (name == "Top")
        top_ = static_cast<int>(value.integer);
    else if (name == "Width")
        width_ = static_cast<int>(value.integer);
    else if (name == "Height")
        height_ = static_cast<int>(value.integer);
    else if (name == "Caption" || name == "Text")
        SetCaption(value.text);
    else if (name == "Visible")
        SetVisible(value.AsBool());
    else if (name == "Enabled")
        SetEnabled(value.AsBool());
    else if (name == "Tag")
        Tag = static_cast<int>(value.integer);
    else if (name == "HelpContext")
        HelpContext = static_cast<int>(value.integer);
    else if (name == "TabOrder")
        SetTabOrder(static_cast<int>(value.integer));
    else if (name == "TabStop")
        SetTabStop(value.AsBool());
    else if (name == "Color") {
        TColor color;
        if (value.kind == K::Integer)
            color = static_cast<TColor>(value.integer);
        else if (!ColorFromName(value.text, color))
            return false;
        SetColor(color);
    } else if (name == "ParentColor") {
        parentColor_ = value.AsBool();
        if (parentColor_ && parent_)
            color_ = parent_->color_;
    } else if (name == "ParentFont")
        SetParentFont(value.AsBool());
    else if (name == "Font.Name") {
        parentFont_ = false;
        font_.SetName(value.text);
    } else if (name == "Font.Height") {
        parentFont_ = false;
        font_.SetHeight(static_cast<int>(value.integer));
    } else if (name == "Font.Color") {
        TColor color;
        if (value.kind == K::Integer)
            color = static_cast<TColor>(value.integer);
        else if (!ColorFromName(value.text, color))
            return false;
        parentFont_ = false;
        font_.SetColor(color);
    } else if (name == "Font.Style") {
        parentFont_ = false;
        font_.SetBold(std::find(value.set.begin(), value.set.end(), "fsBold") != value.set.end());
    } else
        return false;
    return true;
}

} // namespace toolkit
