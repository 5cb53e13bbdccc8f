#include "structure.h"

#include "bmp.h"
#include "size_limits.h"
#include "tiff_bytes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace sky {

namespace {

uint32_t Be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

Status CheckBmp(const uint8_t* data, size_t size) {
    BmpHeader h;
    Status s = ParseBmp(data, size, h);
    return Succeeded(s) ? CheckBmpPixels(h, data, size) : s;
}

// Skips a chain of GIF sub-blocks at `pos`; false when the data ends first.
bool SkipSubBlocks(const uint8_t* data, size_t size, size_t& pos) {
    while (pos < size) {
        const size_t length = data[pos++];
        if (length == 0)
            return true;
        if (length > size - pos)
            return false;
        pos += length;
    }
    return false;
}

Status CheckJpeg(const uint8_t* p, size_t size) {
    size_t pos = 2;
    int frames = 0, scans = 0;
    while (pos < size) {
        if (p[pos] != 0xFF) {
            // Entropy-coded data after a scan header runs to the next marker.
            if (scans == 0)
                return Status::Corrupt;
            const void* next = std::memchr(p + pos, 0xFF, size - pos);
            if (!next)
                return Status::Ok; // data to the end; the decoder judges it
            pos = static_cast<size_t>(static_cast<const uint8_t*>(next) - p);
            continue;
        }
        while (pos < size && p[pos] == 0xFF)
            ++pos;
        if (pos == size)
            break;
        const uint8_t marker = p[pos++];
        if (marker == 0 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue; // stuffed byte, restart marker, TEM
        if (marker == 0xD9)
            return scans > 0 ? Status::Ok : Status::Corrupt;
        if (marker == 0xD8)
            return Status::Corrupt;
        if (size - pos < 2)
            return Status::Corrupt;
        const size_t length = p[pos] << 8 | p[pos + 1];
        if (length < 2 || length > size - pos)
            return Status::Corrupt;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && ++frames > 1)
            return Status::Corrupt;
        if (marker == 0xDA) {
            if (frames == 0)
                return Status::Corrupt;
            ++scans;
        }
        pos += length;
    }
    return scans > 0 ? Status::Ok : Status::Corrupt;
}

Status CheckPng(const uint8_t* p, size_t size) {
    size_t pos = 8;
    bool header = false, data = false;
    while (pos < size) {
        if (size - pos < 12)
            return Status::Corrupt;
        const uint32_t length = Be32(p + pos);
        const uint32_t type = Be32(p + pos + 4);
        if (length > 0x7FFFFFFF || length > size - pos - 12)
            return Status::Corrupt;
        if (!header && (type != 0x49484452 || length != 13)) // IHDR first
            return Status::Corrupt;
        // A damaged ancillary chunk is skipped by decoders; a critical one is not.
        const bool critical = !(type & 0x20000000);
        if (critical && Crc32(p + pos + 4, 4 + size_t{length}) != Be32(p + pos + 8 + length))
            return Status::Corrupt;
        header = true;
        if (type == 0x49444154) // IDAT
            data = true;
        if (type == 0x49454E44) // IEND
            return data ? Status::Ok : Status::Corrupt;
        pos += 12 + size_t{length};
    }
    return Status::Corrupt;
}

Status CheckTiff(const uint8_t* data, size_t size) {
    const TiffBytes b(data, size, data[0] == 'M');
    if (size < 8)
        return Status::Corrupt;
    if (b.U16(2) != 42)
        return Status::Unsupported; // BigTIFF
    // Every directory in the main chain and the SubIFD chains, once.
    std::vector<uint32_t> seen, pending = {b.U32(4)};
    bool first = true;
    while (!pending.empty()) {
        uint32_t ifd = pending.back();
        pending.pop_back();
        while (ifd != 0) {
            if (std::find(seen.begin(), seen.end(), ifd) != seen.end())
                return Status::Corrupt; // a loop
            // A directory pointer past the end: the file is cut short.
            if (seen.size() > 4096 || !b.Has(ifd, 2))
                return Status::Corrupt;
            seen.push_back(ifd);
            const uint32_t count = b.U16(ifd);
            if (count == 0 || !b.Has(ifd + 2, 12ull * count + 4))
                return Status::Corrupt;
            uint32_t offsetsTag = 0, offsetsCount = 0, offsetsType = 0, offsetsAt = 0;
            uint32_t countsCount = 0, countsType = 0, countsAt = 0;
            uint32_t tileWidth = 0, tileLength = 0;
            for (uint32_t i = 0; i < count; ++i) {
                const uint64_t e = ifd + 2 + 12ull * i;
                const uint32_t tag = b.U16(e), type = b.U16(e + 2), n = b.U32(e + 4);
                const unsigned unit = type == 3 ? 2 : type == 4 || type == 13 ? 4 : 0;
                const uint64_t at = uint64_t{n} * unit <= 4 ? e + 8 : b.U32(e + 8);
                // Values stored elsewhere, and sub-directories, must be in the file.
                static constexpr unsigned kTypeSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
                const uint64_t bytes = type < 14 ? uint64_t{n} * kTypeSize[type] : 0;
                if (bytes > 4 && !b.Has(b.U32(e + 8), bytes))
                    return Status::Corrupt;
                // Exif, GPS and interoperability directories are walked too.
                if ((tag == 34665 || tag == 34853 || tag == 40965) && n == 1)
                    pending.push_back(b.U32(e + 8));
                if ((tag == 322 || tag == 323) && unit && n == 1)
                    (tag == 322 ? tileWidth : tileLength) = unit == 2 ? b.U16(e + 8) : b.U32(e + 8);
                if ((tag == 273 || tag == 324) && unit) {
                    offsetsTag = tag;
                    offsetsCount = n;
                    offsetsType = type;
                    offsetsAt = static_cast<uint32_t>(at);
                } else if ((tag == 279 || tag == 325) && unit) {
                    countsCount = n;
                    countsType = type;
                    countsAt = static_cast<uint32_t>(at);
                } else if (tag == 330 && unit == 4 && b.Has(at, 4ull * n)) {
                    for (uint32_t k = 0; k < n && k < 64; ++k)
                        pending.push_back(b.U32(at + 4ull * k));
                }
            }
            if (first) {
                // A decoder holds a whole tile.
                if ((tileWidth || tileLength) &&
                    CheckPictureSize(std::max(tileWidth, 1u), std::max(tileLength, 1u)) ==
                        Status::TooLarge)
                    return Status::TooLarge;
                // The first picture's strips or tiles must all be in the file.
                if (!offsetsTag)
                    return Status::Corrupt;
                const unsigned ou = offsetsType == 3 ? 2 : 4, cu = countsType == 3 ? 2 : 4;
                if (!b.Has(offsetsAt, uint64_t{offsetsCount} * ou) ||
                    (countsCount && !b.Has(countsAt, uint64_t{countsCount} * cu)))
                    return Status::Corrupt;
                const uint32_t n = countsCount ? std::min(offsetsCount, countsCount) : 0;
                for (uint32_t k = 0; k < n; ++k) {
                    const uint32_t o =
                        ou == 2 ? b.U16(offsetsAt + 2ull * k) : b.U32(offsetsAt + 4ull * k);
                    const uint32_t c =
                        cu == 2 ? b.U16(countsAt + 2ull * k) : b.U32(countsAt + 4ull * k);
                    if (!b.Has(o, c))
                        return Status::Corrupt;
                }
                first = false;
            }
            ifd = b.U32(ifd + 2 + 12ull * count);
        }
    }
    return Status::Ok;
}

} // namespace

Status ReadGifLayout(const uint8_t* data, size_t size, GifLayout& layout) {
    if (size < 13)
        return Status::Corrupt;
    layout.screenWidth = data[6] | data[7] << 8;
    layout.screenHeight = data[8] | data[9] << 8;
    size_t pos = 13;
    unsigned globalColours = 0;
    if (data[10] & 0x80) {
        globalColours = 1u << ((data[10] & 7) + 1);
        pos += size_t{3} * globalColours;
        if (pos > size)
            return Status::Corrupt;
        if (data[11] < globalColours) {
            layout.hasBackground = true;
            std::memcpy(layout.background, data + 13 + size_t{3} * data[11], 3);
        }
    }
    layout.colours = globalColours;
    while (pos < size) {
        const uint8_t kind = data[pos++];
        if (kind == 0x21) {
            if (pos == size)
                return Status::Corrupt;
            ++pos; // label
            if (!SkipSubBlocks(data, size, pos))
                return Status::Corrupt;
        } else if (kind == 0x2C) {
            if (size - pos < 9)
                return Status::Corrupt;
            const uint8_t* d = data + pos;
            layout.left = d[0] | d[1] << 8;
            layout.top = d[2] | d[3] << 8;
            layout.width = d[4] | d[5] << 8;
            layout.height = d[6] | d[7] << 8;
            pos += 9;
            if (d[8] & 0x80) {
                layout.colours = 1u << ((d[8] & 7) + 1);
                pos += size_t{3} * layout.colours;
            }
            if (pos >= size)
                return Status::Corrupt;
            if (layout.colours == 0) {
                layout.colours = 2u << (data[10] & 7);
                layout.blackTable = true;
            }
            layout.imageData = pos;
            const unsigned codeSize = data[pos++];
            if (codeSize < 1 || codeSize > 11)
                return Status::Corrupt;
            // The walk grows with the frame: its size is checked first.
            const Status s = CheckPictureSize(layout.width, layout.height);
            if (!Succeeded(s))
                return s;
            return SkipSubBlocks(data, size, pos) ? Status::Ok : Status::Corrupt;
        } else {
            return Status::Corrupt; // trailer before any image, or garbage
        }
    }
    return Status::Corrupt;
}

std::vector<uint8_t> WithBlackGlobalTable(const uint8_t* data, size_t size,
                                          const GifLayout& layout) {
    if (!layout.blackTable || size < 13)
        return {data, data + size};
    std::vector<uint8_t> out(data, data + 13);
    out[10] |= 0x80;
    out.resize(13 + size_t{3} * layout.colours, 0);
    out.insert(out.end(), data + 13, data + size);
    return out;
}

namespace {

// Reads LZW codes across a GIF's sub-blocks.
class CodeReader {
public:
    CodeReader(const uint8_t* data, size_t size, size_t pos)
        : data_(data), size_(size), pos_(pos) {}

    // False when the block chain ends (or the file does).
    bool Next(unsigned bits, unsigned& code) {
        while (count_ < bits) {
            if (left_ == 0) {
                if (pos_ >= size_ || data_[pos_] == 0)
                    return false;
                left_ = data_[pos_++];
                if (left_ > size_ - pos_)
                    return false;
            }
            buffer_ |= uint32_t{data_[pos_++]} << count_;
            --left_;
            count_ += 8;
        }
        code = buffer_ & ((1u << bits) - 1);
        buffer_ >>= bits;
        count_ -= bits;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_;
    unsigned left_ = 0;
    uint32_t buffer_ = 0;
    unsigned count_ = 0;
};

} // namespace

Status CheckGifImage(const uint8_t* data, size_t size, const GifLayout& layout) {
    if (layout.imageData >= size)
        return Status::Corrupt;
    const unsigned minimum = data[layout.imageData];
    if (minimum < 1 || minimum > 11)
        return Status::Corrupt;
    const uint64_t pixels = uint64_t{layout.width} * layout.height;
    const unsigned clear = 1u << minimum, end = clear + 1;
    // Each table entry: its prefix code, its first and last index.
    std::vector<uint16_t> prefix(4096);
    std::vector<uint8_t> first(4096), last(4096);
    for (unsigned i = 0; i < clear; ++i)
        first[i] = last[i] = static_cast<uint8_t>(i);
    auto validIndex = [&](unsigned index) { return index < layout.colours; };

    CodeReader reader(data, size, layout.imageData + 1);
    unsigned bits = minimum + 1, next = clear + 2, previous = 4096;
    uint64_t produced = 0;
    unsigned code;
    while (produced < pixels && reader.Next(bits, code)) {
        if (code == clear) {
            bits = minimum + 1;
            next = clear + 2;
            previous = 4096;
            continue;
        }
        if (code == end)
            break;
        if (code > next || (code == next && previous == 4096) ||
            (code >= clear && code < clear + 2))
            return Status::Corrupt;
        // Walk the string back to front: only its length and indices matter.
        unsigned length = 0;
        for (unsigned c = code == next ? previous : code;; c = prefix[c]) {
            if (!validIndex(last[c]))
                return Status::Corrupt;
            ++length;
            if (c < clear)
                break;
        }
        if (code == next) {
            ++length; // previous string plus its own first index
            if (!validIndex(first[previous]))
                return Status::Corrupt;
        }
        produced += length;
        if (previous != 4096 && next < 4096) {
            prefix[next] = static_cast<uint16_t>(previous);
            first[next] = first[previous];
            last[next] = first[code == next ? previous : code];
            ++next;
            if (next == (1u << bits) && bits < 12)
                ++bits;
        }
        previous = code;
    }
    return produced >= pixels ? Status::Ok : Status::Corrupt;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    // Slicing by four.
    static const auto table = [] {
        std::array<std::array<uint32_t, 256>, 4> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n)
            for (int k = 1; k < 4; ++k)
                t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        c ^= uint32_t{data[i]} | uint32_t{data[i + 1]} << 8 | uint32_t{data[i + 2]} << 16 |
             uint32_t{data[i + 3]} << 24;
        c = table[3][c & 0xFF] ^ table[2][(c >> 8) & 0xFF] ^ table[1][(c >> 16) & 0xFF] ^
            table[0][c >> 24];
    }
    for (; i < size; ++i)
        c = table[0][(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

Status CheckComplete(Format format, const uint8_t* data, size_t size) {
    switch (format) {
    case Format::Bmp:
        return CheckBmp(data, size);
    case Format::Gif: {
        GifLayout layout;
        Status s = ReadGifLayout(data, size, layout);
        return Succeeded(s) ? CheckGifImage(data, size, layout) : s;
    }
    case Format::Jpeg:
        return CheckJpeg(data, size);
    case Format::Png:
        return CheckPng(data, size);
    case Format::Tiff:
        return CheckTiff(data, size);
    case Format::Pcx:
        return Status::Ok; // the PCX reader checks as it decodes
    case Format::Unknown:
        break;
    }
    return Status::UnknownFormat;
}

} // namespace sky
