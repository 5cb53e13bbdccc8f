// Pixels from the Windows Imaging Component (WIC), first frame only.
#pragma once

#include "color.h"
#include "format.h"
#include "handles.h"
#include "status.h"

#include <wincodec.h>

#include <cstddef>
#include <cstdint>

namespace sky {

class WicPicture {
public:
    // Decodes `format` from the bytes, which must outlive this object.
    // Needs COM on the calling thread.
    Status Open(Format format, const uint8_t* data, size_t size);
    // Places the frame at (left, top) on a canvas of one colour (a GIF's screen).
    void SetCanvas(uint32_t width, uint32_t height, uint32_t left, uint32_t top, Rgb8 background);
    // Colours for an indexed frame read from the file by us.
    void ReplaceColours(const Palette& colours);
    // Wine hands out 16-bit samples of big-endian TIFFs unswapped.
    void SetBigEndianSamples(bool big);

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    // The colours of an indexed picture (composed over white), else empty.
    const Palette& SourceColours() const { return colours_; }

    // Writes the picture as BGR rows, transparency composed over white.
    Status ReadBgr(const BgrView& out);

private:
    enum class Path { Direct, Indexed, Converted, Premultiplied, Deep16, Cmyk };

    // Each copies the frame's top-left out.width x out.height pixels.
    Status ReadDirect(const BgrView& out);
    Status ReadIndexed(const BgrView& out);
    Status ReadBanded(const BgrView& out, const WICPixelFormatGUID& format, unsigned bytesPerPixel);

    // Created for each picture in the caller's apartment, which outlives it;
    // a failed creation is tried again with the next picture.
    ComPtr<IWICImagingFactory> factory_;
    ComPtr<IWICStream> stream_;
    ComPtr<IWICBitmapDecoder> decoder_;
    ComPtr<IWICBitmapFrameDecode> frame_;
    WICPixelFormatGUID pixelFormat_ = {};
    Path path_ = Path::Direct;
    unsigned indexBits_ = 0;
    uint32_t width_ = 0; // the canvas
    uint32_t height_ = 0;
    uint32_t frameWidth_ = 0;
    uint32_t frameHeight_ = 0;
    uint32_t left_ = 0;
    uint32_t top_ = 0;
    Rgb8 background_ = {255, 255, 255};
    bool swapSamples_ = false;
    Palette colours_;
    uint32_t argb_[256] = {};
    unsigned argbCount_ = 0;
};

// One JPEG stream in memory (a TIFF strip or tile) through WIC: the frame's
// top-left width x height pixels as `components` (1 grey, 3 R,G,B) bytes each.
Status DecodeJpegStream(const uint8_t* jpeg, size_t size, uint32_t width, uint32_t height,
                        unsigned components, uint8_t* out);

} // namespace sky
