#include "wic_reader.h"

#include "size_limits.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace sky {

namespace {

constexpr size_t kBandBytes = 4 << 20;

Status FromHresult(HRESULT hr) {
    switch (hr) {
    case E_OUTOFMEMORY:
        return Status::OutOfMemory;
    case WINCODEC_ERR_UNKNOWNIMAGEFORMAT:
    case WINCODEC_ERR_COMPONENTNOTFOUND:
        return Status::UnknownFormat;
    case WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT:
    case WINCODEC_ERR_UNSUPPORTEDOPERATION:
    case WINCODEC_ERR_UNSUPPORTEDVERSION:
    case E_NOTIMPL:
        return Status::Unsupported;
    case WINCODEC_ERR_BADHEADER:
    case WINCODEC_ERR_BADIMAGE:
    case WINCODEC_ERR_BADSTREAMDATA:
    case WINCODEC_ERR_STREAMREAD:
    case WINCODEC_ERR_STREAMNOTAVAILABLE:
    case WINCODEC_ERR_FRAMEMISSING:
    case WINCODEC_ERR_UNEXPECTEDSIZE:
    case HRESULT_FROM_WIN32(ERROR_HANDLE_EOF):
        return Status::Corrupt;
    default:
        return Status::DecoderFailed;
    }
}

const GUID* ContainerOf(Format format) {
    switch (format) {
    case Format::Bmp:
        return &GUID_ContainerFormatBmp;
    case Format::Gif:
        return &GUID_ContainerFormatGif;
    case Format::Jpeg:
        return &GUID_ContainerFormatJpeg;
    case Format::Png:
        return &GUID_ContainerFormatPng;
    case Format::Tiff:
        return &GUID_ContainerFormatTiff;
    default:
        return nullptr;
    }
}

bool Is(const WICPixelFormatGUID& a, const GUID& b) {
    return IsEqualGUID(a, b) != FALSE;
}

// 16 to 8 bits as ImageMagick's readers do.
uint8_t To8(unsigned v16) {
    return static_cast<uint8_t>(v16 / 257);
}

bool RunningOnWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Layout of the 16-bit-per-channel formats we convert ourselves.
struct DeepLayout {
    const GUID* format;
    unsigned channels;
    int r, g, b, a; // sample positions, a < 0 without alpha
    bool premultiplied;
};

const DeepLayout kDeepLayouts[] = {
    {&GUID_WICPixelFormat16bppGray, 1, 0, 0, 0, -1, false},
    {&GUID_WICPixelFormat48bppRGB, 3, 0, 1, 2, -1, false},
    {&GUID_WICPixelFormat48bppBGR, 3, 2, 1, 0, -1, false},
    {&GUID_WICPixelFormat64bppRGB, 4, 0, 1, 2, -1, false},
    {&GUID_WICPixelFormat64bppRGBA, 4, 0, 1, 2, 3, false},
    {&GUID_WICPixelFormat64bppBGRA, 4, 2, 1, 0, 3, false},
    {&GUID_WICPixelFormat64bppPRGBA, 4, 0, 1, 2, 3, true},
    {&GUID_WICPixelFormat64bppPBGRA, 4, 2, 1, 0, 3, true},
};

const DeepLayout* DeepLayoutOf(const WICPixelFormatGUID& format) {
    for (const DeepLayout& layout : kDeepLayouts)
        if (Is(format, *layout.format))
            return &layout;
    return nullptr;
}

unsigned IndexBits(const WICPixelFormatGUID& f) {
    if (Is(f, GUID_WICPixelFormat1bppIndexed))
        return 1;
    if (Is(f, GUID_WICPixelFormat2bppIndexed))
        return 2;
    if (Is(f, GUID_WICPixelFormat4bppIndexed))
        return 4;
    if (Is(f, GUID_WICPixelFormat8bppIndexed))
        return 8;
    return 0;
}

void PutOverWhite(uint8_t* dst, unsigned r, unsigned g, unsigned b, unsigned a) {
    dst[0] = OverWhite(b, a);
    dst[1] = OverWhite(g, a);
    dst[2] = OverWhite(r, a);
}

HRESULT CreateImagingFactory(ComPtr<IWICImagingFactory>& factory) {
    const HRESULT hr =
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put()));
    // Keep the codecs loaded when the last apartment closes.
    HMODULE module;
    if (SUCCEEDED(hr))
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "windowscodecs.dll", &module);
    return hr;
}

} // namespace

Status WicPicture::Open(Format format, const uint8_t* data, size_t size) {
    const GUID* container = ContainerOf(format);
    if (!container)
        return Status::UnknownFormat;
    if (size > 0xFFFFFFFFu)
        return Status::TooLarge;
    if (FAILED(CreateImagingFactory(factory_)))
        return Status::DecoderMissing;
    HRESULT hr = factory_->CreateStream(stream_.Put());
    if (SUCCEEDED(hr))
        hr = stream_->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    if (FAILED(hr))
        return FromHresult(hr);
    hr = factory_->CreateDecoder(*container, nullptr, decoder_.Put());
    if (FAILED(hr))
        return Status::DecoderMissing;
    hr = decoder_->Initialize(stream_.Get(), WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(hr))
        hr = decoder_->GetFrame(0, frame_.Put());
    UINT w = 0, h = 0;
    if (SUCCEEDED(hr))
        hr = frame_->GetSize(&w, &h);
    if (SUCCEEDED(hr))
        hr = frame_->GetPixelFormat(&pixelFormat_);
    if (FAILED(hr))
        return FromHresult(hr);
    width_ = frameWidth_ = w;
    height_ = frameHeight_ = h;
    Status s = CheckPictureSize(w, h);
    if (!Succeeded(s))
        return s;

    indexBits_ = IndexBits(pixelFormat_);
    if (indexBits_) {
        ComPtr<IWICPalette> palette;
        UINT count = 0;
        hr = factory_->CreatePalette(palette.Put());
        if (SUCCEEDED(hr))
            hr = frame_->CopyPalette(palette.Get());
        if (SUCCEEDED(hr))
            hr = palette->GetColors(256, argb_, &count);
        if (FAILED(hr))
            return FromHresult(hr);
        argbCount_ = count;
        for (unsigned i = 0; i < count; ++i) {
            const uint32_t c = argb_[i];
            const unsigned a = c >> 24;
            colours_.push_back({OverWhite(c >> 16 & 0xFF, a), OverWhite(c >> 8 & 0xFF, a),
                                OverWhite(c & 0xFF, a)});
        }
        path_ = Path::Indexed;
    } else if (DeepLayoutOf(pixelFormat_)) {
        path_ = Path::Deep16;
    } else if (Is(pixelFormat_, GUID_WICPixelFormat24bppBGR)) {
        path_ = Path::Direct;
    } else if (Is(pixelFormat_, GUID_WICPixelFormat32bppCMYK)) {
        path_ = Path::Cmyk;
    } else if (Is(pixelFormat_, GUID_WICPixelFormat32bppPBGRA)) {
        path_ = Path::Premultiplied;
    } else {
        // Wine converts most formats to 32bppBGRA but few to 24bppBGR.
        path_ = Path::Converted;
    }
    return Status::Ok;
}

void WicPicture::SetCanvas(uint32_t width, uint32_t height, uint32_t left, uint32_t top,
                           Rgb8 background) {
    if (width == 0 || height == 0)
        return;
    width_ = width;
    height_ = height;
    left_ = left;
    top_ = top;
    background_ = background;
}

void WicPicture::ReplaceColours(const Palette& colours) {
    if (path_ != Path::Indexed || colours.size() < argbCount_)
        return;
    for (unsigned i = 0; i < argbCount_; ++i)
        if ((argb_[i] >> 24) == 0xFF)
            colours_[i] = colours[i];
}

void WicPicture::SetBigEndianSamples(bool big) {
    static const bool wine = RunningOnWine();
    swapSamples_ = big && wine;
}

Status WicPicture::ReadBgr(const BgrView& out) {
    if (out.width != width_ || out.height != height_)
        return Status::InvalidArgument;
    BgrView frame = out;
    if (width_ != frameWidth_ || height_ != frameHeight_ || left_ || top_) {
        for (uint32_t y = 0; y < height_; ++y) {
            uint8_t* row = out.Row(y);
            for (uint32_t x = 0; x < width_; ++x, row += 3) {
                row[0] = background_.b;
                row[1] = background_.g;
                row[2] = background_.r;
            }
        }
        if (left_ >= width_ || top_ >= height_)
            return Status::Ok;
        frame.top = out.Row(top_) + size_t{left_} * 3;
        frame.width = std::min(frameWidth_, width_ - left_);
        frame.height = std::min(frameHeight_, height_ - top_);
    }
    switch (path_) {
    case Path::Indexed:
        return ReadIndexed(frame);
    case Path::Deep16:
        return ReadBanded(frame, pixelFormat_, DeepLayoutOf(pixelFormat_)->channels * 2);
    case Path::Converted:
        return ReadBanded(frame, GUID_WICPixelFormat32bppBGRA, 4);
    case Path::Cmyk:
        return ReadBanded(frame, GUID_WICPixelFormat32bppCMYK, 4);
    case Path::Premultiplied:
        return ReadBanded(frame, GUID_WICPixelFormat32bppPBGRA, 4);
    case Path::Direct:
        break;
    }
    return ReadDirect(frame);
}

Status WicPicture::ReadDirect(const BgrView& out) {
    // Straight into the caller's rows, one call per row for a bottom-up DIB.
    const UINT rowBytes = out.width * 3;
    if (out.stride > 0) {
        const uint64_t bytes = uint64_t(out.stride) * (out.height - 1) + rowBytes;
        if (bytes > 0xFFFFFFFFu)
            return Status::TooLarge;
        const WICRect rect = {0, 0, static_cast<INT>(out.width), static_cast<INT>(out.height)};
        HRESULT hr = frame_->CopyPixels(&rect, static_cast<UINT>(out.stride),
                                        static_cast<UINT>(bytes), out.top);
        return FAILED(hr) ? FromHresult(hr) : Status::Ok;
    }
    for (uint32_t y = 0; y < out.height; ++y) {
        const WICRect rect = {0, static_cast<INT>(y), static_cast<INT>(out.width), 1};
        HRESULT hr = frame_->CopyPixels(&rect, rowBytes, rowBytes, out.Row(y));
        if (FAILED(hr))
            return FromHresult(hr);
    }
    return Status::Ok;
}

Status WicPicture::ReadIndexed(const BgrView& out) {
    const size_t rowBytes = (size_t{out.width} * indexBits_ + 7) / 8;
    const uint32_t bandRows =
        static_cast<uint32_t>(std::clamp<size_t>(kBandBytes / rowBytes, 1, out.height));
    std::vector<uint8_t> band;
    try {
        band.resize(rowBytes * bandRows);
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    }
    // BGR for every index; an index past the palette is an error.
    uint8_t lookup[256][3] = {};
    for (unsigned i = 0; i < argbCount_; ++i) {
        lookup[i][0] = colours_[i].b;
        lookup[i][1] = colours_[i].g;
        lookup[i][2] = colours_[i].r;
    }
    const unsigned mask = (1u << indexBits_) - 1;
    const unsigned perByte = 8 / indexBits_;
    for (uint32_t y0 = 0; y0 < out.height; y0 += bandRows) {
        const uint32_t rows = std::min(bandRows, out.height - y0);
        const WICRect rect = {0, static_cast<INT>(y0), static_cast<INT>(out.width),
                              static_cast<INT>(rows)};
        HRESULT hr = frame_->CopyPixels(&rect, static_cast<UINT>(rowBytes),
                                        static_cast<UINT>(rowBytes * rows), band.data());
        if (FAILED(hr))
            return FromHresult(hr);
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t* src = band.data() + rowBytes * r;
            uint8_t* dst = out.Row(y0 + r);
            for (uint32_t x = 0; x < out.width; ++x, dst += 3) {
                unsigned index;
                if (indexBits_ == 8) {
                    index = src[x];
                } else {
                    const unsigned shift = 8 - indexBits_ - (x % perByte) * indexBits_;
                    index = (src[x / perByte] >> shift) & mask;
                }
                if (index >= argbCount_)
                    return Status::Corrupt;
                std::memcpy(dst, lookup[index], 3);
            }
        }
    }
    return Status::Ok;
}

Status WicPicture::ReadBanded(const BgrView& out, const WICPixelFormatGUID& format,
                              unsigned bytesPerPixel) {
    ComPtr<IWICFormatConverter> converter;
    IWICBitmapSource* source = frame_.Get();
    if (!Is(pixelFormat_, format)) {
        HRESULT hr = factory_->CreateFormatConverter(converter.Put());
        if (SUCCEEDED(hr))
            hr = converter->Initialize(frame_.Get(), format, WICBitmapDitherTypeNone, nullptr, 0,
                                       WICBitmapPaletteTypeCustom);
        if (FAILED(hr))
            return FromHresult(hr);
        source = converter.Get();
    }
    const DeepLayout* deep = DeepLayoutOf(format);
    const size_t rowBytes = size_t{out.width} * bytesPerPixel;
    const uint32_t bandRows =
        static_cast<uint32_t>(std::clamp<size_t>(kBandBytes / rowBytes, 1, out.height));
    std::vector<uint8_t> band;
    try {
        band.resize(rowBytes * bandRows);
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    }
    for (uint32_t y0 = 0; y0 < out.height; y0 += bandRows) {
        const uint32_t rows = std::min(bandRows, out.height - y0);
        const WICRect rect = {0, static_cast<INT>(y0), static_cast<INT>(out.width),
                              static_cast<INT>(rows)};
        HRESULT hr = source->CopyPixels(&rect, static_cast<UINT>(rowBytes),
                                        static_cast<UINT>(rowBytes * rows), band.data());
        if (FAILED(hr))
            return FromHresult(hr);
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t* src = band.data() + rowBytes * r;
            uint8_t* dst = out.Row(y0 + r);
            if (Is(format, GUID_WICPixelFormat32bppCMYK)) {
                for (uint32_t x = 0; x < out.width; ++x, src += 4, dst += 3) {
                    const unsigned k = 255 - src[3];
                    dst[0] = static_cast<uint8_t>(((255 - src[2]) * k + 127) / 255);
                    dst[1] = static_cast<uint8_t>(((255 - src[1]) * k + 127) / 255);
                    dst[2] = static_cast<uint8_t>(((255 - src[0]) * k + 127) / 255);
                }
                continue;
            }
            if (Is(format, GUID_WICPixelFormat32bppPBGRA)) {
                // Undo the premultiplication (clamped: damaged files exceed
                // alpha), then compose.
                for (uint32_t x = 0; x < out.width; ++x, src += 4, dst += 3) {
                    const unsigned a = src[3];
                    for (int c = 0; c < 3; ++c) {
                        const unsigned straight = a ? std::min(255u, src[c] * 255u / a) : 0;
                        dst[c] = OverWhite(straight, a);
                    }
                }
                continue;
            }
            if (!deep) {
                // 32bppBGRA, straight alpha; an opaque pixel composes to itself.
                for (uint32_t x = 0; x < out.width; ++x, src += 4, dst += 3) {
                    if (src[3] == 0xFF) {
                        dst[0] = src[0];
                        dst[1] = src[1];
                        dst[2] = src[2];
                    } else {
                        PutOverWhite(dst, src[2], src[1], src[0], src[3]);
                    }
                }
                continue;
            }
            for (uint32_t x = 0; x < out.width; ++x, dst += 3) {
                uint16_t s[4];
                std::memcpy(s, src, deep->channels * 2);
                src += deep->channels * 2;
                if (swapSamples_)
                    for (unsigned c = 0; c < deep->channels; ++c)
                        s[c] = static_cast<uint16_t>(s[c] << 8 | s[c] >> 8);
                unsigned a = deep->a >= 0 ? To8(s[deep->a]) : 255;
                unsigned rr = s[deep->r], gg = s[deep->g], bb = s[deep->b];
                if (deep->premultiplied && deep->a >= 0 && s[deep->a] != 0) {
                    const unsigned a16 = s[deep->a];
                    rr = std::min(65535u, (rr * 65535 + a16 / 2) / a16);
                    gg = std::min(65535u, (gg * 65535 + a16 / 2) / a16);
                    bb = std::min(65535u, (bb * 65535 + a16 / 2) / a16);
                }
                PutOverWhite(dst, To8(rr), To8(gg), To8(bb), a);
            }
        }
    }
    return Status::Ok;
}

Status DecodeJpegStream(const uint8_t* jpeg, size_t size, uint32_t width, uint32_t height,
                        unsigned components, uint8_t* out) {
    if (components != 1 && components != 3)
        return Status::InvalidArgument;
    WicPicture picture;
    Status s = picture.Open(Format::Jpeg, jpeg, size);
    if (!Succeeded(s))
        return s;
    const uint32_t w = picture.Width(), h = picture.Height();
    if (w < width || h < height)
        return Status::Corrupt;
    std::vector<uint8_t> bgr(size_t{w} * h * 3);
    s = picture.ReadBgr({bgr.data(), w, h, static_cast<ptrdiff_t>(w) * 3});
    if (!Succeeded(s))
        return s;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* src = bgr.data() + size_t{w} * 3 * y;
        for (uint32_t x = 0; x < width; ++x, src += 3) {
            if (components == 1) {
                *out++ = src[1];
            } else {
                *out++ = src[2];
                *out++ = src[1];
                *out++ = src[0];
            }
        }
    }
    return Status::Ok;
}

} // namespace sky
