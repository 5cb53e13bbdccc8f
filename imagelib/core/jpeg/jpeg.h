// JPEG: the frame header fields and the marker structure.
#pragma once

#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

Status ReadJpegInfo(HeaderReader& r, PictureInfo& info);

// One frame with at least one scan, segments inside the data, ended by EOI
// or by entropy-coded data that runs to the end.
Status CheckJpegComplete(const uint8_t* data, size_t size);

// A stream's frame: its size, components and the MCU size its sampling
// factors give; and what says which colours it holds.
struct JpegFrame {
    uint32_t width = 0;
    uint32_t height = 0;
    unsigned components = 0;
    unsigned mcuWidth = 8;
    unsigned mcuHeight = 8;
    bool subsampled = false; // components sampled unlike the first
    bool jfif = false;
    int adobeTransform = -1; // -1 without an Adobe marker
    bool rgbNames = false;   // three components named R, G, B
};

inline bool IsFrameMarker(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The first frame header of a stream in memory, with the markers before it;
// false without one.
bool ReadJpegFrame(const uint8_t* data, size_t size, JpegFrame& frame);

// A copy of a three-component stream in `copy`, its components named R, G,
// B or 1, 2, 3 in every header as the colours it holds, where the names
// alone say otherwise: decoders go by the names first or by the markers
// first, and with both agreeing they all take the same colours. The colours
// are what its JFIF or Adobe marker says, else its names, else RGB where
// the file around it says so (`fileSaysRgb`) and the chroma is not
// subsampled. False where the stream needs no change.
bool NameJpegColours(const uint8_t* data, size_t size, bool fileSaysRgb,
                     std::vector<uint8_t>& copy);

} // namespace sky
