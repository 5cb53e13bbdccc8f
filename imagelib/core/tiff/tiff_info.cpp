#include "tiff.h"

#include "header_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

Status ReadTiffInfo(HeaderReader& r, PictureInfo& info) {
    const bool big = r.Head()[0] == 'M';
    unsigned version;
    uint32_t ifd;
    if (!r.U16(2, big, version) || !r.U32(4, big, ifd))
        return Status::Corrupt;
    info.planes = 1;
    if (version == 43) {
        info.description = "BigTIFF";
        return Status::Unsupported;
    }
    unsigned count;
    if (!r.U16(ifd, big, count) || count == 0)
        return Status::Corrupt;

    uint32_t width = 0, height = 0, compression = 1, photometric = 0xFFFF, samples = 1;
    uint32_t bitsCount = 0, bitsType = 3, colourMapCount = 0;
    uint64_t bitsValueOrOffset = 0;
    bool haveWidth = false, haveHeight = false, tiled = false;
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t e = uint64_t{ifd} + 2 + 12ull * i;
        unsigned tag, type;
        uint32_t n, raw;
        if (!r.U16(e, big, tag) || !r.U16(e + 2, big, type) || !r.U32(e + 4, big, n) ||
            !r.U32(e + 8, big, raw))
            return Status::Corrupt;
        // A single SHORT sits in the first two bytes of the value field.
        uint32_t value = raw;
        if (type == 3 && !r.U16(e + 8, big, version))
            return Status::Corrupt;
        if (type == 3)
            value = version;
        switch (tag) {
        case 256:
            width = value;
            haveWidth = true;
            break;
        case 257:
            height = value;
            haveHeight = true;
            break;
        case 258:
            bitsCount = n;
            bitsType = type;
            bitsValueOrOffset = uint64_t{n} * (type == 3 ? 2 : 4) <= 4 ? e + 8 : raw;
            break;
        case 259:
            compression = value;
            break;
        case 262:
            photometric = value;
            break;
        case 277:
            samples = value;
            break;
        case 320:
            colourMapCount = n / 3;
            break;
        case 322:
            tiled = true;
            break;
        default:
            break;
        }
    }
    if (!haveWidth || !haveHeight)
        return Status::Corrupt;
    info.width = width;
    info.height = height;

    // Bits per sample: one value for all samples, or one per sample.
    unsigned first = 1, sum = 0;
    bool same = true;
    if (bitsCount == 0) {
        sum = samples;
    } else {
        const unsigned size = bitsType == 3 ? 2 : 4;
        const uint32_t n = std::min<uint32_t>(bitsCount, samples);
        if (samples > 64)
            return Status::Corrupt;
        for (uint32_t i = 0; i < n; ++i) {
            unsigned v;
            uint32_t v32;
            if (size == 2 ? !r.U16(bitsValueOrOffset + 2ull * i, big, v)
                          : !r.U32(bitsValueOrOffset + 4ull * i, big, v32))
                return Status::Corrupt;
            if (size == 4)
                v = v32 > 0xFFFF ? 0xFFFF : v32;
            if (i == 0)
                first = v;
            same = same && v == first;
            sum += v;
        }
        if (n < samples)
            sum += first * (samples - n);
    }
    if (same) {
        info.bits = first;
        info.planes = samples;
    } else {
        info.bits = sum;
        info.planes = 1;
    }
    info.colours = colourMapCount;

    std::string_view kind;
    switch (photometric) {
    case 0:
    case 1:
        kind = sum == 1 ? "bilevel" : "grey";
        break;
    case 2:
        kind = samples >= 4 ? "RGBA" : "RGB";
        break;
    case 3:
        kind = "palette";
        break;
    case 5:
        kind = "CMYK";
        break;
    case 6:
        kind = "YCbCr";
        break;
    case 8:
        kind = "Lab";
        break;
    default:
        break;
    }
    std::string_view extra;
    switch (compression) {
    case 2:
        extra = "CCITT RLE";
        break;
    case 3:
        extra = "G3 fax";
        break;
    case 4:
        extra = "G4 fax";
        break;
    case 5:
        extra = "LZW";
        break;
    case 6:
        extra = "old JPEG";
        break;
    case 7:
        extra = "JPEG";
        break;
    case 8:
    case 32946:
        extra = "Deflate";
        break;
    case 32773:
        extra = "PackBits";
        break;
    case 32809:
        extra = "ThunderScan";
        break;
    default:
        extra = tiled ? "tiled" : "";
        break;
    }
    info.description = Describe("TIFF", sum, kind, extra);
    info.rareVariant =
        !(compression <= 5 || compression == 8 || compression == 32773 || compression == 32946);
    return SizeStatus(info);
}

} // namespace sky
