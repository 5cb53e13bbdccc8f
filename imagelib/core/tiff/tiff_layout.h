// The first directory of a classic TIFF file, read once into one description
// that the information query, the completeness check and the decoder share.
// Every size of a chunk derives from it here, in 64 bits.
#pragma once

#include "color.h"
#include "status.h"
#include "tiff_tags.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

enum class TiffAlpha { None, Associated, Unassociated };

// The part of a chunk inside the picture: its place and size.
struct ChunkArea {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t rows = 0;
};

struct TiffLayout {
    bool bigEndian = false;
    uint32_t width = 0;
    uint32_t height = 0;
    unsigned samples = 1;
    unsigned bits = 1;         // of the first sample
    bool sameBits = true;      // every sample as deep as the first
    unsigned bitsSum = 1;      // of all samples, as stored
    unsigned sampleFormat = 1; // 1 unsigned, 2 signed, 3 IEEE
    bool floating = false;     // IEEE samples of 32 or 64 bits
    unsigned compression = 1;
    unsigned photometric = 1;
    bool photometricGiven = false;
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
    uint32_t colourMapEntries = 0;
    Palette colours;               // photometric 3
    unsigned subX = 2, subY = 2;   // YCbCr subsampling
    bool subsamplingGiven = false; // its tag: the writer had YCbCr in mind
    double luma[3] = {0.299, 0.587, 0.114};
    double referenceBlackWhite[6] = {0, 255, 128, 255, 128, 255};
    uint32_t tablesAt = 0, tablesSize = 0;           // JPEGTables
    uint32_t interchangeAt = 0, interchangeSize = 0; // old-style JPEG stream

    unsigned ColourSamples() const;
    unsigned Planes() const { return planar == 2 ? samples : 1; }
    uint32_t ChunksAcross() const { return (width - 1) / chunkWidth + 1; }
    uint32_t ChunksDown() const { return (height - 1) / chunkHeight + 1; }
    uint64_t ChunkCount() const { return uint64_t{ChunksAcross()} * ChunksDown() * Planes(); }
    bool Jpeg() const { return compression == 7 || compression == 6; }
    bool Deflate() const { return compression == 8 || compression == 32946; }
    bool Fax() const { return compression >= 2 && compression <= 4; }
    bool Subsampled() const { return photometric == 6 && !Jpeg() && subX && subY; }

    // Where chunk (across, down) lands in the picture.
    ChunkArea AreaOf(uint32_t across, uint32_t down) const;
    // Bytes of one row of one plane of a chunk.
    uint64_t RowBytes() const;
    // Bytes of one plane of a chunk down to `rows` rows: packed YCbCr blocks
    // when subsampled.
    uint64_t PlaneBytes(uint32_t rows) const;
    // The rows the horizontal predictor runs along: a row of samples, or of
    // packed YCbCr blocks divided among their rows as writers store them.
    uint64_t PredictorRowBytes() const;
    // Samples the predictor steps back by.
    unsigned PredictorStep() const { return planar == 2 ? 1 : samples; }
    // Bytes every chunk of the picture decodes to (JPEG: samples decoded),
    // whatever the file holds.
    uint64_t DecodeWork() const;
    // Bytes a compressed chunk is read from (a JPEG chunk with its tables),
    // and all chunks together: shared or overlapping chunks count each time.
    uint64_t ChunkInput(uint32_t index) const;
    uint64_t ReadWork() const;
    // The most work one decode may do, bytes read and decoded together: a
    // small multiple of the picture's own samples plus the file, with room for
    // the padding of small pictures.
    uint64_t WorkLimit(uint64_t fileSize) const;
};

// The description alone, from the first directory's tags: Corrupt without a
// size; every other field as the file gives it or by its default.
Status DescribeTiff(const TiffTags& tags, TiffLayout& layout);

// Reads the first directory. `decodable`: also Unsupported for what the
// decoder leaves out, the colour map, and every chunk inside the file and
// the work within its limit. Corrupt or TooLarge as the other readers.
Status ReadTiffLayout(const uint8_t* data, size_t size, bool decodable, TiffLayout& layout);

// The first directory's colour map alone, as the decoder reads it; false
// without one.
bool ReadTiffColourMap(const uint8_t* data, size_t size, Palette& colours);

} // namespace sky
