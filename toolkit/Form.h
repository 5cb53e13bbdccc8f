// A top-level window built from a layout, with tab order, access keys,
// key preview and scroll bars when its controls reach past the client area.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Errors.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace toolkit {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TBorderStyle { bsSingle, bsSizeable, bsNone, bsDialog };

using TCloseEvent = std::function<void(TControl* sender, TCloseAction& action)>;
using ControlFactory = std::function<std::unique_ptr<TControl>(TControl* parent)>;

class TForm : public TControl {
public:
    TForm();
    ~TForm() override;

    // Builds the window and its controls from a layout text, in the order written.
    void LoadLayout(const std::string& text);

    // Control classes a layout may name ("TPanel", "TButton", ...).
    static void RegisterControlClass(const std::string& className, ControlFactory factory);

    template <typename T> T* Find(const std::string& name) {
        T* control = dynamic_cast<T*>(FindChild(name));
        if (!control)
            throw Exception("Komponente " + name + " nicht gefunden");
        return control;
    }

    bool KeyPreview = false;
    bool AutoScroll = false;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TCloseEvent OnClose;

    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);
    void SetBorderStyle(TBorderStyle style) { borderStyle_ = style; }

    void Show();
    // Shown maximised, over the whole screen for a borderless window.
    void ShowMaximized();
    void Hide() { SetVisible(false); }
    void SetVisible(bool visible) override;
    // Enabled again, an active window that lost the activation or the focus
    // meanwhile (a box over it) takes both back.
    void SetEnabled(bool enabled) override;
    void Close();
    // Owned by another form: no taskbar or Alt+Tab entry of its own.
    void SetOwner(const TForm& owner);

    TControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TControl* control);
    // The form itself takes the focus while it is active but disabled (a box
    // handed the activation back): its active control stays.
    void ControlFocused(TControl* control) {
        if (control != this)
            activeControl_ = control;
    }

    // Tab and Shift+Tab: the next control in tab order that can take the focus.
    void SelectNext(TControl* from, bool forward);
    // Alt+letter: clicks the button whose caption has that access letter.
    bool DialogChar(char letter);
    // Scroll range after a control moved or grew.
    void UpdateScrollRange();
    POINT ScrollPosition() const { return scroll_; }

    bool SetProperty(const std::string& name, const LayoutValue& value) override;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateChildren(TControl* parent, const LayoutObject& object);
    // Realises the palettes of the controls; true when a colour changed.
    bool RealizeControlPalettes(bool background);
    void ScrollBy(int bar, int code);

    TBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool maximizeBox_ = true;
    std::string iconName_;
    TControl* activeControl_ = nullptr;
    POINT scroll_{0, 0};
    POINT range_{0, 0};
    bool inScrollUpdate_ = false;
    bool activeWhenDisabled_ = false;
};

// Every tab stop of a window in tab order, children of containers included.
std::vector<TControl*> TabOrderList(TControl* root);

} // namespace toolkit
