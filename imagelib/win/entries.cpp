// The library's entries, exported by ordinal only (sky32dem.def).
//
// Each reader reads its own format, recognised by content: a .jpg holding
// PNG data fails in the JPEG reader with WrongFormat, whose text says so.
// The information query reports what the content is.
#include "bmp.h"
#include "dib.h"
#include "info.h"
#include "jpeg.h"
#include "size_limits.h"
#include "pcx.h"
#include "picture_file.h"
#include "reduce.h"
#include "gif.h"
#include "structure.h"
#include "tiff_decode.h"
#include "wic_reader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace sky {

namespace {

// Our readers (PCX, BMP bit fields, the TIFF layouts WIC refuses) or WIC
// behind one face.
class PixelSource {
public:
    Status Open(Format format, const uint8_t* data, size_t size) {
        if (format == Format::Pcx) {
            kind_ = Kind::Pcx;
            return pcx_.Open(data, size);
        }
        if (format == Format::Bmp) {
            Status s = ParseBmp(data, size, bmp_);
            if (!Succeeded(s))
                return s;
            if (bmp_.HasMasks()) {
                kind_ = Kind::BmpBitFields;
                data_ = data;
                size_ = size;
                return Status::Ok;
            }
        }
        // Our TIFF reader: for what WIC misreads, refuses, or opens and then
        // cannot read.
        const bool ownTiff = format == Format::Tiff && Succeeded(tiff_.Open(data, size));
        if (ownTiff && tiff_.PlatformMisreads()) {
            kind_ = Kind::Tiff;
            return Status::Ok;
        }
        kind_ = Kind::Wic;
        if (format == Format::Jpeg && NameJpegColours(data, size, false, named_)) {
            data = named_.data();
            size = named_.size();
        }
        GifLayout layout;
        const bool gif = format == Format::Gif && Succeeded(ReadGifLayout(data, size, layout));
        if (gif && FollowedByOtherBytes(data, size, layout)) {
            // The platform decoder reads on and fails on them: it gets the
            // first image and a trailer.
            firstImage_.assign(data, data + layout.imageEnd);
            firstImage_.push_back(0x3B);
            data = firstImage_.data();
            size = firstImage_.size();
        }
        if (gif && layout.blackTable) {
            // The platform decoder dereferences the missing table.
            withTable_ = WithBlackGlobalTable(data, size, layout);
            data = withTable_.data();
            size = withTable_.size();
        }
        Status s = wic_.Open(format, data, size);
        if (!Succeeded(s) && ownTiff) {
            kind_ = Kind::Tiff;
            return Status::Ok;
        }
        if (Succeeded(s) && gif) {
            const Rgb8 background =
                layout.hasBackground
                    ? Rgb8{layout.background[0], layout.background[1], layout.background[2]}
                    : Rgb8{255, 255, 255};
            wic_.SetCanvas(layout.screenWidth, layout.screenHeight, layout.left, layout.top,
                           background);
        }
        if (Succeeded(s) && format == Format::Tiff) {
            // WIC scales 16-bit colour map entries by dropping the low byte.
            Palette colours;
            if (ReadTiffColourMap(data, size, colours))
                wic_.ReplaceColours(colours);
            wic_.SetBigEndianSamples(data[0] == 'M');
            tiffFallback_ =
                ownTiff && tiff_.Width() == wic_.Width() && tiff_.Height() == wic_.Height();
        }
        return s;
    }
    uint32_t Width() const { return Size().first; }
    uint32_t Height() const { return Size().second; }
    const Palette& SourceColours() const {
        static const Palette none;
        return kind_ == Kind::Pcx   ? pcx_.Colours()
               : kind_ == Kind::Wic ? wic_.SourceColours()
                                    : none;
    }
    Status ReadBgr(const BgrView& out) {
        switch (kind_) {
        case Kind::Pcx:
            return pcx_.Decode(out);
        case Kind::BmpBitFields:
            return DecodeBmpBitFields(bmp_, data_, size_, out);
        case Kind::Tiff:
            return tiff_.Decode(out, DecodeJpegStream);
        case Kind::Wic:
            break;
        }
        const Status s = wic_.ReadBgr(out);
        return Succeeded(s) || !tiffFallback_ ? s : tiff_.Decode(out, DecodeJpegStream);
    }

private:
    enum class Kind { Wic, Pcx, BmpBitFields, Tiff };

    std::pair<uint32_t, uint32_t> Size() const {
        switch (kind_) {
        case Kind::Pcx:
            return {pcx_.Width(), pcx_.Height()};
        case Kind::BmpBitFields:
            return {bmp_.width, bmp_.height};
        case Kind::Tiff:
            return {tiff_.Width(), tiff_.Height()};
        case Kind::Wic:
            break;
        }
        return {wic_.Width(), wic_.Height()};
    }

    Kind kind_ = Kind::Wic;
    PcxDecoder pcx_;
    BmpHeader bmp_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    TiffDecoder tiff_;
    bool tiffFallback_ = false;
    // What the platform decoder reads instead of the file; they outlive it.
    std::vector<uint8_t> firstImage_;
    std::vector<uint8_t> withTable_;
    std::vector<uint8_t> named_; // a JPEG stream with its components renamed
    WicPicture wic_;
};

Status Decode(Format expected, const char* path, int resolution, int dither, HBITMAP* bitmap,
              HPALETTE* palette) {
    if (!bitmap)
        return Status::InvalidArgument;
    *bitmap = nullptr;
    unsigned depth;
    switch (resolution) {
    case 0:
        depth = 4; // the VGA palette
        break;
    case 1:
    case 4:
    case 8:
    case 24:
        depth = static_cast<unsigned>(resolution);
        break;
    default:
        return Status::InvalidArgument;
    }
    if (!path || (depth != 24 && !palette))
        return Status::InvalidArgument;

    ComApartment com;
    PictureFile file;
    Status s = file.Open(path);
    if (!Succeeded(s))
        return s;
    const Format format = SniffFormat(file.Data(), file.Size());
    if (format == Format::Unknown)
        return Status::UnknownFormat;
    if (format != expected)
        return Status::WrongFormat;
    // Sizes from the headers are refused before any decoder allocates.
    MemorySource header(file.Data(), file.Size());
    PictureInfo info;
    if (ReadPictureInfo(header, info) == Status::TooLarge)
        return Status::TooLarge;
    s = CheckComplete(format, file.Data(), file.Size());
    if (!Succeeded(s))
        return s;
    if (format != Format::Pcx && !com.Usable())
        return Status::DecoderMissing;

    PixelSource source;
    s = source.Open(format, file.Data(), file.Size());
    const uint32_t w = source.Width(), h = source.Height();
    if (Succeeded(s))
        s = CheckPictureSize(w, h);
    std::vector<uint8_t> trueColour;
    DibSection dib;
    BgrView view;
    if (Succeeded(s)) {
        if (depth == 24) {
            s = CreateDib(w, h, 24, {}, dib);
            view = {dib.top, w, h, dib.stride};
        } else {
            // The one intermediate buffer the reduction needs.
            try {
                trueColour.resize(size_t{w} * 3 * h);
                view = {trueColour.data(), w, h, static_cast<ptrdiff_t>(w) * 3};
            } catch (const std::bad_alloc&) {
                s = Status::OutOfMemory;
            }
        }
    }
    if (Succeeded(s))
        s = source.ReadBgr(view);
    if (!Succeeded(s))
        return info.rareVariant && s != Status::OutOfMemory ? Status::Unsupported : s;

    if (depth == 24) {
        *bitmap = dib.bitmap.Release();
        return Status::Ok;
    }
    const Palette colours =
        resolution == 0 ? VgaPalette() : ChoosePalette(view, 1u << depth, source.SourceColours());
    s = CreateDib(w, h, depth, colours, dib);
    if (!Succeeded(s))
        return s;
    MapToPalette(view, colours, dither != 0, dib.top, dib.stride, depth);
    GdiObject<HPALETTE> logical = CreateLogicalPalette(colours);
    if (!logical)
        return Status::BitmapFailed;
    *bitmap = dib.bitmap.Release();
    *palette = logical.Release();
    return Status::Ok;
}

int Read(Format format, const char* path, int resolution, int dither, HBITMAP* bitmap,
         HPALETTE* palette) {
    try {
        return ToInt(Decode(format, path, resolution, dither, bitmap, palette));
    } catch (const std::bad_alloc&) {
        return ToInt(Status::OutOfMemory);
    } catch (...) {
        return ToInt(Status::Failed);
    }
}

void CopyText(char* dst, size_t capacity, const std::string& text) {
    if (!dst)
        return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(dst, text.data(), n);
    dst[n] = '\0';
}

void Put16(short* dst, uint32_t value) {
    if (dst)
        *dst = static_cast<short>(static_cast<uint16_t>(value));
}

} // namespace

} // namespace sky

using sky::Read;

extern "C" {

int WINAPI ImgGetInfo(const char* path, char* type, short* width, short* height, short* bits,
                      short* planes, short* extra, char* description, int /*zero*/) {
    sky::PictureInfo info;
    sky::Status s = sky::Status::Failed;
    try {
        sky::FileSource file;
        s = file.Open(path);
        if (sky::Succeeded(s))
            s = sky::ReadPictureInfo(file, info);
    } catch (...) {
        s = sky::Status::OutOfMemory;
    }
    if (!sky::Succeeded(s)) {
        // No size after a failure: callers take a width above 0 for a readable picture.
        info.width = 0;
        info.height = 0;
    }
    sky::CopyText(type, 6, sky::FormatName(info.format));
    sky::CopyText(description, 26, info.description);
    sky::Put16(width, info.width);
    sky::Put16(height, info.height);
    sky::Put16(bits, info.bits);
    sky::Put16(planes, info.planes);
    sky::Put16(extra, info.colours);
    return sky::ToInt(s);
}

int WINAPI ImgReadJPEG(const char* path, int resolution, int /*one*/, int dither, HBITMAP* bitmap,
                       HPALETTE* palette, int /*reserved*/, int /*zero*/) {
    return Read(sky::Format::Jpeg, path, resolution, dither, bitmap, palette);
}

int WINAPI ImgReadGIF(const char* path, int resolution, int dither, HBITMAP* bitmap,
                      HPALETTE* palette, int /*reserved*/, int /*zero*/) {
    return Read(sky::Format::Gif, path, resolution, dither, bitmap, palette);
}

int WINAPI ImgReadPCX(const char* path, int resolution, int dither, HBITMAP* bitmap,
                      HPALETTE* palette, int /*reserved*/, int /*zero*/) {
    return Read(sky::Format::Pcx, path, resolution, dither, bitmap, palette);
}

int WINAPI ImgReadBMP(const char* path, int resolution, int dither, HBITMAP* bitmap,
                      HPALETTE* palette, int /*reserved*/, int /*zero*/) {
    return Read(sky::Format::Bmp, path, resolution, dither, bitmap, palette);
}

int WINAPI ImgReadPNG(const char* path, int resolution, int dither, HBITMAP* bitmap,
                      HPALETTE* palette, int /*reserved*/, int /*zero*/) {
    return Read(sky::Format::Png, path, resolution, dither, bitmap, palette);
}

int WINAPI ImgReadTIFF(const char* path, int resolution, int dither, HBITMAP* bitmap,
                       HPALETTE* palette, int /*reserved*/, int /*zero*/) {
    return Read(sky::Format::Tiff, path, resolution, dither, bitmap, palette);
}

} // extern "C"
