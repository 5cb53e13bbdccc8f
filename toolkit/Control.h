// The base of every window of the toolkit: one C++ object per HWND, bound at
// creation. Our own window classes get the object at WM_NCCREATE; system
// controls (button, edit, list, combo) are subclassed right after creation.
#pragma once

#include "toolkit/Color.h"
#include "toolkit/Font.h"
#include "toolkit/Layout.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace toolkit {

class TControl;
class TForm;

enum ShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

// Characters of key presses (WM_CHAR) that have no letter of their own.
constexpr char kEnterChar = '\r';
constexpr char kEscapeChar = 27;
constexpr char kCtrlC = 3;
constexpr char kCtrlV = 22;
constexpr char kCtrlX = 24;
unsigned CurrentShiftState();

using TNotifyEvent = std::function<void(TControl* sender)>;
using TKeyEvent = std::function<void(TControl* sender, WORD& key, unsigned shift)>;
using TKeyPressEvent = std::function<void(TControl* sender, char& key)>;

class TControl {
public:
    explicit TControl(TControl* parent);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    // Makes the window from the state set so far; call once after construction.
    void CreateHandle();
    HWND Handle() const { return handle_; }
    static TControl* FromHandle(HWND window);

    std::string Name;
    int Tag = 0;
    int HelpContext = 0;

    TControl* Parent() const { return parent_; }
    TForm* ParentForm();
    const std::vector<std::unique_ptr<TControl>>& Controls() const { return children_; }
    TControl* FindChild(const std::string& name);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    // Visible and enabled, with every parent.
    bool CanFocus() const;

    std::string Caption() const;
    virtual void SetCaption(const std::string& text);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFont& Font() { return font_; }
    void SetParentFont(bool parentFont);

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

    bool Focused() const { return handle_ && GetFocus() == handle_; }
    void SetFocus();
    void Invalidate();
    void Update();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnChange;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // One property read from a layout; false when the name is unknown.
    virtual bool SetProperty(const std::string& name, const LayoutValue& value);

    // The palette this control wants realised by its form; 0 for none.
    virtual HPALETTE GetPalette() const { return nullptr; }

    // The access letter of the caption ("&STRETCH" → 'S'), 0 without one.
    char AccessKey() const;
    virtual void Click();

protected:
    struct CreateParams {
        const char* className = nullptr; // nullptr: the toolkit's own class
        DWORD style = 0;
        DWORD exStyle = 0;
    };
    virtual CreateParams GetCreateParams() const;
    // Applies state that needs the window (item heights, fonts, ...).
    virtual void AfterCreate() {}
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Notifications reflected from the parent.
    virtual void CommandNotify(WORD /*code*/) {}
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual HBRUSH CtlColor(HDC dc);

    // Key events with the form's preview first; true when the key was consumed.
    virtual bool DoKeyDown(WORD& key, unsigned shift);
    virtual bool DoKeyPress(char& key);
    // Keys a control keeps for itself instead of letting the form navigate.
    virtual bool WantsKey(WORD /*key*/) const { return false; }

    virtual void FontChanged();
    virtual void ColorChanged() { Invalidate(); }
    HBRUSH BackgroundBrush();
    bool IsSystemControl() const { return originalProc_ != nullptr; }

public:
    void AddChild(std::unique_ptr<TControl> child);

protected:
    HWND handle_ = nullptr;
    TControl* parent_;
    std::vector<std::unique_ptr<TControl>> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool parentFont_ = true;
    bool parentColor_ = false;
    bool tabStop_ = false;
    int tabOrder_ = -1;
    TColor color_ = clBtnFace;
    TFont font_;
    std::string caption_;
    BrushHandle brush_;
    TColor brushColor_ = -1;

public:
    static LRESULT CALLBACK StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    friend class TForm;
    static LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC originalProc_ = nullptr;
};

// Creates a control owned by its parent, with its window.
template <typename T> T* MakeControl(TControl* parent, const std::string& name = {}) {
    auto control = std::make_unique<T>(parent);
    T* raw = control.get();
    raw->Name = name;
    if (parent)
        parent->AddChild(std::move(control));
    else
        control.release();
    raw->CreateHandle();
    return raw;
}

// Registers the toolkit's window class once.
const char* ToolkitWindowClass();

} // namespace toolkit
