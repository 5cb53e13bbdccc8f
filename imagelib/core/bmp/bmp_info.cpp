#include "bmp.h"

#include "header_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

Status ReadBmpInfo(HeaderReader& r, PictureInfo& info) {
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

} // namespace sky
