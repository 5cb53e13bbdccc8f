// JPEG: the frame header fields and the marker structure.
#pragma once

#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

Status ReadJpegInfo(HeaderReader& r, PictureInfo& info);

// One frame with at least one scan, segments inside the data, ended by EOI
// or by entropy-coded data that runs to the end.
Status CheckJpegComplete(const uint8_t* data, size_t size);

// A stream's frame: its size, components and the MCU size its sampling
// factors give.
struct JpegFrame {
    uint32_t width = 0;
    uint32_t height = 0;
    unsigned components = 0;
    unsigned mcuWidth = 8;
    unsigned mcuHeight = 8;
};

// The first frame header of a stream in memory; false without one.
bool ReadJpegFrame(const uint8_t* data, size_t size, JpegFrame& frame);

} // namespace sky
