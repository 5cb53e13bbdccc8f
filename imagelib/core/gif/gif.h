// GIF: the header fields, where the first image sits and whether its data is
// complete.
#pragma once

#include "color.h"
#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

Status ReadGifInfo(HeaderReader& r, PictureInfo& info);

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
    size_t imageEnd = 0;        // just after the first image's last block
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

// What follows the first image is no GIF block (another file appended, say):
// the first image is still whole and is what the reader shows.
bool FollowedByOtherBytes(const uint8_t* data, size_t size, const GifLayout& layout);

// The first image's blocks and codes, complete and valid.
Status CheckGifComplete(const uint8_t* data, size_t size);

} // namespace sky
