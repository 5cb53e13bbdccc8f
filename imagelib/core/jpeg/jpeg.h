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

} // namespace sky
