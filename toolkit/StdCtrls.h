// The standard controls: panel, label, button and one-line edit.
#pragma once

#include "toolkit/Control.h"

namespace toolkit {

enum class TBevelCut { bvNone, bvLowered, bvRaised };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

bool AlignmentFromName(const std::string& name, TAlignment& alignment);

// Draws a 3-D frame of the given width inside r and shrinks r by it.
void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width);

class TPanel : public TControl {
public:
    explicit TPanel(TControl* parent);

    TBevelCut BevelOuter = TBevelCut::bvRaised;
    TBevelCut BevelInner = TBevelCut::bvNone;
    int BevelWidth = 1;
    int BorderWidth = 0;
    TAlignment Alignment = TAlignment::taCenter;

    // Panel painting for WM_PAINT and WM_PRINTCLIENT.
    void PaintContent(HDC dc, const RECT& client);
    bool SetProperty(const std::string& name, const LayoutValue& value) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class TLabel : public TControl {
public:
    explicit TLabel(TControl* parent);

    TAlignment Alignment = TAlignment::taLeftJustify;

    void PaintContent(HDC dc, const RECT& client);
    bool SetProperty(const std::string& name, const LayoutValue& value) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class TButton : public TControl {
public:
    explicit TButton(TControl* parent);

protected:
    CreateParams GetCreateParams() const override;
    void CommandNotify(WORD code) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TEdit : public TControl {
public:
    explicit TEdit(TControl* parent);

    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    void SelectAll();
    // Start and length of the highlighted text.
    std::pair<int, int> Selection() const;

    TEditCharCase CharCase = TEditCharCase::ecNormal;
    bool SetProperty(const std::string& name, const LayoutValue& value) override;

protected:
    CreateParams GetCreateParams() const override;
    void CommandNotify(WORD code) override;
};

// Makes "TPanel", "TLabel", "TButton" and "TEdit" known to layouts.
void RegisterStandardControls();

} // namespace toolkit
