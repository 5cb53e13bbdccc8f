// TIFF samples to 8-bit BGR: grey, palette, RGB, CMYK and subsampled YCbCr,
// with alpha composed over white.
#pragma once

#include "color.h"
#include "tiff_layout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

// How the samples of a decoded chunk are stored.
struct SampleLayout {
    unsigned bits = 8;
    bool floating = false; // read as 16-bit values
    bool signedSamples = false;
    unsigned samples = 1;
    unsigned colourSamples = 1; // the extra sample, if any, follows them
    unsigned photometric = 1;
    bool planar = false; // one plane per sample
    bool bigEndian = false;
    TiffAlpha alpha = TiffAlpha::None;
    const Palette* colours = nullptr;
};

SampleLayout SamplesOf(const TiffLayout& d);
// Samples a pixel the JPEG callback gives back: grey, or RGB for every
// colour stream (YCbCr, RGB, CMYK).
unsigned JpegComponents(const TiffLayout& d);
// What the JPEG callback gives back for the directory.
SampleLayout JpegSamplesOf(const TiffLayout& d);

// Writes the area's pixels from chunk planes whose rows are `rowBytes` apart.
class RowWriter {
public:
    explicit RowWriter(const SampleLayout& layout) : layout_(layout) {}
    void Write(const uint8_t* const* planes, size_t rowBytes, const ChunkArea& area,
               const BgrView& out);

private:
    void Unpack(const uint8_t* const* planes, size_t offset, uint32_t width);
    Rgb8 Colour(const uint32_t* s) const;
    unsigned ValueBits() const { return layout_.floating ? 16 : layout_.bits; }
    // 8-bit grey or RGB side by side with nothing to compose: copied as
    // they are. False for every other layout.
    bool WriteDirect(const uint8_t* plane, size_t rowBytes, const ChunkArea& area,
                     const BgrView& out) const;

    SampleLayout layout_;
    std::vector<uint32_t> samples_;
};

// Packed blocks of subsampled YCbCr (8 bits) to BGR.
class YCbCrWriter {
public:
    explicit YCbCrWriter(const TiffLayout& d);
    void Write(const uint8_t* blocks, uint32_t chunkWidth, const ChunkArea& area,
               const BgrView& out) const;

private:
    Rgb8 Convert(unsigned y, unsigned cb, unsigned cr) const;

    unsigned subX_, subY_;
    double luma_[3];
    double yTable_[256], cbTable_[256], crTable_[256];
};

} // namespace sky
