#include "jpeg.h"

#include "header_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

Status ReadJpegInfo(HeaderReader& r, PictureInfo& info) {
    uint64_t pos = 2;
    for (;;) {
        unsigned b;
        if (!r.U8(pos, b))
            return Status::Corrupt;
        // Skip stray bytes between segments, as decoders do.
        while (b != 0xFF) {
            if (!r.U8(++pos, b))
                return Status::Corrupt;
        }
        unsigned marker;
        do {
            if (!r.U8(++pos, marker))
                return Status::Corrupt;
        } while (marker == 0xFF);
        ++pos;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0)
            return Status::Corrupt;
        unsigned length;
        if (!r.U16(pos, true, length) || length < 2)
            return Status::Corrupt;
        if (!IsFrameMarker(marker)) {
            pos += length;
            continue;
        }
        unsigned precision, h, w, components;
        if (length < 8 || !r.U8(pos + 2, precision) || !r.U16(pos + 3, true, h) ||
            !r.U16(pos + 5, true, w) || !r.U8(pos + 7, components))
            return Status::Corrupt;
        info.width = w;
        info.height = h;
        info.bits = precision;
        info.planes = components;
        static constexpr const char* kProcess[16] = {
            "baseline", "extended",     "progressive",  "lossless",
            "",         "hierarchical", "hierarchical", "hierarchical",
            "",         "arithmetic",   "arith. prog.", "arith. lossless",
            "",         "hierarchical", "hierarchical", "hierarchical"};
        std::string_view kind = components == 1 ? "grey" : components == 4 ? "CMYK" : "";
        info.description = Describe("JPEG", precision * components, kind, kProcess[marker & 15]);
        const unsigned process = marker & 15;
        info.rareVariant = precision != 8 || process == 3 || process == 11 ||
                           (process >= 5 && process <= 7) || process >= 13;
        if (components == 0 || precision == 0)
            return Status::Corrupt;
        return SizeStatus(info);
    }
}

} // namespace sky
