// Checks that a file holds all the data of its first picture, with sound
// structure, so that a truncated or damaged file is refused instead of shown
// half grey; and the layout facts the Windows layer needs.
#pragma once

#include "color.h"
#include "format.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

// Ok, Corrupt (truncated or broken structure), Unsupported or UnknownFormat.
Status CheckComplete(Format format, const uint8_t* data, size_t size);

// Where the first GIF image sits on the logical screen.
struct GifLayout {
    uint32_t screenWidth = 0;
    uint32_t screenHeight = 0;
    uint32_t left = 0;
    uint32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasBackground = false; // a global table holds the background colour
    uint8_t background[3] = {}; // R, G, B
    size_t imageData = 0;       // offset of the LZW minimum code size
    unsigned colours = 0;       // entries of the table the image uses
    // Neither a global nor a local table: the image uses as many black
    // entries as the screen's size field gives, as ImageMagick reads it.
    bool blackTable = false;
};

// Walks to the first image; checks its block chain is complete.
Status ReadGifLayout(const uint8_t* data, size_t size, GifLayout& layout);

// The file with the black global table inserted, for decoders that cannot
// do without a table.
std::vector<uint8_t> WithBlackGlobalTable(const uint8_t* data, size_t size,
                                          const GifLayout& layout);

// Decodes the first image's LZW codes without keeping pixels: every code
// and every colour index must be valid, and the image must be complete.
Status CheckGifImage(const uint8_t* data, size_t size, const GifLayout& layout);

// CRC-32 as PNG chunks use it.
uint32_t Crc32(const uint8_t* data, size_t size);

} // namespace sky
