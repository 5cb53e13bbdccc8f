#include "gif.h"

#include "header_reader.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

Status ReadGifInfo(HeaderReader& r, PictureInfo& info) {
    unsigned w, h, flags;
    if (!r.U16(6, false, w) || !r.U16(8, false, h) || !r.U8(10, flags))
        return Status::Corrupt;
    info.width = w;
    info.height = h;
    info.planes = 1;
    const bool global = flags & 0x80;
    const unsigned globalBits = (flags & 7) + 1;
    info.bits = global ? globalBits : 0;
    info.colours = global ? 1u << globalBits : 0;
    const std::string_view version(reinterpret_cast<const char*>(r.Head()), 6);
    info.description = Describe(version, info.bits, {});

    // Walk the blocks to the first image, which may have its own table.
    uint64_t pos = 13 + (global ? 3ull << globalBits : 0);
    bool transparent = false;
    for (;;) {
        unsigned kind;
        if (!r.U8(pos, kind))
            return SizeStatus(info);
        if (kind == 0x21) {
            unsigned label;
            if (!r.U8(pos + 1, label))
                return SizeStatus(info);
            pos += 2;
            unsigned length = 0;
            bool first = true, ok;
            while ((ok = r.U8(pos, length)) && length > 0) {
                unsigned packed;
                if (first && label == 0xF9 && length >= 4 && r.U8(pos + 1, packed))
                    transparent = packed & 1;
                first = false;
                pos += 1 + length;
            }
            if (!ok)
                return SizeStatus(info);
            ++pos;
        } else if (kind == 0x2C) {
            unsigned imageFlags, codeSize;
            if (!r.U8(pos + 9, imageFlags))
                return SizeStatus(info);
            // Without a logical screen the reader shows the frame alone.
            if (info.width == 0 || info.height == 0) {
                if (!r.U16(pos + 5, false, w) || !r.U16(pos + 7, false, h))
                    return Status::Corrupt;
                info.width = w;
                info.height = h;
            }
            const unsigned localBits = (imageFlags & 7) + 1;
            if (imageFlags & 0x80) {
                info.bits = localBits;
                info.colours = 1u << localBits;
            } else if (!global) {
                if (!r.U8(pos + 10, codeSize))
                    return SizeStatus(info);
                info.bits = codeSize;
            }
            std::string extra = imageFlags & 0x40 ? "interlaced" : "";
            if (transparent)
                extra = extra.empty() ? "transparent" : "interl., transp.";
            info.description = Describe(version, info.bits, {}, extra);
            return SizeStatus(info);
        } else {
            // Trailer or garbage before any image.
            return Status::Corrupt;
        }
    }
}

} // namespace sky
