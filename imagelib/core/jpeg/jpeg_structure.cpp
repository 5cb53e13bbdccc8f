#include "jpeg.h"

#include <algorithm>
#include <cstring>

namespace sky {

namespace {

// Walks the markers after SOI, calling `segment(marker, at, length)` for
// every segment with a length, `at` where its length field starts; the segment
// returning false ends the walk. Corrupt where the structure breaks; Ok at
// EOI, or with entropy-coded data running to the end.
template <typename Segment> Status WalkJpeg(const uint8_t* p, size_t size, Segment segment) {
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
        if (IsFrameMarker(marker) && ++frames > 1)
            return Status::Corrupt;
        if (marker == 0xDA) {
            if (frames == 0)
                return Status::Corrupt;
            ++scans;
        }
        if (!segment(marker, pos, length))
            return Status::Ok;
        pos += length;
    }
    return scans > 0 ? Status::Ok : Status::Corrupt;
}

bool Names(const uint8_t* id, const char* names) {
    return id[0] == names[0] && id[3] == names[1] && id[6] == names[2];
}

} // namespace

Status CheckJpegComplete(const uint8_t* p, size_t size) {
    return WalkJpeg(p, size, [](uint8_t, size_t, size_t) { return true; });
}

bool ReadJpegFrame(const uint8_t* p, size_t size, JpegFrame& frame) {
    bool found = false;
    WalkJpeg(p, size, [&](uint8_t marker, size_t at, size_t length) {
        const uint8_t* f = p + at + 2;
        if (marker == 0xE0 && length >= 7 && std::memcmp(f, "JFIF", 5) == 0)
            frame.jfif = true;
        if (marker == 0xEE && length >= 14 && std::memcmp(f, "Adobe", 5) == 0)
            frame.adobeTransform = f[11];
        if (IsFrameMarker(marker) && length >= 8 && length >= 8 + 3 * size_t{f[5]}) {
            frame.height = f[1] << 8 | f[2];
            frame.width = f[3] << 8 | f[4];
            frame.components = f[5];
            unsigned h = 1, v = 1;
            for (unsigned c = 0; c < frame.components; ++c) {
                h = std::max(h, unsigned(f[7 + 3 * c] >> 4));
                v = std::max(v, unsigned(f[7 + 3 * c] & 15));
                frame.subsampled = frame.subsampled || f[7 + 3 * c] != f[7];
            }
            frame.mcuWidth = 8 * h;
            frame.mcuHeight = 8 * v;
            frame.rgbNames = frame.components == 3 && Names(f + 6, "RGB");
            found = frame.components > 0;
        }
        return marker != 0xDA;
    });
    return found;
}

namespace {

// Whether a three-component stream holds RGB rather than YCbCr.
bool HoldsRgb(const JpegFrame& frame, bool fileSaysRgb) {
    if (frame.components != 3 || frame.jfif)
        return false;
    if (frame.adobeTransform >= 0)
        return frame.adobeTransform == 0;
    return frame.rgbNames || (fileSaysRgb && !frame.subsampled);
}

// Names the three components R, G, B or 1, 2, 3 in the frame header and in
// every scan header; false where their names are not all different.
bool NameComponents(uint8_t* p, size_t size, bool rgb) {
    const char* names = rgb ? "RGB" : "\x01\x02\x03";
    uint8_t before[3] = {};
    bool named = false;
    WalkJpeg(p, size, [&](uint8_t marker, size_t at, size_t length) {
        uint8_t* f = p + at + 2;
        if (IsFrameMarker(marker) && length >= 17 && f[5] == 3) {
            // Scans could not tell components of one name apart.
            if (f[6] == f[9] || f[6] == f[12] || f[9] == f[12])
                return false;
            for (int c = 0; c < 3; ++c) {
                before[c] = f[6 + 3 * c];
                f[6 + 3 * c] = uint8_t(names[c]);
            }
            named = true;
        }
        if (marker == 0xDA && length >= 3 && length >= 3 + 2 * size_t{f[0]})
            for (unsigned k = 0; k < f[0]; ++k)
                for (int c = 0; c < 3; ++c)
                    if (f[1 + 2 * k] == before[c]) {
                        f[1 + 2 * k] = uint8_t(names[c]);
                        break;
                    }
        return true;
    });
    return named;
}

} // namespace

bool NameJpegColours(const uint8_t* data, size_t size, bool fileSaysRgb,
                     std::vector<uint8_t>& copy) {
    JpegFrame frame;
    if (!ReadJpegFrame(data, size, frame) || frame.components != 3)
        return false;
    const bool rgb = HoldsRgb(frame, fileSaysRgb);
    if (rgb == frame.rgbNames)
        return false;
    copy.assign(data, data + size);
    return NameComponents(copy.data(), copy.size(), rgb);
}

} // namespace sky
