// BMP headers checked strictly, RLE streams walked, and our own decoding of
// the 16- and 32-bit bit-field variants.
#pragma once

#include "color.h"
#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

Status ReadBmpInfo(HeaderReader& r, PictureInfo& info);

struct BmpHeader {
    uint64_t base = 0;     // offset of the file header (14 in an OS/2 bitmap array)
    uint32_t fileSize = 0; // bfSize, as written
    uint64_t bitsOffset = 0;
    uint32_t headerSize = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    unsigned bitCount = 0;
    uint32_t compression = 0;
    uint32_t colours = 0;     // colour table entries
    unsigned colourBytes = 4; // 3 for the OS/2 core header
    uint32_t masks[4] = {};   // red, green, blue, alpha
    bool HasMasks() const { return bitCount == 16 || (bitCount == 32 && compression != 0); }
};

enum BmpCompression : uint32_t { kBmpRgb = 0, kBmpRle8 = 1, kBmpRle4 = 2, kBmpBitFields = 3 };

// Parses and checks every header field against the file size.
Status ParseBmp(const uint8_t* data, size_t size, BmpHeader& header);

// Checks that the pixel data is all there and well formed: RLE codes stay
// inside the picture, palette indices inside the colour table.
Status CheckBmpPixels(const BmpHeader& header, const uint8_t* data, size_t size);

// Decodes a picture with HasMasks() into BGR rows.
Status DecodeBmpBitFields(const BmpHeader& header, const uint8_t* data, size_t size,
                          const BgrView& out);

// Parse and pixel checks together.
Status CheckBmpComplete(const uint8_t* data, size_t size);

} // namespace sky
