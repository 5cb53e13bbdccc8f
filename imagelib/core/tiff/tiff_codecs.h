// The TIFF strip and tile codecs that need no outside library (Deflate in
// inflate.h, fax in tiff_fax.h).
#pragma once

#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

// Each fills `out` exactly: Ok once it is full, Corrupt when the data ends
// first or holds an invalid code. Data past the filled size is ignored.
Status UnpackBitsTiff(const uint8_t* in, size_t size, uint8_t* out, size_t outSize);
Status LzwDecodeTiff(const uint8_t* in, size_t size, uint8_t* out, size_t outSize);

} // namespace sky
