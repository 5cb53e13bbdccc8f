// Size limits checked before any pixel memory is allocated.
#pragma once

#include "status.h"

#include <cstdint>

namespace sky {

// The largest side the info query can report in its 16-bit signed fields.
constexpr uint64_t kMaxSide = 32767;
constexpr uint64_t kMaxPixels = sizeof(void*) == 4 ? (uint64_t{1} << 26) : (uint64_t{1} << 28);

// Ok, or TooLarge / Corrupt (zero size).
Status CheckPictureSize(uint64_t width, uint64_t height);

// Bytes of one DIB row, padded to 4 bytes.
constexpr uint64_t DibStride(uint64_t width, unsigned bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

} // namespace sky
