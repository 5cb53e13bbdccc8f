#include "png.h"

#include "header_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

Status ReadPngInfo(HeaderReader& r, PictureInfo& info) {
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

} // namespace sky
