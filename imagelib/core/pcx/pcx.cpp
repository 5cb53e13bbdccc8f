#include "pcx.h"

#include "size_limits.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sky {

namespace {

constexpr size_t kEndPaletteSize = 769;

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool ValidVersion(uint8_t v) {
    return v == 0 || v == 2 || v == 3 || v == 4 || v == 5;
}

bool ValidDepth(uint8_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8;
}

// Reads the RLE stream one scan line (all planes) at a time. A run may carry
// over into the next line, as some writers do.
class RleReader {
public:
    RleReader(const uint8_t* data, size_t size, bool rle)
        : p_(data), end_(data + size), rle_(rle) {}

    bool ReadLine(uint8_t* line, size_t length) {
        size_t pos = 0;
        while (pos < length) {
            if (runLeft_ > 0) {
                size_t n = std::min<size_t>(runLeft_, length - pos);
                std::memset(line + pos, runValue_, n);
                pos += n;
                runLeft_ -= static_cast<unsigned>(n);
                continue;
            }
            if (p_ == end_)
                return false;
            uint8_t b = *p_++;
            if (!rle_ || (b & 0xC0) != 0xC0) {
                line[pos++] = b;
                continue;
            }
            if (p_ == end_)
                return false;
            runLeft_ = b & 0x3F;
            runValue_ = *p_++;
        }
        return true;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
    bool rle_;
    unsigned runLeft_ = 0;
    uint8_t runValue_ = 0;
};

} // namespace

bool LooksLikePcx(const uint8_t* data, size_t size) {
    return size >= 4 && data[0] == 0x0A && ValidVersion(data[1]) && data[2] <= 1 &&
           ValidDepth(data[3]);
}

Status ParsePcxHeader(const uint8_t* p, size_t size, PcxHeader& h) {
    if (size < PcxHeader::kSize)
        return LooksLikePcx(p, size) ? Status::Corrupt : Status::UnknownFormat;
    if (!LooksLikePcx(p, size))
        return Status::UnknownFormat;
    h.version = p[1];
    h.encoding = p[2];
    h.bitsPerPlane = p[3];
    h.xMin = Le16(p + 4);
    h.yMin = Le16(p + 6);
    h.xMax = Le16(p + 8);
    h.yMax = Le16(p + 10);
    std::memcpy(h.headerPalette, p + 16, sizeof h.headerPalette);
    h.planes = p[65];
    h.bytesPerLine = Le16(p + 66);
    h.paletteInfo = Le16(p + 68);

    if (h.xMax < h.xMin || h.yMax < h.yMin)
        return Status::Corrupt;
    if (h.planes < 1 || h.planes > 4)
        return Status::Unsupported;
    if (h.bitsPerPlane == 8 ? h.planes == 2 : h.BitsPerPixel() > 8)
        return Status::Unsupported;
    if (uint64_t{h.bytesPerLine} * 8 < uint64_t{h.Width()} * h.bitsPerPlane)
        return Status::Corrupt;
    return CheckPictureSize(h.Width(), h.Height());
}

bool PcxHasEndPalette(const PcxHeader& h, const uint8_t* tail, uint64_t fileSize) {
    return !h.TrueColour() && h.BitsPerPixel() > 4 &&
           fileSize >= PcxHeader::kSize + kEndPaletteSize && tail[0] == 0x0C;
}

Status PcxDecoder::Open(const uint8_t* data, size_t size) {
    palette_.clear();
    Status s = ParsePcxHeader(data, size, header_);
    if (!Succeeded(s))
        return s;
    const PcxHeader& h = header_;
    pixels_ = data + PcxHeader::kSize;
    pixelBytes_ = size - PcxHeader::kSize;
    if (h.TrueColour())
        return Status::Ok;

    const unsigned bits = h.BitsPerPixel();
    if (h.bitsPerPlane == 1 && h.planes == 1) {
        // Monochrome ignores the header palette: 0 black, 1 white.
        palette_ = {{0, 0, 0}, {255, 255, 255}};
    } else if (bits <= 4) {
        for (unsigned i = 0; i < (1u << bits); ++i) {
            const uint8_t* c = h.headerPalette + 3 * i;
            palette_.push_back({c[0], c[1], c[2]});
        }
    } else if (size >= PcxHeader::kSize + kEndPaletteSize &&
               PcxHasEndPalette(h, data + size - kEndPaletteSize, size)) {
        const uint8_t* c = data + size - kEndPaletteSize + 1;
        for (unsigned i = 0; i < 256; ++i, c += 3)
            palette_.push_back({c[0], c[1], c[2]});
        pixelBytes_ -= kEndPaletteSize;
    } else if (h.bitsPerPlane == 8 && h.paletteInfo == 2) {
        for (unsigned i = 0; i < 256; ++i) {
            auto v = static_cast<uint8_t>(i);
            palette_.push_back({v, v, v});
        }
    } else {
        return Status::Corrupt;
    }
    palette_.resize(size_t{1} << bits);
    return Status::Ok;
}

Status PcxDecoder::Decode(const BgrView& out) const {
    const PcxHeader& h = header_;
    const uint32_t width = h.Width();
    if (out.width != width || out.height != h.Height() ||
        static_cast<uint64_t>(out.stride < 0 ? -out.stride : out.stride) < uint64_t{width} * 3)
        return Status::InvalidArgument;

    const size_t bpl = h.bytesPerLine;
    std::vector<uint8_t> line(bpl * h.planes);
    RleReader reader(pixels_, pixelBytes_, h.encoding == 1);
    const unsigned depth = h.bitsPerPlane;
    const unsigned mask = (1u << depth) - 1;
    const unsigned perByte = 8 / depth;

    for (uint32_t y = 0; y < out.height; ++y) {
        if (!reader.ReadLine(line.data(), line.size()))
            return Status::Corrupt;
        uint8_t* dst = out.Row(y);
        if (h.TrueColour()) {
            const uint8_t* r = line.data();
            const uint8_t* g = r + bpl;
            const uint8_t* b = g + bpl;
            const uint8_t* a = h.planes == 4 ? b + bpl : nullptr;
            for (uint32_t x = 0; x < width; ++x, dst += 3) {
                if (a) {
                    dst[0] = OverWhite(b[x], a[x]);
                    dst[1] = OverWhite(g[x], a[x]);
                    dst[2] = OverWhite(r[x], a[x]);
                } else {
                    dst[0] = b[x];
                    dst[1] = g[x];
                    dst[2] = r[x];
                }
            }
        } else if (depth == 8) {
            for (uint32_t x = 0; x < width; ++x, dst += 3) {
                const Rgb8& c = palette_[line[x]];
                dst[0] = c.b;
                dst[1] = c.g;
                dst[2] = c.r;
            }
        } else {
            for (uint32_t x = 0; x < width; ++x, dst += 3) {
                const size_t byte = x / perByte;
                const unsigned shift = 8 - depth - (x % perByte) * depth;
                unsigned index = 0;
                for (unsigned k = 0; k < h.planes; ++k)
                    index |= ((line[k * bpl + byte] >> shift) & mask) << (k * depth);
                const Rgb8& c = palette_[index];
                dst[0] = c.b;
                dst[1] = c.g;
                dst[2] = c.r;
            }
        }
    }
    return Status::Ok;
}

} // namespace sky
