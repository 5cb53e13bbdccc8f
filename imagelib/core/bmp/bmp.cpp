#include "bmp.h"

#include "size_limits.h"

#include <bit>
#include <cstring>

namespace sky {

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool ContiguousMask(uint32_t m) {
    if (m == 0)
        return false;
    const uint32_t shifted = m >> std::countr_zero(m);
    return (shifted & (shifted + 1)) == 0;
}

struct Channel {
    unsigned shift = 0;
    unsigned bits = 0;
    uint8_t Scale(uint32_t pixel) const {
        if (bits == 0)
            return 255;
        const uint32_t v = (pixel >> shift) & ((uint64_t{1} << bits) - 1);
        if (bits >= 8)
            return static_cast<uint8_t>((uint64_t{v} * 255 + ((uint64_t{1} << bits) - 1) / 2) /
                                        ((uint64_t{1} << bits) - 1));
        // Repeat the bits to fill eight, as a 5-bit 31 becomes 255.
        unsigned out = 0;
        for (int filled = 8 - static_cast<int>(bits); filled > -static_cast<int>(bits);
             filled -= static_cast<int>(bits))
            out |= filled >= 0 ? v << filled : v >> -filled;
        return static_cast<uint8_t>(out);
    }
};

Channel ChannelOf(uint32_t mask) {
    if (!mask)
        return {};
    return {static_cast<unsigned>(std::countr_zero(mask)),
            static_cast<unsigned>(std::popcount(mask))};
}

// Walks an RLE8 or RLE4 stream; every pixel must land inside the picture.
Status WalkRle(const BmpHeader& h, const uint8_t* p, const uint8_t* end) {
    const bool four = h.compression == kBmpRle4;
    uint64_t x = 0, y = 0;
    auto checkIndex = [&](unsigned index) { return h.colours == 0 || index < h.colours; };
    for (;;) {
        if (end - p < 2)
            return Status::Corrupt;
        const unsigned count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            if (x + count > h.width || y >= h.height)
                return Status::Corrupt;
            if (!checkIndex(four ? value >> 4 : value) ||
                (four && count > 1 && !checkIndex(value & 15)))
                return Status::Corrupt;
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return Status::Ok;
        case 2: // delta
            if (end - p < 2)
                return Status::Corrupt;
            x += p[0];
            y += p[1];
            p += 2;
            if (x > h.width || y > h.height)
                return Status::Corrupt;
            break;
        default: { // absolute run, padded to 16 bits
            const size_t bytes = four ? (value + 1) / 2 : value;
            if (static_cast<size_t>(end - p) < bytes + (bytes & 1))
                return Status::Corrupt;
            if (x + value > h.width || y >= h.height)
                return Status::Corrupt;
            for (unsigned i = 0; i < value; ++i) {
                const unsigned index = four ? (p[i / 2] >> ((i & 1) ? 0 : 4)) & 15 : p[i];
                if (!checkIndex(index))
                    return Status::Corrupt;
            }
            p += bytes + (bytes & 1);
            x += value;
            break;
        }
        }
    }
}

} // namespace

Status ParseBmp(const uint8_t* data, size_t size, BmpHeader& h) {
    h = BmpHeader{};
    if (size >= 2 && data[0] == 'B' && data[1] == 'A')
        h.base = 14; // OS/2 bitmap array: take the first bitmap
    if (size < h.base + 18)
        return Status::Corrupt;
    const uint8_t* f = data + h.base;
    if (f[0] != 'B' || f[1] != 'M')
        return Status::UnknownFormat;
    h.fileSize = Le32(f + 2);
    h.bitsOffset = h.base + Le32(f + 10);
    h.headerSize = Le32(f + 14);
    const uint64_t info = h.base + 14;
    switch (h.headerSize) {
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        break;
    default:
        return Status::Corrupt;
    }
    if (size < info + h.headerSize)
        return Status::Corrupt;
    const uint8_t* i = data + info;
    unsigned planes;
    if (h.headerSize == 12) {
        h.width = Le16(i + 4);
        h.height = Le16(i + 6);
        planes = Le16(i + 8);
        h.bitCount = Le16(i + 10);
        h.colourBytes = 3;
    } else {
        const auto w = static_cast<int32_t>(Le32(i + 4));
        const auto ht = static_cast<int32_t>(Le32(i + 8));
        if (w <= 0 || ht == 0 || ht == INT32_MIN)
            return Status::Corrupt;
        h.width = static_cast<uint32_t>(w);
        h.topDown = ht < 0;
        h.height = static_cast<uint32_t>(ht < 0 ? -ht : ht);
        planes = Le16(i + 12);
        h.bitCount = Le16(i + 14);
        if (h.headerSize >= 20)
            h.compression = Le32(i + 16);
        if (h.headerSize >= 36)
            h.colours = Le32(i + 32);
        if (h.headerSize == 64 || h.headerSize == 16) {
            // OS/2 2.x: compression 3 is Huffman 1D, 4 is RLE24.
            if (h.compression == 3 || h.compression == 4)
                return Status::Unsupported;
        }
    }
    if (planes != 1)
        return Status::Corrupt;
    Status s = CheckPictureSize(h.width, h.height);
    if (!Succeeded(s))
        return s;
    // biSizeImage and the density only describe the file, often wrongly, and
    // bfSize may too: the pixels are checked against the file's real length.

    switch (h.compression) {
    case kBmpRgb:
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 &&
            h.bitCount != 24 && h.bitCount != 32)
            return h.bitCount == 2 || h.bitCount == 64 ? Status::Unsupported : Status::Corrupt;
        break;
    case kBmpRle8:
    case kBmpRle4:
        if (h.bitCount != (h.compression == kBmpRle8 ? 8u : 4u) || h.topDown)
            return Status::Corrupt;
        break;
    case kBmpBitFields:
    case 6: // alpha bit fields
        if (h.bitCount != 16 && h.bitCount != 32)
            return Status::Corrupt;
        break;
    case 4: // embedded JPEG
    case 5: // embedded PNG
        return Status::Unsupported;
    default:
        return Status::Corrupt;
    }

    // Colour table: after the header, before the pixels.
    const uint64_t tableStart = info + h.headerSize +
                                (h.headerSize == 40 && h.compression == kBmpBitFields ? 12
                                 : h.headerSize == 40 && h.compression == 6           ? 16
                                                                                      : 0);
    if (h.bitCount <= 8) {
        const uint32_t most = 1u << h.bitCount;
        if (h.colours > most)
            return Status::Corrupt;
        if (h.colours == 0)
            h.colours = most;
        // A table cut short by the pixel offset holds only what fits.
        if (h.bitsOffset >= tableStart) {
            const uint64_t room = (h.bitsOffset - tableStart) / h.colourBytes;
            if (room < h.colours)
                h.colours = static_cast<uint32_t>(room);
        }
        if (h.colours == 0)
            return Status::Corrupt;
    } else if (h.colours > 256 && h.bitsOffset < tableStart + uint64_t{h.colours} * 4) {
        return Status::Corrupt;
    }
    if (h.bitsOffset < tableStart || h.bitsOffset >= size)
        return Status::Corrupt;

    if (h.HasMasks()) {
        if (h.compression == kBmpRgb) {
            h.masks[0] = 0x7C00;
            h.masks[1] = 0x03E0;
            h.masks[2] = 0x001F;
        } else {
            const uint64_t at = info + (h.headerSize >= 52 ? 40 : h.headerSize);
            const unsigned count = h.compression == 6 || h.headerSize >= 56 ? 4 : 3;
            if (size < at + 4 * count)
                return Status::Corrupt;
            for (unsigned k = 0; k < count; ++k)
                h.masks[k] = Le32(data + at + 4 * k);
        }
        const uint64_t limit = h.bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
        uint32_t seen = 0;
        for (unsigned k = 0; k < 4; ++k) {
            const uint32_t m = h.masks[k];
            if (k == 3 && m == 0)
                continue;
            if (!ContiguousMask(m) || m > limit || (seen & m))
                return Status::Corrupt;
            seen |= m;
        }
    }
    return Status::Ok;
}

Status CheckBmpPixels(const BmpHeader& h, const uint8_t* data, size_t size) {
    const uint8_t* pixels = data + h.bitsOffset;
    const uint8_t* end = data + size;
    if (h.compression == kBmpRle8 || h.compression == kBmpRle4)
        return WalkRle(h, pixels, end);
    const uint64_t stride = DibStride(h.width, h.bitCount);
    // The last row may lack its padding, unless bfSize says the file was
    // longer: then it was cut.
    const uint64_t whole = h.base + uint64_t{h.fileSize};
    const uint64_t need = whole > size
                              ? stride * h.height
                              : stride * (h.height - 1) + (uint64_t{h.width} * h.bitCount + 7) / 8;
    if (need > static_cast<uint64_t>(end - pixels))
        return Status::Corrupt;
    if (h.bitCount <= 8 && h.colours < (1u << h.bitCount)) {
        const unsigned bits = h.bitCount;
        for (uint32_t y = 0; y < h.height; ++y) {
            const uint8_t* row = pixels + stride * y;
            for (uint32_t x = 0; x < h.width; ++x) {
                const unsigned index =
                    bits == 8
                        ? row[x]
                        : (row[x * bits / 8] >> (8 - bits - (x * bits % 8))) & ((1u << bits) - 1);
                if (index >= h.colours)
                    return Status::Corrupt;
            }
        }
    }
    return Status::Ok;
}

Status DecodeBmpBitFields(const BmpHeader& h, const uint8_t* data, size_t size,
                          const BgrView& out) {
    if (!h.HasMasks() || out.width != h.width || out.height != h.height)
        return Status::InvalidArgument;
    Status s = CheckBmpPixels(h, data, size);
    if (!Succeeded(s))
        return s;
    const Channel r = ChannelOf(h.masks[0]), g = ChannelOf(h.masks[1]), b = ChannelOf(h.masks[2]),
                  a = ChannelOf(h.masks[3]);
    const uint64_t stride = DibStride(h.width, h.bitCount);
    const unsigned bytes = h.bitCount / 8;
    for (uint32_t y = 0; y < h.height; ++y) {
        const uint8_t* src = data + h.bitsOffset + stride * (h.topDown ? y : h.height - 1 - y);
        uint8_t* dst = out.Row(y);
        for (uint32_t x = 0; x < h.width; ++x, src += bytes, dst += 3) {
            const uint32_t v = bytes == 2 ? Le16(src) : Le32(src);
            const unsigned alpha = a.bits ? a.Scale(v) : 255;
            dst[0] = OverWhite(b.Scale(v), alpha);
            dst[1] = OverWhite(g.Scale(v), alpha);
            dst[2] = OverWhite(r.Scale(v), alpha);
        }
    }
    return Status::Ok;
}

Status CheckBmpComplete(const uint8_t* data, size_t size) {
    BmpHeader h;
    Status s = ParseBmp(data, size, h);
    return Succeeded(s) ? CheckBmpPixels(h, data, size) : s;
}

} // namespace sky
