#include "format.h"

#include "pcx.h"

#include <cstring>

namespace sky {

Format SniffFormat(const uint8_t* p, size_t n) {
    auto starts = [&](const char* magic, size_t len) {
        return n >= len && std::memcmp(p, magic, len) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n", 8))
        return Format::Png;
    if (starts("\xff\xd8\xff", 3))
        return Format::Jpeg;
    if (starts("GIF87a", 6) || starts("GIF89a", 6))
        return Format::Gif;
    if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4))
        return Format::Tiff;
    if (starts("BM", 2) || starts("BA", 2))
        return Format::Bmp;
    if (LooksLikePcx(p, n))
        return Format::Pcx;
    return Format::Unknown;
}

const char* FormatName(Format format) {
    switch (format) {
    case Format::Bmp:
        return "BMP";
    case Format::Gif:
        return "GIF";
    case Format::Jpeg:
        return "JPEG";
    case Format::Pcx:
        return "PCX";
    case Format::Png:
        return "PNG";
    case Format::Tiff:
        return "TIFF";
    case Format::Unknown:
        break;
    }
    return "";
}

} // namespace sky
