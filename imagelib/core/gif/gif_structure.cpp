#include "gif.h"

#include "size_limits.h"

#include <cstring>
#include <vector>

namespace sky {

namespace {

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
            if (!SkipSubBlocks(data, size, pos))
                return Status::Corrupt;
            layout.imageEnd = pos;
            return Status::Ok;
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

bool FollowedByOtherBytes(const uint8_t* data, size_t size, const GifLayout& layout) {
    if (layout.imageEnd == 0 || layout.imageEnd >= size)
        return false;
    const uint8_t next = data[layout.imageEnd];
    return next != 0x21 && next != 0x2C && next != 0x3B;
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

Status CheckGifComplete(const uint8_t* data, size_t size) {
    GifLayout layout;
    Status s = ReadGifLayout(data, size, layout);
    return Succeeded(s) ? CheckGifImage(data, size, layout) : s;
}

} // namespace sky
