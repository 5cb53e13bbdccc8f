// Colour reduction: palette choice, nearest colour and Floyd-Steinberg dithering.
#pragma once

#include "color.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

// The 16 colours of the standard VGA palette, in the Windows order.
const Palette& VgaPalette();

// At most `maxColours` colours for the picture (1..256). A source palette
// that holds every colour of the picture and fits is kept as it is; a
// picture with few colours gets exactly those; otherwise variance-based
// median cut over a 6-bit histogram, refined by two k-means passes.
Palette ChoosePalette(const BgrView& picture, unsigned maxColours,
                      const Palette& sourceColours = {});

// Exact nearest palette colour (squared RGB distance; lowest index on ties),
// with candidate lists per 8x8x8 cell built on first use.
class NearestColour {
public:
    explicit NearestColour(const Palette& palette);
    uint8_t Find(unsigned r, unsigned g, unsigned b);

private:
    void BuildCell(unsigned cell);

    Palette palette_;
    std::vector<uint32_t> cellStart_;
    std::vector<uint16_t> cellCount_;
    std::vector<uint8_t> candidates_;
};

// Palette indices for every pixel, packed at 1, 4 or 8 bits per pixel (high
// bits first); row y starts at indexTop + y * indexStride.
void MapToPalette(const BgrView& picture, const Palette& palette, bool dither, uint8_t* indexTop,
                  ptrdiff_t indexStride, unsigned bitsPerIndex);

} // namespace sky
