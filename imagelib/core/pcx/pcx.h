// PCX reader: 1, 2, 4 and 8 bits per plane, 1 to 4 planes, RLE or raw.
#pragma once

#include "color.h"
#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

Status ReadPcxInfo(HeaderReader& r, PictureInfo& info);

struct PcxHeader {
    static constexpr size_t kSize = 128;

    uint8_t version = 0;
    uint8_t encoding = 0;
    uint8_t bitsPerPlane = 0;
    uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    uint8_t headerPalette[48] = {};
    uint8_t planes = 0;
    uint16_t bytesPerLine = 0;
    uint16_t paletteInfo = 0;

    uint32_t Width() const { return uint32_t{xMax} - xMin + 1; }
    uint32_t Height() const { return uint32_t{yMax} - yMin + 1; }
    unsigned BitsPerPixel() const { return unsigned{bitsPerPlane} * planes; }
    bool TrueColour() const { return bitsPerPlane == 8 && planes >= 3; }
};

// True when the first bytes look like a PCX header.
bool LooksLikePcx(const uint8_t* data, size_t size);

// Parses and checks the 128-byte header; sizes are checked against the limits.
Status ParsePcxHeader(const uint8_t* data, size_t size, PcxHeader& header);

// True when an 8-bit file carries the 0x0C marker and 768-byte palette at its end.
bool PcxHasEndPalette(const PcxHeader& header, const uint8_t* tail769, uint64_t fileSize);

class PcxDecoder {
public:
    // The whole file; it must stay alive while Decode runs.
    Status Open(const uint8_t* data, size_t size);

    const PcxHeader& Header() const { return header_; }
    uint32_t Width() const { return header_.Width(); }
    uint32_t Height() const { return header_.Height(); }
    // Colours of an indexed picture, empty for true colour.
    const Palette& Colours() const { return palette_; }

    // Writes Width x Height BGR pixels, rows top-down.
    Status Decode(const BgrView& out) const;

private:
    PcxHeader header_;
    Palette palette_;
    const uint8_t* pixels_ = nullptr;
    size_t pixelBytes_ = 0;
};

} // namespace sky
