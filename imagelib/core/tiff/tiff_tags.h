// The entries of one TIFF directory, read once; values read on demand from
// the file through a bounded source.
#pragma once

#include "info.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

// The tags the readers use.
enum TiffTag : uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kFillOrder = 266,
    kStripOffsets = 273,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kPlanarConfiguration = 284,
    kT4Options = 292,
    kT6Options = 293,
    kPredictor = 317,
    kColorMap = 320,
    kTileWidth = 322,
    kTileLength = 323,
    kTileOffsets = 324,
    kTileByteCounts = 325,
    kSubIfds = 330,
    kInkSet = 332,
    kExtraSamples = 338,
    kSampleFormat = 339,
    kJpegTables = 347,
    kJpegInterchangeFormat = 513,
    kJpegInterchangeLength = 514,
    kYCbCrCoefficients = 529,
    kYCbCrSubSampling = 530,
    kReferenceBlackWhite = 532,
    kExifIfd = 34665,
    kGpsIfd = 34853,
    kInteroperabilityIfd = 40965,
};

enum TiffType : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint64_t at = 0;         // where the values are
    uint64_t bytes = 0;      // their size; 0 for an unknown type
    uint8_t inline_[4] = {}; // the value field itself
    bool inFile = false;     // every value inside the file
};

class TiffTags {
public:
    // Reads through `source`: the mapped file, or the information query's
    // budgeted reads.
    TiffTags(ByteSource& source, bool bigEndian) : source_(source), big_(bigEndian) {}

    // Corrupt when the directory is empty or not all in the file.
    Status Read(uint64_t ifd);
    // The next directory's offset, 0 at the end of the chain.
    uint32_t Next() const { return next_; }
    const std::vector<TiffEntry>& Entries() const { return entries_; }
    // The first entry of the tag: a repeated tag means what it first said.
    const TiffEntry* Find(uint16_t tag) const;
    // The value at `index`, or `fallback` when the tag or the value is absent.
    uint32_t Number(uint16_t tag, uint32_t fallback, uint32_t index = 0) const;
    uint32_t Number(const TiffEntry& e, uint32_t index) const;
    double Real(const TiffEntry& e, uint32_t index) const;
    // A value read failed (outside the file or the budget).
    bool Failed() const { return failed_; }
    bool BigEndian() const { return big_; }

private:
    uint32_t Unsigned(const uint8_t* p, unsigned n) const;
    bool Value(const TiffEntry& e, uint64_t offset, uint8_t* out, unsigned n) const;

    bool Fetch(uint64_t offset, void* buffer, size_t length) const;

    ByteSource& source_;
    bool big_;
    std::vector<TiffEntry> entries_;
    uint32_t next_ = 0;
    mutable bool failed_ = false;
};

// Bytes of one value of a TIFF field type, 0 for an unknown type.
unsigned TiffTypeSize(uint32_t type);

} // namespace sky
