#include "image/TMultiP.h"

#include "image/LibraryBinding.h"
#include "toolkit/Form.h"

#include <algorithm>

namespace image {

namespace {

template <typename Enum, size_t N>
bool EnumFromName(const std::string& name, const char* const (&names)[N], Enum& value) {
    for (size_t i = 0; i < N; ++i) {
        if (name == names[i]) {
            value = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}

const char* const kLoadResolutionNames[] = {"lColorVga", "lMonoChrome", "lColor16",
                                            "lColor256", "lColorTrue",  "lAutoMatic"};
const char* const kSaveResolutionNames[] = {"sColorVga",  "sMonoChrome", "sColor16",  "sColor256",
                                            "sColorTrue", "sJpegGray",   "sAutoMatic"};
const char* const kCompressionNames[] = {"sNONE", "sCCITT", "sLZW", "sPACKBITS"};
const char* const kBorderNames[] = {"bsNone", "bsSingle"};

} // namespace

TPMultiImage::TPMultiImage(toolkit::TControl* parent) : TControl(parent) {
    picture_.OnChange = [this] { HandlePictureChange(); };
    picture_.SetGraphic(nullptr);
    height_ = 105;
    width_ = 105;
    color_ = toolkit::clBtnFace;
    parentColor_ = false;
}

TPMultiImage::~TPMultiImage() {
    picture_.OnChange = nullptr;
}

toolkit::TControl::CreateParams TPMultiImage::GetCreateParams() const {
    CreateParams params;
    if (borderStyle_ == TImageBorderStyle::bsSingle)
        params.style |= WS_BORDER;
    return params;
}

void TPMultiImage::Repaint() {
    ++repaintCount_;
    if (handle_)
        InvalidateRect(handle_, nullptr, !opaque_);
}

void TPMultiImage::HandlePictureChange() {
    if (autoSize_ && picture_.Width() > 0 && picture_.Height() > 0)
        SetBounds(left_, top_, picture_.Width(), picture_.Height());
    const toolkit::TBitmap* bitmap = picture_.Bitmap();
    opaque_ = bitmap && bitmap->Width() == width_ && bitmap->Height() == height_;
    Repaint();
}

HPALETTE TPMultiImage::ControlPalette() const {
    if (SharedPalette)
        return SharedPalette;
    if (imageLibPalette_)
        return nullptr;
    const toolkit::TBitmap* bitmap = picture_.Bitmap();
    return bitmap ? bitmap->Palette() : nullptr;
}

void TPMultiImage::SetAutoSize(bool value) {
    autoSize_ = value;
    HandlePictureChange();
}

void TPMultiImage::SetCenter(bool value) {
    if (center_ == value)
        return;
    center_ = value;
    Repaint();
}

void TPMultiImage::SetBorderStyle(TImageBorderStyle value) {
    if (borderStyle_ == value)
        return;
    borderStyle_ = value;
    if (handle_) {
        // The window takes the new border at once.
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
        style = value == TImageBorderStyle::bsSingle ? (style | WS_BORDER) : (style & ~WS_BORDER);
        SetWindowLongPtrA(handle_, GWL_STYLE, style);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

std::string TPMultiImage::ImageName() {
    return LoadImage();
}

void TPMultiImage::SetImageName(const std::string& path) {
    imageName_ = path;
    LoadImage();
}

void TPMultiImage::SetJPegSaveQuality(int value) {
    jpegSaveQuality_ = value >= 1 && value <= 100 ? value : 25;
}

void TPMultiImage::SetJPegSaveSmooth(int value) {
    jpegSaveSmooth_ = value >= 0 && value <= 100 ? value : 5;
}

void TPMultiImage::SetStretch(bool value) {
    if (stretch_ == value)
        return;
    stretch_ = value;
    Repaint();
    if (value)
        SetStretchRatio(false);
}

void TPMultiImage::SetStretchRatio(bool value) {
    if (stretchRatio_ == value)
        return;
    stretchRatio_ = value;
    Repaint();
    if (value)
        SetStretch(false);
}

void TPMultiImage::SetText(const std::string& value) {
    if (text_ == value)
        return;
    text_ = value;
    Repaint();
}

void TPMultiImage::SetTextShadow(bool value) {
    if (textShadow_ == value)
        return;
    textShadow_ = value;
    Repaint();
}

void TPMultiImage::SetTextLeft(int value) {
    if (textLeft_ == value)
        return;
    textLeft_ = value;
    Repaint();
}

void TPMultiImage::SetTextTop(int value) {
    if (textTop_ == value)
        return;
    textTop_ = value;
    Repaint();
}

void TPMultiImage::SetTextRotate(int value) {
    if (textRotate_ == value)
        return;
    textRotate_ = value;
    Repaint();
}

void TPMultiImage::SetTextTransParent(bool value) {
    if (textTransparent_ == value)
        return;
    textTransparent_ = value;
    Repaint();
}

bool TPMultiImage::SetProperty(const std::string& name, const toolkit::LayoutValue& value) {
    const int number = static_cast<int>(value.integer);
    if (name == "AutoSize")
        SetAutoSize(value.AsBool());
    else if (name == "Center")
        SetCenter(value.AsBool());
    else if (name == "BorderStyle") {
        TImageBorderStyle style;
        if (!EnumFromName(value.text, kBorderNames, style))
            return false;
        SetBorderStyle(style);
    } else if (name == "DefSaveFilename")
        SetDefSaveFilename(value.text);
    else if (name == "ImageName")
        SetImageName(value.text);
    else if (name == "ImageLibPalette")
        SetImageLibPalette(value.AsBool());
    else if (name == "ImageDither")
        SetImageDither(value.AsBool());
    else if (name == "ImageReadRes")
        return EnumFromName(value.text, kLoadResolutionNames, imageReadRes_);
    else if (name == "ImageWriteRes")
        return EnumFromName(value.text, kSaveResolutionNames, imageWriteRes_);
    else if (name == "TifSaveCompress")
        return EnumFromName(value.text, kCompressionNames, tifSaveCompress_);
    else if (name == "JPegSaveQuality")
        SetJPegSaveQuality(number & 0xFF);
    else if (name == "JPegSaveSmooth")
        SetJPegSaveSmooth(number & 0xFF);
    else if (name == "PNGInterLaced")
        SetPNGInterLaced(value.AsBool());
    else if (name == "Stretch")
        SetStretch(value.AsBool());
    else if (name == "StretchRatio")
        SetStretchRatio(value.AsBool());
    else if (name == "Text")
        SetText(value.text);
    else if (name == "TextShadow")
        SetTextShadow(value.AsBool());
    else if (name == "TextLeft")
        SetTextLeft(number);
    else if (name == "TextTop")
        SetTextTop(number);
    else if (name == "TextRotate")
        SetTextRotate(number);
    else if (name == "TextTransParent")
        SetTextTransParent(value.AsBool());
    else if (name == "UseTwainWindow")
        SetUseTwainWindow(value.AsBool());
    else
        return TControl::SetProperty(name, value);
    return true;
}

LRESULT TPMultiImage::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        toolkit::PaintScope paint(handle_);
        Paint(paint.Get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(handle_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, BackgroundBrush());
        return 1;
    }
    case WM_CUT:
        CutToClipboard();
        return 0;
    case WM_COPY:
        CopyToClipboard();
        return 0;
    case WM_PASTE:
        PasteFromClipboard();
        return 0;
    case WM_USER + 1:
        ScrollStep();
        return 0;
    case WM_USER + 2:
        CreditStep();
        return 0;
    case WM_LBUTTONUP:
        Click();
        return 0;
    case WM_NCHITTEST:
        // Disabled, the control lets clicks through to its window.
        if (!enabled_)
            return HTTRANSPARENT;
        break;
    default:
        break;
    }
    return TControl::WndProc(msg, wParam, lParam);
}

void TPMultiImage::Register() {
    toolkit::TForm::RegisterControlClass(
        "TPMultiImage", [](toolkit::TControl* p) { return std::make_unique<TPMultiImage>(p); });
}

} // namespace image
