#include "toolkit/Font.h"

namespace toolkit {

void TFont::Assign(const TFont& other) {
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    bold_ = other.bold_;
    italic_ = other.italic_;
    underline_ = other.underline_;
    strikeOut_ = other.strikeOut_;
    Changed();
}

void TFont::SetName(const std::string& name) {
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    height_ = height;
    Changed();
}

void TFont::SetColor(TColor color) {
    color_ = color;
    if (OnChange)
        OnChange();
}

void TFont::SetBold(bool bold) {
    bold_ = bold;
    Changed();
}

void TFont::SetItalic(bool italic) {
    italic_ = italic;
    Changed();
}

void TFont::SetUnderline(bool underline) {
    underline_ = underline;
    Changed();
}

void TFont::SetStrikeOut(bool strikeOut) {
    strikeOut_ = strikeOut;
    Changed();
}

void TFont::Changed() {
    handle_.Reset();
    if (OnChange)
        OnChange();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = italic_;
        lf.lfUnderline = underline_;
        lf.lfStrikeOut = strikeOut_;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.Reset(CreateFontIndirectA(&lf));
    }
    return handle_.Get();
}

} // namespace toolkit
