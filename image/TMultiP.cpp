#include "image/TMultiP.h"

#include "toolkit/Form.h"

namespace image {

TPMultiImage::TPMultiImage(toolkit::TControl* parent) : TControl(parent) {}

void TPMultiImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}

bool TPMultiImage::SetProperty(const std::string& name, const toolkit::LayoutValue& value) {
    if (name == "Stretch") {
        SetStretch(value.AsBool());
        return true;
    }
    if (name == "ImageName") {
        imageName_ = value.text;
        return true;
    }
    static const char* const stored[] = {
        "ImageLibPalette", "ImageDither",     "ImageReadRes",   "ImageWriteRes",
        "TifSaveCompress", "JPegSaveQuality", "JPegSaveSmooth", "TextLeft",
        "TextTop",         "TextRotate",      "UseTwainWindow",
    };
    for (const char* option : stored)
        if (name == option)
            return true;
    return TControl::SetProperty(name, value);
}

LRESULT TPMultiImage::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(handle_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, BackgroundBrush());
        return 1;
    }
    return TControl::WndProc(msg, wParam, lParam);
}

void TPMultiImage::Register() {
    toolkit::TForm::RegisterControlClass(
        "TPMultiImage", [](toolkit::TControl* p) { return std::make_unique<TPMultiImage>(p); });
}

} // namespace image
