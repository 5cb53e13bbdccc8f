#include "jpeg.h"

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

} // namespace sky
