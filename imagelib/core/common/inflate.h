// A bounded zlib stream inflater: stored, fixed and dynamic Huffman blocks.
#pragma once

#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

// Fills `out` exactly from a zlib stream: Ok once it is full, Corrupt when the
// stream ends first or holds anything malformed. The Adler-32 sum is not
// checked: decoding stops when the output is full.
Status ZlibInflate(const uint8_t* in, size_t size, uint8_t* out, size_t outSize);

} // namespace sky
