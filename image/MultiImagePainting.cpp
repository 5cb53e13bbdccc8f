// TPMultiImage: the two drawing paths and the text overlay.
#include "image/TMultiP.h"
#include "toolkit/Errors.h"

#include <cfenv>
#include <cmath>

namespace image {

bool RoundHalfEven(long double value, long& result) {
    if (!std::isfinite(value) || value > 2147483647.0L || value < -2147483648.0L)
        return false;
    long double rounded = std::nearbyintl(value); // default mode: to nearest, ties to even
    result = static_cast<long>(rounded);
    return true;
}

RECT AspectRectangle(const RECT& client, int w, int h) {
    const long double cl = client.left, ct = client.top, cr = client.right, cb = client.bottom;
    RECT r = client;
    long a = 0, b = 0;
    if (h >= w) {
        // Full height, centred horizontally.
        long double s = (cb - ct) / static_cast<long double>(h);
        long double g = (cr - cl) - w * s;
        if (h != 0 && RoundHalfEven(cl + g * 0.5L, a) && RoundHalfEven(cr - g, b)) {
            r.left = a;
            r.right = b;
        } else {
            r.left = client.left;
            r.right = client.right;
        }
        r.top = client.top;
        r.bottom = client.bottom;
    } else {
        // Full width, centred vertically.
        long double s = (cr - cl) / static_cast<long double>(w);
        long double g = (cb - ct) - h * s;
        if (w != 0 && RoundHalfEven(ct + g * 0.5L, a) && RoundHalfEven(cb - g, b)) {
            r.top = a;
            r.bottom = b;
        } else {
            r.top = client.top;
            r.bottom = client.bottom;
        }
        r.left = client.left;
        r.right = client.right;
    }
    return r;
}

RECT TPMultiImage::ClientRect() const {
    RECT r{0, 0, width_, height_};
    if (handle_)
        GetClientRect(handle_, &r);
    return r;
}

void TPMultiImage::Paint(HDC dc) {
    toolkit::TCanvas canvas{dc, SRCCOPY, canvasBrush_};
    if (InfoType == "ICO" || InfoType == "WMF" || !imageLibPalette_)
        PaintStandard(canvas);
    else
        PaintLibraryDrawn(canvas);
    canvasBrush_ = canvas.brushColor;
}

void TPMultiImage::PaintStandard(toolkit::TCanvas& canvas) {
    toolkit::TGraphic* graphic = picture_.Graphic();
    if (graphic) {
        int w = graphic->Width(), h = graphic->Height();
        RECT rect{0, 0, w, h};
        if (stretch_)
            rect = ClientRect();
        else if (center_) {
            int x = (width_ - w) / 2, y = (height_ - h) / 2; // truncating toward zero
            rect = {x, y, x + w, y + h};
        }
        graphic->Draw(canvas, rect);
    }
    FinishPaint(canvas);
}

void TPMultiImage::PaintLibraryDrawn(toolkit::TCanvas& canvas) {
    canvas.brushColor = color_;
    const toolkit::TGraphic* graphic = picture_.Graphic();
    const toolkit::TBitmap* bitmap = picture_.Bitmap();
    if (graphic && bitmap) {
        RECT client = ClientRect();
        int w = bitmap->Width(), h = bitmap->Height();
        if (stretchRatio_)
            BlitBitmap(canvas, *bitmap, AspectRectangle(client, w, h), true);
        if (stretch_)
            BlitBitmap(canvas, *bitmap, client, true);
        if (!stretchRatio_ && !stretch_) {
            RECT rect{0, 0, w, h};
            if (center_) {
                int x = (client.right - w) / 2, y = (client.bottom - h) / 2;
                rect = {x, y, x + w, y + h};
            }
            BlitBitmap(canvas, *bitmap, rect, false);
        }
    }
    FinishPaint(canvas);
}

void TPMultiImage::BlitBitmap(toolkit::TCanvas& canvas, const toolkit::TBitmap& bitmap,
                              const RECT& rect, bool stretch) {
    toolkit::MemoryDC memory(canvas.dc);
    if (!memory.Get())
        throw toolkit::EOutOfResources("Systemressourcen erschöpft.");
    toolkit::SelectGuard select(memory.Get(), bitmap.Handle());
    HPALETTE palette = bitmap.Palette();
    HPALETTE previous = nullptr;
    if (palette) {
        previous = SelectPalette(canvas.dc, palette, FALSE);
        SelectPalette(memory.Get(), palette, FALSE);
        RealizePalette(canvas.dc);
    }
    int w = bitmap.Width(), h = bitmap.Height();
    if (stretch) {
        if (imageReadRes_ != TLoadResolution::lMonoChrome)
            SetStretchBltMode(canvas.dc, COLORONCOLOR);
        // In the stretching modes right and bottom are the width and height.
        StretchBlt(canvas.dc, rect.left, rect.top, rect.right, rect.bottom, memory.Get(), 0, 0, w,
                   h, canvas.copyMode);
    } else {
        BitBlt(canvas.dc, rect.left, rect.top, w, h, memory.Get(), 0, 0, canvas.copyMode);
    }
    if (previous)
        SelectPalette(canvas.dc, previous, FALSE);
}

void TPMultiImage::FinishPaint(toolkit::TCanvas& canvas) {
    if (!text_.empty())
        DrawTextOverlay(canvas, textLeft_, textTop_, textRotate_, textShadow_, textTransparent_,
                        textShadowColor_, text_);
    if (OnPaint)
        OnPaint(this);
}

void TPMultiImage::DrawTextOverlay(toolkit::TCanvas& canvas, int x, int y, int rotation,
                                   bool shadow, bool transparent, toolkit::TColor shadowColor,
                                   const std::string& text) {
    LOGFONTA lf{};
    lf.lfHeight = font_.Height();
    lf.lfWidth = 0;
    lf.lfEscapement = lf.lfOrientation = rotation * 10;
    lf.lfWeight = font_.Bold() ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, font_.Name().c_str(), LF_FACESIZE);
    toolkit::FontHandle font(CreateFontIndirectA(&lf));
    toolkit::SelectGuard select(canvas.dc, font.Get());
    SetBkMode(canvas.dc, transparent ? TRANSPARENT : OPAQUE);
    SetBkColor(canvas.dc, toolkit::ColorToRGB(canvas.brushColor));
    SetTextAlign(canvas.dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    if (shadow) {
        SetTextColor(canvas.dc, toolkit::ColorToRGB(shadowColor));
        TextOutA(canvas.dc, x + 2, y + 2, text.c_str(), static_cast<int>(text.size()));
    }
    SetTextColor(canvas.dc, toolkit::ColorToRGB(font_.Color()));
    TextOutA(canvas.dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

} // namespace image
