// A font described by face, pixel height, colour and style; makes its HFONT on demand.
#pragma once

#include "toolkit/Color.h"
#include "toolkit/Gdi.h"

#include <functional>
#include <string>

namespace toolkit {

class TFont {
public:
    TFont() = default;
    TFont(const TFont& other) { Assign(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }

    void Assign(const TFont& other);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Negative: character height in pixels (without internal leading), as layouts give it.
    int Height() const { return height_; }
    void SetHeight(int height);
    // Points at 96 dots per inch.
    void SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool Bold() const { return bold_; }
    void SetBold(bool bold);
    bool Italic() const { return italic_; }
    void SetItalic(bool italic);
    bool Underline() const { return underline_; }
    void SetUnderline(bool underline);
    bool StrikeOut() const { return strikeOut_; }
    void SetStrikeOut(bool strikeOut);

    HFONT Handle() const;

    std::function<void()> OnChange;

private:
    void Changed();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strikeOut_ = false;
    mutable FontHandle handle_;
};

} // namespace toolkit
