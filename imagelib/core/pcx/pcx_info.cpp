#include "pcx.h"

#include "header_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

Status ReadPcxInfo(HeaderReader& r, PictureInfo& info) {
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

} // namespace sky
