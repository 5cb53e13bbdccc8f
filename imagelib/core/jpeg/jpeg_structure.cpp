#include "jpeg.h"

#include <algorithm>
#include <cstring>

namespace sky {

Status CheckJpegComplete(const uint8_t* p, size_t size) {
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

bool ReadJpegFrame(const uint8_t* p, size_t size, JpegFrame& frame) {
    size_t pos = 2;
    while (size >= 4 && pos + 4 <= size) {
        if (p[pos] != 0xFF)
            return false;
        const uint8_t marker = p[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        const size_t length = p[pos + 2] << 8 | p[pos + 3];
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || length < 2 ||
            length > size - pos - 2)
            return false;
        const bool sof =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            const uint8_t* f = p + pos + 4;
            if (length < 8 || length < 8 + 3 * size_t{f[5]})
                return false;
            frame.height = f[1] << 8 | f[2];
            frame.width = f[3] << 8 | f[4];
            frame.components = f[5];
            unsigned h = 1, v = 1;
            for (unsigned c = 0; c < frame.components; ++c) {
                h = std::max(h, unsigned(f[7 + 3 * c] >> 4));
                v = std::max(v, unsigned(f[7 + 3 * c] & 15));
            }
            frame.mcuWidth = 8 * h;
            frame.mcuHeight = 8 * v;
            return frame.components > 0;
        }
        pos += 2 + length;
    }
    return false;
}

} // namespace sky
