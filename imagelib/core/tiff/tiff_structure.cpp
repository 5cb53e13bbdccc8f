#include "tiff.h"

#include "size_limits.h"
#include "tiff_bytes.h"

#include <algorithm>
#include <vector>

namespace sky {

Status CheckTiffComplete(const uint8_t* data, size_t size) {
    const TiffBytes b(data, size, data[0] == 'M');
    if (size < 8)
        return Status::Corrupt;
    if (b.U16(2) != 42)
        return Status::Unsupported; // BigTIFF
    // Every directory in the main chain and the SubIFD chains, once.
    std::vector<uint32_t> seen, pending = {b.U32(4)};
    bool first = true;
    while (!pending.empty()) {
        uint32_t ifd = pending.back();
        pending.pop_back();
        while (ifd != 0) {
            if (std::find(seen.begin(), seen.end(), ifd) != seen.end())
                return Status::Corrupt; // a loop
            // A directory pointer past the end: the file is cut short.
            if (seen.size() > 4096 || !b.Has(ifd, 2))
                return Status::Corrupt;
            seen.push_back(ifd);
            const uint32_t count = b.U16(ifd);
            if (count == 0 || !b.Has(ifd + 2, 12ull * count + 4))
                return Status::Corrupt;
            uint32_t offsetsTag = 0, offsetsCount = 0, offsetsType = 0, offsetsAt = 0;
            uint32_t countsCount = 0, countsType = 0, countsAt = 0;
            uint32_t tileWidth = 0, tileLength = 0;
            for (uint32_t i = 0; i < count; ++i) {
                const uint64_t e = ifd + 2 + 12ull * i;
                const uint32_t tag = b.U16(e), type = b.U16(e + 2), n = b.U32(e + 4);
                const unsigned unit = type == 3 ? 2 : type == 4 || type == 13 ? 4 : 0;
                const uint64_t at = uint64_t{n} * unit <= 4 ? e + 8 : b.U32(e + 8);
                // Values stored elsewhere, and sub-directories, must be in the file.
                static constexpr unsigned kTypeSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
                const uint64_t bytes = type < 14 ? uint64_t{n} * kTypeSize[type] : 0;
                if (bytes > 4 && !b.Has(b.U32(e + 8), bytes))
                    return Status::Corrupt;
                // Exif, GPS and interoperability directories are walked too.
                if ((tag == 34665 || tag == 34853 || tag == 40965) && n == 1)
                    pending.push_back(b.U32(e + 8));
                if ((tag == 322 || tag == 323) && unit && n == 1)
                    (tag == 322 ? tileWidth : tileLength) = unit == 2 ? b.U16(e + 8) : b.U32(e + 8);
                if ((tag == 273 || tag == 324) && unit) {
                    offsetsTag = tag;
                    offsetsCount = n;
                    offsetsType = type;
                    offsetsAt = static_cast<uint32_t>(at);
                } else if ((tag == 279 || tag == 325) && unit) {
                    countsCount = n;
                    countsType = type;
                    countsAt = static_cast<uint32_t>(at);
                } else if (tag == 330 && unit == 4 && b.Has(at, 4ull * n)) {
                    for (uint32_t k = 0; k < n && k < 64; ++k)
                        pending.push_back(b.U32(at + 4ull * k));
                }
            }
            if (first) {
                // A decoder holds a whole tile.
                if ((tileWidth || tileLength) &&
                    CheckPictureSize(std::max(tileWidth, 1u), std::max(tileLength, 1u)) ==
                        Status::TooLarge)
                    return Status::TooLarge;
                // The first picture's strips or tiles must all be in the file.
                if (!offsetsTag)
                    return Status::Corrupt;
                const unsigned ou = offsetsType == 3 ? 2 : 4, cu = countsType == 3 ? 2 : 4;
                if (!b.Has(offsetsAt, uint64_t{offsetsCount} * ou) ||
                    (countsCount && !b.Has(countsAt, uint64_t{countsCount} * cu)))
                    return Status::Corrupt;
                const uint32_t n = countsCount ? std::min(offsetsCount, countsCount) : 0;
                for (uint32_t k = 0; k < n; ++k) {
                    const uint32_t o =
                        ou == 2 ? b.U16(offsetsAt + 2ull * k) : b.U32(offsetsAt + 4ull * k);
                    const uint32_t c =
                        cu == 2 ? b.U16(countsAt + 2ull * k) : b.U32(countsAt + 4ull * k);
                    if (!b.Has(o, c))
                        return Status::Corrupt;
                }
                first = false;
            }
            ifd = b.U32(ifd + 2 + 12ull * count);
        }
    }
    return Status::Ok;
}

} // namespace sky
