// TPMultiImage: the two drawing paths and the text overlay.
#include "image/TMultiP.h"
#include "toolkit/Errors.h"
#include "toolkit/Gdi.h"

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

namespace {

// The scaled axis of an aspect-keeping stretch: the other side of the client
// (from first to last) is filled by `fitted` pixels of the picture, this one
// (from low to high) holds `other` pixels scaled alike, centred. Falls back to
// the client's extent when the values cannot be computed.
void ScaleAxis(long double first, long double last, long double low, long double high, int fitted,
               int other, LONG& outLow, LONG& outHigh) {
    long double s = (last - first) / static_cast<long double>(fitted);
    long double g = (high - low) - other * s;
    long a = 0, b = 0;
    if (fitted != 0 && RoundHalfEven(low + g * 0.5L, a) && RoundHalfEven(high - g, b)) {
        outLow = a;
        outHigh = b;
    } else {
        outLow = static_cast<LONG>(low);
        outHigh = static_cast<LONG>(high);
    }
}

} // namespace

DrawPlace AspectRectangle(const RECT& client, int w, int h) {
    DrawPlace place{client.left, client.top, client.right, client.bottom};
    if (h >= w) // full height, centred horizontally
        ScaleAxis(client.top, client.bottom, client.left, client.right, h, w, place.left,
                  place.width);
    else // full width, centred vertically
        ScaleAxis(client.left, client.right, client.top, client.bottom, w, h, place.top,
                  place.height);
    return place;
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
            BlitBitmap(canvas, *bitmap, {0, 0, client.right, client.bottom}, true);
        if (!stretchRatio_ && !stretch_) {
            DrawPlace place{0, 0, w, h};
            if (center_)
                place = {(client.right - w) / 2, (client.bottom - h) / 2, w, h};
            BlitBitmap(canvas, *bitmap, place, false);
        }
    }
    FinishPaint(canvas);
}

void TPMultiImage::BlitBitmap(toolkit::TCanvas& canvas, const toolkit::TBitmap& bitmap,
                              const DrawPlace& place, bool stretch) {
    toolkit::MemoryDC memory(canvas.dc);
    if (!memory.Get())
        toolkit::RaiseOutOfResources();
    toolkit::SelectGuard select(memory.Get(), bitmap.Handle());
    HPALETTE palette = bitmap.Palette();
    toolkit::PaletteGuard onCanvas(canvas.dc, palette, FALSE);
    toolkit::PaletteGuard inMemory(memory.Get(), palette, FALSE);
    if (palette)
        RealizePalette(canvas.dc);
    int w = bitmap.Width(), h = bitmap.Height();
    if (stretch) {
        if (imageReadRes_ != TLoadResolution::lMonoChrome)
            SetStretchBltMode(canvas.dc, COLORONCOLOR);
        StretchBlt(canvas.dc, place.left, place.top, place.width, place.height, memory.Get(), 0, 0,
                   w, h, canvas.copyMode);
    } else {
        BitBlt(canvas.dc, place.left, place.top, w, h, memory.Get(), 0, 0, canvas.copyMode);
    }
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
