// Small encoders for the chunks of built TIFF files: the compressions and
// predictors the reader undoes, written plainly rather than well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skytest {

std::vector<uint8_t> PackBits(const std::vector<uint8_t>& bytes);

// TIFF's LZW: codes of 9 to 12 bits, most significant bit first, the width
// growing one code early.
std::vector<uint8_t> LzwCodes(const std::vector<uint8_t>& bytes);

// A zlib stream of stored blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& bytes);

// Horizontal differencing (predictor 2) of rows of `rowBytes`: each sample of
// `sampleBytes` bytes less the one `samplesPerPixel` before it, in the file's byte order.
void DifferenceRows(std::vector<uint8_t>& bytes, size_t rowBytes, unsigned samplesPerPixel,
                    unsigned sampleBytes, bool bigEndian);

// The floating-point predictor (3): each row's sample bytes regrouped most
// significant first, then byte-differenced across `samplesPerPixel`.
void DifferenceFloatRows(std::vector<uint8_t>& bytes, size_t rowBytes, unsigned samplesPerPixel,
                         unsigned sampleBytes, bool bigEndian);

// Bits of every byte in reverse order (FillOrder 2).
void ReverseBits(std::vector<uint8_t>& bytes);

} // namespace skytest
