#include "info.h"

#include "size_limits.h"
#include "pcx.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace sky {

size_t MemorySource::ReadAt(uint64_t offset, void* buffer, size_t length) {
    if (offset >= size_)
        return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(length, size_ - offset));
    std::memcpy(buffer, data_ + offset, n);
    return n;
}

namespace {

// Reads header fields: the first KiB at once, further bytes within the budget.
class HeaderReader {
public:
    explicit HeaderReader(ByteSource& source) : source_(source), size_(source.Size()) {
        headLength_ = source_.ReadAt(0, head_, sizeof head_);
        spent_ = headLength_;
    }

    uint64_t Size() const { return size_; }
    const uint8_t* Head() const { return head_; }
    size_t HeadLength() const { return headLength_; }

    bool Read(uint64_t offset, void* dst, size_t length) {
        if (offset > size_ || length > size_ - offset)
            return false;
        if (offset + length <= headLength_) {
            std::memcpy(dst, head_ + offset, length);
            return true;
        }
        if (length > kInfoReadBudget - spent_)
            return false;
        spent_ += length;
        return source_.ReadAt(offset, dst, length) == length;
    }

    bool U8(uint64_t offset, unsigned& v) {
        uint8_t b;
        if (!Read(offset, &b, 1))
            return false;
        v = b;
        return true;
    }
    bool U16(uint64_t offset, bool bigEndian, unsigned& v) {
        uint8_t b[2];
        if (!Read(offset, b, 2))
            return false;
        v = bigEndian ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]);
        return true;
    }
    bool U32(uint64_t offset, bool bigEndian, uint32_t& v) {
        uint8_t b[4];
        if (!Read(offset, b, 4))
            return false;
        v = bigEndian ? (uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3])
                      : (uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0]);
        return true;
    }

private:
    ByteSource& source_;
    uint64_t size_;
    uint8_t head_[kInfoHeadBytes];
    size_t headLength_ = 0;
    size_t spent_ = 0;
};

std::string Describe(std::string_view name, unsigned bpp, std::string_view kind,
                     std::string_view extra = {}) {
    std::string s(name);
    s += ' ';
    s += std::to_string(bpp);
    s += "-bit";
    if (!kind.empty()) {
        s += ' ';
        s += kind;
    }
    if (!extra.empty() && s.size() + 2 + extra.size() <= kDescriptionMax) {
        s += ", ";
        s += extra;
    }
    if (s.size() > kDescriptionMax)
        s.resize(kDescriptionMax);
    return s;
}

// A readable header whose size is out of range still reports its fields.
Status SizeStatus(const PictureInfo& info) {
    return CheckPictureSize(info.width, info.height);
}

Status ReadBmp(HeaderReader& r, PictureInfo& info) {
    uint64_t base = 0;
    std::string_view name = "BMP";
    if (r.HeadLength() >= 2 && r.Head()[0] == 'B' && r.Head()[1] == 'A') {
        // OS/2 bitmap array: the first bitmap's file header follows.
        base = 14;
        name = "OS/2 BMP";
    }
    uint8_t magic[2];
    uint32_t headerSize;
    if (!r.Read(base, magic, 2) || !r.U32(base + 14, false, headerSize))
        return Status::Corrupt;
    if (magic[0] != 'B' || magic[1] != 'M')
        return Status::UnknownFormat;
    const uint64_t h = base + 14;
    unsigned bits = 0, planes = 0;
    uint32_t compression = 0, coloursUsed = 0;
    if (headerSize == 12) {
        name = "OS/2 BMP";
        unsigned w, hh;
        if (!r.U16(h + 4, false, w) || !r.U16(h + 6, false, hh) || !r.U16(h + 8, false, planes) ||
            !r.U16(h + 10, false, bits))
            return Status::Corrupt;
        info.width = w;
        info.height = hh;
    } else if (headerSize >= 16) {
        uint32_t w, hh;
        if (!r.U32(h + 4, false, w) || !r.U32(h + 8, false, hh) || !r.U16(h + 12, false, planes) ||
            !r.U16(h + 14, false, bits))
            return Status::Corrupt;
        if (headerSize >= 20 && !r.U32(h + 16, false, compression))
            return Status::Corrupt;
        if (headerSize >= 36 && !r.U32(h + 32, false, coloursUsed))
            return Status::Corrupt;
        if (headerSize == 16 || headerSize == 64)
            name = "OS/2 BMP";
        auto sw = static_cast<int32_t>(w), sh = static_cast<int32_t>(hh);
        info.width = static_cast<uint32_t>(sw);
        // Negative height: top-down rows.
        info.height = sh < 0 ? 0u - static_cast<uint32_t>(sh) : static_cast<uint32_t>(sh);
        if (sw <= 0)
            return Status::Corrupt;
    } else {
        return Status::Corrupt;
    }
    info.bits = bits;
    info.planes = 1;
    if (bits <= 8 && bits > 0)
        info.colours = coloursUsed > 0 && coloursUsed < (1u << bits) ? coloursUsed : 1u << bits;
    else
        info.colours = std::min<uint32_t>(coloursUsed, 256);

    std::string_view kind = bits <= 8 ? "palette" : "RGB";
    std::string_view extra;
    switch (compression) {
    case 1:
        extra = "RLE8";
        break;
    case 2:
        extra = "RLE4";
        break;
    case 3:
        extra = bits == 1 ? "Huffman" : "bit fields";
        break;
    case 4:
        extra = bits == 24 ? "RLE24" : "JPEG";
        break;
    case 5:
        extra = "PNG";
        break;
    case 6:
        extra = "alpha bit fields";
        break;
    default:
        break;
    }
    info.description = Describe(name, bits, kind, extra);
    if (planes != 1 || compression > 6)
        return Status::Unsupported;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32 &&
        !(bits == 0 && (compression == 4 || compression == 5)))
        return Status::Unsupported;
    return SizeStatus(info);
}

Status ReadGif(HeaderReader& r, PictureInfo& info) {
    unsigned w, h, flags;
    if (!r.U16(6, false, w) || !r.U16(8, false, h) || !r.U8(10, flags))
        return Status::Corrupt;
    info.width = w;
    info.height = h;
    info.planes = 1;
    const bool global = flags & 0x80;
    const unsigned globalBits = (flags & 7) + 1;
    info.bits = global ? globalBits : 0;
    info.colours = global ? 1u << globalBits : 0;
    const std::string_view version(reinterpret_cast<const char*>(r.Head()), 6);
    info.description = Describe(version, info.bits, {});

    // Walk the blocks to the first image, which may have its own table.
    uint64_t pos = 13 + (global ? 3ull << globalBits : 0);
    bool transparent = false;
    for (;;) {
        unsigned kind;
        if (!r.U8(pos, kind))
            return SizeStatus(info);
        if (kind == 0x21) {
            unsigned label;
            if (!r.U8(pos + 1, label))
                return SizeStatus(info);
            pos += 2;
            unsigned length = 0;
            bool first = true, ok;
            while ((ok = r.U8(pos, length)) && length > 0) {
                unsigned packed;
                if (first && label == 0xF9 && length >= 4 && r.U8(pos + 1, packed))
                    transparent = packed & 1;
                first = false;
                pos += 1 + length;
            }
            if (!ok)
                return SizeStatus(info);
            ++pos;
        } else if (kind == 0x2C) {
            unsigned imageFlags, codeSize;
            if (!r.U8(pos + 9, imageFlags))
                return SizeStatus(info);
            // Without a logical screen the reader shows the frame alone.
            if (info.width == 0 || info.height == 0) {
                if (!r.U16(pos + 5, false, w) || !r.U16(pos + 7, false, h))
                    return Status::Corrupt;
                info.width = w;
                info.height = h;
            }
            const unsigned localBits = (imageFlags & 7) + 1;
            if (imageFlags & 0x80) {
                info.bits = localBits;
                info.colours = 1u << localBits;
            } else if (!global) {
                if (!r.U8(pos + 10, codeSize))
                    return SizeStatus(info);
                info.bits = codeSize;
            }
            std::string extra = imageFlags & 0x40 ? "interlaced" : "";
            if (transparent)
                extra = extra.empty() ? "transparent" : "interl., transp.";
            info.description = Describe(version, info.bits, {}, extra);
            return SizeStatus(info);
        } else {
            // Trailer or garbage before any image.
            return Status::Corrupt;
        }
    }
}

Status ReadJpeg(HeaderReader& r, PictureInfo& info) {
    uint64_t pos = 2;
    for (;;) {
        unsigned b;
        if (!r.U8(pos, b))
            return Status::Corrupt;
        // Skip stray bytes between segments, as decoders do.
        while (b != 0xFF) {
            if (!r.U8(++pos, b))
                return Status::Corrupt;
        }
        unsigned marker;
        do {
            if (!r.U8(++pos, marker))
                return Status::Corrupt;
        } while (marker == 0xFF);
        ++pos;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0)
            return Status::Corrupt;
        unsigned length;
        if (!r.U16(pos, true, length) || length < 2)
            return Status::Corrupt;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            pos += length;
            continue;
        }
        unsigned precision, h, w, components;
        if (length < 8 || !r.U8(pos + 2, precision) || !r.U16(pos + 3, true, h) ||
            !r.U16(pos + 5, true, w) || !r.U8(pos + 7, components))
            return Status::Corrupt;
        info.width = w;
        info.height = h;
        info.bits = precision;
        info.planes = components;
        static constexpr const char* kProcess[16] = {
            "baseline", "extended",     "progressive",  "lossless",
            "",         "hierarchical", "hierarchical", "hierarchical",
            "",         "arithmetic",   "arith. prog.", "arith. lossless",
            "",         "hierarchical", "hierarchical", "hierarchical"};
        std::string_view kind = components == 1 ? "grey" : components == 4 ? "CMYK" : "";
        info.description = Describe("JPEG", precision * components, kind, kProcess[marker & 15]);
        const unsigned process = marker & 15;
        info.rareVariant = precision != 8 || process == 3 || process == 11 ||
                           (process >= 5 && process <= 7) || process >= 13;
        if (components == 0 || precision == 0)
            return Status::Corrupt;
        return SizeStatus(info);
    }
}

Status ReadPng(HeaderReader& r, PictureInfo& info) {
    uint32_t length, type, w, h;
    unsigned depth, colourType, interlace;
    if (!r.U32(8, true, length) || !r.U32(12, true, type) || !r.U32(16, true, w) ||
        !r.U32(20, true, h) || !r.U8(24, depth) || !r.U8(25, colourType) || !r.U8(28, interlace))
        return Status::Corrupt;
    if (type != 0x49484452 || length != 13) // IHDR
        return Status::Corrupt;
    info.width = w;
    info.height = h;
    info.bits = depth;
    std::string_view kind;
    bool depthOk = false;
    switch (colourType) {
    case 0:
        info.planes = 1;
        kind = "grey";
        depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        break;
    case 2:
        info.planes = 3;
        kind = "RGB";
        depthOk = depth == 8 || depth == 16;
        break;
    case 3:
        info.planes = 1;
        kind = "palette";
        depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8;
        break;
    case 4:
        info.planes = 2;
        kind = "grey+alpha";
        depthOk = depth == 8 || depth == 16;
        break;
    case 6:
        info.planes = 4;
        kind = "RGBA";
        depthOk = depth == 8 || depth == 16;
        break;
    default:
        info.planes = 1;
        break;
    }
    const unsigned bpp = info.bits * info.planes;
    std::string extra = interlace ? "interlaced" : "";
    if (interlace && Describe("PNG", bpp, kind, extra).size() == Describe("PNG", bpp, kind).size())
        extra = "Adam7";
    info.description = Describe("PNG", bpp, kind, extra);
    if (!depthOk || interlace > 1 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return Status::Corrupt;

    // The palette chunk comes before the first IDAT.
    uint64_t pos = 33;
    while (r.U32(pos, true, length) && r.U32(pos + 4, true, type)) {
        if (type == 0x504C5445) { // PLTE
            info.colours = length / 3;
            break;
        }
        if (type == 0x49444154 || type == 0x49454E44) // IDAT, IEND
            break;
        pos += uint64_t{length} + 12;
    }
    return SizeStatus(info);
}

Status ReadTiff(HeaderReader& r, PictureInfo& info) {
    const bool big = r.Head()[0] == 'M';
    unsigned version;
    uint32_t ifd;
    if (!r.U16(2, big, version) || !r.U32(4, big, ifd))
        return Status::Corrupt;
    info.planes = 1;
    if (version == 43) {
        info.description = "BigTIFF";
        return Status::Unsupported;
    }
    unsigned count;
    if (!r.U16(ifd, big, count) || count == 0)
        return Status::Corrupt;

    uint32_t width = 0, height = 0, compression = 1, photometric = 0xFFFF, samples = 1;
    uint32_t bitsCount = 0, bitsType = 3, colourMapCount = 0;
    uint64_t bitsValueOrOffset = 0;
    bool haveWidth = false, haveHeight = false, tiled = false;
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t e = uint64_t{ifd} + 2 + 12ull * i;
        unsigned tag, type;
        uint32_t n, raw;
        if (!r.U16(e, big, tag) || !r.U16(e + 2, big, type) || !r.U32(e + 4, big, n) ||
            !r.U32(e + 8, big, raw))
            return Status::Corrupt;
        // A single SHORT sits in the first two bytes of the value field.
        uint32_t value = raw;
        if (type == 3 && !r.U16(e + 8, big, version))
            return Status::Corrupt;
        if (type == 3)
            value = version;
        switch (tag) {
        case 256:
            width = value;
            haveWidth = true;
            break;
        case 257:
            height = value;
            haveHeight = true;
            break;
        case 258:
            bitsCount = n;
            bitsType = type;
            bitsValueOrOffset = uint64_t{n} * (type == 3 ? 2 : 4) <= 4 ? e + 8 : raw;
            break;
        case 259:
            compression = value;
            break;
        case 262:
            photometric = value;
            break;
        case 277:
            samples = value;
            break;
        case 320:
            colourMapCount = n / 3;
            break;
        case 322:
            tiled = true;
            break;
        default:
            break;
        }
    }
    if (!haveWidth || !haveHeight)
        return Status::Corrupt;
    info.width = width;
    info.height = height;

    // Bits per sample: one value for all samples, or one per sample.
    unsigned first = 1, sum = 0;
    bool same = true;
    if (bitsCount == 0) {
        sum = samples;
    } else {
        const unsigned size = bitsType == 3 ? 2 : 4;
        const uint32_t n = std::min<uint32_t>(bitsCount, samples);
        if (samples > 64)
            return Status::Corrupt;
        for (uint32_t i = 0; i < n; ++i) {
            unsigned v;
            uint32_t v32;
            if (size == 2 ? !r.U16(bitsValueOrOffset + 2ull * i, big, v)
                          : !r.U32(bitsValueOrOffset + 4ull * i, big, v32))
                return Status::Corrupt;
            if (size == 4)
                v = v32 > 0xFFFF ? 0xFFFF : v32;
            if (i == 0)
                first = v;
            same = same && v == first;
            sum += v;
        }
        if (n < samples)
            sum += first * (samples - n);
    }
    if (same) {
        info.bits = first;
        info.planes = samples;
    } else {
        info.bits = sum;
        info.planes = 1;
    }
    info.colours = colourMapCount;

    std::string_view kind;
    switch (photometric) {
    case 0:
    case 1:
        kind = sum == 1 ? "bilevel" : "grey";
        break;
    case 2:
        kind = samples >= 4 ? "RGBA" : "RGB";
        break;
    case 3:
        kind = "palette";
        break;
    case 5:
        kind = "CMYK";
        break;
    case 6:
        kind = "YCbCr";
        break;
    case 8:
        kind = "Lab";
        break;
    default:
        break;
    }
    std::string_view extra;
    switch (compression) {
    case 2:
        extra = "CCITT RLE";
        break;
    case 3:
        extra = "G3 fax";
        break;
    case 4:
        extra = "G4 fax";
        break;
    case 5:
        extra = "LZW";
        break;
    case 6:
        extra = "old JPEG";
        break;
    case 7:
        extra = "JPEG";
        break;
    case 8:
    case 32946:
        extra = "Deflate";
        break;
    case 32773:
        extra = "PackBits";
        break;
    case 32809:
        extra = "ThunderScan";
        break;
    default:
        extra = tiled ? "tiled" : "";
        break;
    }
    info.description = Describe("TIFF", sum, kind, extra);
    info.rareVariant =
        !(compression <= 5 || compression == 8 || compression == 32773 || compression == 32946);
    return SizeStatus(info);
}

Status ReadPcx(HeaderReader& r, PictureInfo& info) {
    uint8_t raw[PcxHeader::kSize];
    if (!r.Read(0, raw, sizeof raw))
        return Status::Corrupt;
    PcxHeader h;
    Status s = ParsePcxHeader(raw, sizeof raw, h);
    if (s == Status::UnknownFormat || h.planes == 0)
        return s;
    info.width = h.Width();
    info.height = h.Height();
    info.bits = h.bitsPerPlane;
    info.planes = h.planes;
    const unsigned bpp = h.BitsPerPixel();
    std::string extra;
    if (h.TrueColour()) {
        info.colours = 0;
    } else if (bpp <= 4) {
        info.colours = 1u << bpp;
    } else {
        uint8_t marker = 0;
        const uint64_t size = r.Size();
        if (size >= 769 + PcxHeader::kSize && r.Read(size - 769, &marker, 1) &&
            PcxHasEndPalette(h, &marker, size))
            info.colours = 256;
    }
    if (h.planes > 1 && !h.TrueColour())
        extra = std::to_string(h.planes) + " planes";
    else if (info.colours > 0)
        extra = std::to_string(info.colours) + " colours";
    if (h.encoding == 0)
        extra = extra.empty() ? "raw" : extra + " raw";
    info.description = Describe("PCX", bpp, {}, extra);
    return s;
}

} // namespace

Status ReadPictureInfo(ByteSource& source, PictureInfo& info) {
    info = PictureInfo{};
    HeaderReader reader(source);
    info.format = SniffFormat(reader.Head(), reader.HeadLength());
    switch (info.format) {
    case Format::Bmp:
        return ReadBmp(reader, info);
    case Format::Gif:
        return ReadGif(reader, info);
    case Format::Jpeg:
        return ReadJpeg(reader, info);
    case Format::Png:
        return ReadPng(reader, info);
    case Format::Tiff:
        return ReadTiff(reader, info);
    case Format::Pcx:
        return ReadPcx(reader, info);
    case Format::Unknown:
        break;
    }
    return reader.HeadLength() == 0 ? Status::Corrupt : Status::UnknownFormat;
}

} // namespace sky
