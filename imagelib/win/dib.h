// DIB sections and logical palettes handed to the caller.
#pragma once

#include "color.h"
#include "handles.h"
#include "status.h"

#include <cstdint>

namespace sky {

// Rows are bottom-up in memory, as in most DIBs; `top` is the first row
// shown and `stride` (negative) steps down the picture.
struct DibSection {
    GdiObject<HBITMAP> bitmap;
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
};

// A bottom-up DIB section of 1, 4, 8 or 24 bits per pixel; `colours` fills
// the colour table of the palette depths.
Status CreateDib(uint32_t width, uint32_t height, unsigned bitsPerPixel, const Palette& colours,
                 DibSection& dib);

GdiObject<HPALETTE> CreateLogicalPalette(const Palette& colours);

} // namespace sky
