#include "png.h"

#include <array>

namespace sky {

namespace {

uint32_t Be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

} // namespace

Status CheckPngComplete(const uint8_t* p, size_t size) {
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

} // namespace sky
