// TIFF files composed from fuzzer bytes: the layouts the reader knows
// (photometric, compression, predictor, depth and sample format, samples,
// planes, strips or tiles, subsampling, fill order, extra samples, colour
// map) in any combination, chunks mostly right for the declared layout,
// sometimes sized for another, at shared, overlapping or short offsets, with
// chains and loops of further directories.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace skytest {

struct ComposedTiff {
    std::vector<uint8_t> bytes;
    // The largest picture a JPEG chunk of this file stands for: the declared
    // chunk or the picture, whichever is larger.
    uint32_t jpegWidth = 0;
    uint32_t jpegHeight = 0;
};

ComposedTiff ComposeTiff(FuzzedDataProvider& in);

} // namespace skytest
