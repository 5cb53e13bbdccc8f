#include "toolkit/StdCtrls.h"

#include "toolkit/Form.h"
#include "toolkit/Gdi.h"

namespace toolkit {

namespace {

bool BevelFromName(const std::string& name, TBevelCut& bevel) {
    if (name == "bvNone")
        bevel = TBevelCut::bvNone;
    else if (name == "bvLowered")
        bevel = TBevelCut::bvLowered;
    else if (name == "bvRaised")
        bevel = TBevelCut::bvRaised;
    else
        return false;
    return true;
}

UINT AlignmentFormat(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taCenter:
        return DT_CENTER;
    case TAlignment::taRightJustify:
        return DT_RIGHT;
    case TAlignment::taLeftJustify:
        break;
    }
    return DT_LEFT;
}

void DrawBevel(HDC dc, RECT& r, TBevelCut bevel, int width) {
    if (bevel == TBevelCut::bvNone)
        return;
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
    if (bevel == TBevelCut::bvRaised)
        Frame3D(dc, r, light, dark, width);
    else
        Frame3D(dc, r, dark, light, width);
}

// WM_PAINT and WM_PRINTCLIENT share one painting routine.
template <typename Control>
bool HandlePaint(Control& control, HWND window, UINT msg, WPARAM wParam) {
    if (msg == WM_PAINT) {
        PaintScope paint(window);
        RECT client;
        GetClientRect(window, &client);
        control.PaintContent(paint.Get(), client);
        return true;
    }
    if (msg == WM_PRINTCLIENT) {
        RECT client;
        GetClientRect(window, &client);
        control.PaintContent(reinterpret_cast<HDC>(wParam), client);
        return true;
    }
    return false;
}

} // namespace

bool AlignmentFromName(const std::string& name, TAlignment& alignment) {
    if (name == "taCenter")
        alignment = TAlignment::taCenter;
    else if (name == "taLeftJustify")
        alignment = TAlignment::taLeftJustify;
    else if (name == "taRightJustify")
        alignment = TAlignment::taRightJustify;
    else
        return false;
    return true;
}

void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        --r.right;
        --r.bottom;
        BrushHandle tl(CreateSolidBrush(topLeft));
        BrushHandle br(CreateSolidBrush(bottomRight));
        RECT top{r.left, r.top, r.right, r.top + 1};
        RECT left{r.left, r.top, r.left + 1, r.bottom};
        RECT right{r.right, r.top, r.right + 1, r.bottom + 1};
        RECT bottom{r.left, r.bottom, r.right + 1, r.bottom + 1};
        FillRect(dc, &top, tl.Get());
        FillRect(dc, &left, tl.Get());
        FillRect(dc, &right, br.Get());
        FillRect(dc, &bottom, br.Get());
        ++r.left;
        ++r.top;
    }
}

// --- TPanel

TPanel::TPanel(TControl* parent) : TControl(parent) {
    color_ = clBtnFace;
}

void TPanel::PaintContent(HDC dc, const RECT& client) {
    RECT r = client;
    DrawBevel(dc, r, BevelOuter, BevelWidth);
    HBRUSH brush = BackgroundBrush();
    if (BorderWidth > 0) {
        Frame3D(dc, r, ColorToRGB(color_), ColorToRGB(color_), BorderWidth);
    }
    DrawBevel(dc, r, BevelInner, BevelWidth);
    FillRect(dc, &r, brush);
    if (!caption_.empty()) {
        SelectGuard font(dc, font_.Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(font_.Color()));
        DrawTextA(dc, caption_.c_str(), -1, &r,
                  DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | AlignmentFormat(Alignment));
    }
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (HandlePaint(*this, handle_, msg, wParam))
        return 0;
    if (msg == WM_ERASEBKGND)
        return 1;
    return TControl::WndProc(msg, wParam, lParam);
}

bool TPanel::SetProperty(const std::string& name, const LayoutValue& value) {
    if (name == "BevelOuter")
        return BevelFromName(value.text, BevelOuter);
    if (name == "BevelInner")
        return BevelFromName(value.text, BevelInner);
    if (name == "BevelWidth")
        BevelWidth = static_cast<int>(value.integer);
    else if (name == "BorderWidth")
        BorderWidth = static_cast<int>(value.integer);
    else if (name == "Alignment")
        return AlignmentFromName(value.text, Alignment);
    else
        return TControl::SetProperty(name, value);
    return true;
}

// --- TLabel

TLabel::TLabel(TControl* parent) : TControl(parent) {
    parentColor_ = true;
}

void TLabel::PaintContent(HDC dc, const RECT& client) {
    RECT r = client;
    FillRect(dc, &r, BackgroundBrush());
    SelectGuard font(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(enabled_ ? font_.Color() : clGray));
    // Captions are data (folder names): an ampersand is shown, not an access key.
    DrawTextA(dc, caption_.c_str(), -1, &r,
              DT_EXPANDTABS | DT_NOPREFIX | AlignmentFormat(Alignment));
}

LRESULT TLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (HandlePaint(*this, handle_, msg, wParam))
        return 0;
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == WM_NCHITTEST)
        return HTTRANSPARENT;
    return TControl::WndProc(msg, wParam, lParam);
}

bool TLabel::SetProperty(const std::string& name, const LayoutValue& value) {
    if (name == "Alignment")
        return AlignmentFromName(value.text, Alignment);
    if (name == "AutoSize" || name == "Layout")
        return true; // fixed size, text at the top
    return TControl::SetProperty(name, value);
}

// --- TButton

TButton::TButton(TControl* parent) : TControl(parent) {
    tabStop_ = true;
}

TControl::CreateParams TButton::GetCreateParams() const {
    return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
}

void TButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

LRESULT TButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Enter presses the focused button.
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        WORD key = VK_RETURN;
        if (!DoKeyDown(key, CurrentShiftState()))
            Click();
        return 0;
    }
    if (msg == WM_CHAR && wParam == '\r')
        return 0;
    return TControl::WndProc(msg, wParam, lParam);
}

// --- TEdit

TEdit::TEdit(TControl* parent) : TControl(parent) {
    tabStop_ = true;
    color_ = clWindow;
}

TControl::CreateParams TEdit::GetCreateParams() const {
    DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
    if (CharCase == TEditCharCase::ecUpperCase)
        style |= ES_UPPERCASE;
    else if (CharCase == TEditCharCase::ecLowerCase)
        style |= ES_LOWERCASE;
    return {"EDIT", style, WS_EX_CLIENTEDGE};
}

void TEdit::CommandNotify(WORD code) {
    if (code == EN_CHANGE && OnChange)
        OnChange(this);
}

void TEdit::SelectAll() {
    if (handle_)
        SendMessageA(handle_, EM_SETSEL, 0, -1);
}

std::pair<int, int> TEdit::Selection() const {
    DWORD start = 0, end = 0;
    if (handle_)
        SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end - start)};
}

bool TEdit::SetProperty(const std::string& name, const LayoutValue& value) {
    if (name == "CharCase") {
        if (value.text == "ecUpperCase")
            CharCase = TEditCharCase::ecUpperCase;
        else if (value.text == "ecLowerCase")
            CharCase = TEditCharCase::ecLowerCase;
        else
            CharCase = TEditCharCase::ecNormal;
        return true;
    }
    if (name == "AutoSize")
        return true; // fixed height
    return TControl::SetProperty(name, value);
}

// --- registry of layout classes

void RegisterStandardControls() {
    TForm::RegisterControlClass("TPanel", [](TControl* p) { return std::make_unique<TPanel>(p); });
    TForm::RegisterControlClass("TLabel", [](TControl* p) { return std::make_unique<TLabel>(p); });
    TForm::RegisterControlClass("TButton",
                                [](TControl* p) { return std::make_unique<TButton>(p); });
    TForm::RegisterControlClass("TEdit", [](TControl* p) { return std::make_unique<TEdit>(p); });
}

} // namespace toolkit
