// The first directory of a classic TIFF file: the facts its decoder needs,
// every offset checked against the file.
#pragma once

#include "color.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

enum class TiffAlpha { None, Associated, Unassociated };

struct TiffDirectory {
    bool bigEndian = false;
    uint32_t width = 0;
    uint32_t height = 0;
    unsigned bits = 1;
    bool floating = false; // IEEE samples of 32 or 64 bits
    unsigned samples = 1;
    unsigned compression = 1;
    unsigned photometric = 1;
    unsigned planar = 1;
    unsigned predictor = 1;
    unsigned fillOrder = 1;
    bool faxTwoD = false;              // T4Options: two-dimensional rows
    TiffAlpha alpha = TiffAlpha::None; // the sample after the colour ones
    // A tile, or a strip of full width.
    bool tiled = false;
    uint32_t chunkWidth = 0;
    uint32_t chunkHeight = 0;
    std::vector<uint32_t> offsets; // every chunk, plane after plane
    std::vector<uint32_t> counts;
    Palette colours;             // photometric 3
    unsigned subX = 2, subY = 2; // YCbCr subsampling
    double luma[3] = {0.299, 0.587, 0.114};
    double referenceBlackWhite[6] = {0, 255, 128, 255, 128, 255};
    uint32_t tablesAt = 0, tablesSize = 0;           // JPEGTables
    uint32_t interchangeAt = 0, interchangeSize = 0; // old-style JPEG stream

    unsigned ColourSamples() const;
    uint32_t ChunksAcross() const { return (width - 1) / chunkWidth + 1; }
    uint32_t ChunksDown() const { return (height - 1) / chunkHeight + 1; }
    unsigned Planes() const { return planar == 2 ? samples : 1; }
    bool Jpeg() const { return compression == 7 || compression == 6; }
    bool Deflate() const { return compression == 8 || compression == 32946; }
    bool Fax() const { return compression >= 2 && compression <= 4; }
};

// Ok, Unsupported for layouts the decoder leaves out, Corrupt or TooLarge.
Status ReadTiffDirectory(const uint8_t* data, size_t size, TiffDirectory& dir);

// The first directory's colour map alone, 16-bit entries scaled to 8 bits as
// ImageMagick does, whatever the rest of the layout; false without one.
bool ReadTiffColourMap(const uint8_t* data, size_t size, Palette& colours);

} // namespace sky
