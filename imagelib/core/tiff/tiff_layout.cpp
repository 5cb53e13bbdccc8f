#include "tiff_layout.h"

#include "size_limits.h"
#include "tiff_bytes.h"

#include <algorithm>
#include <utility>

namespace sky {

namespace {

constexpr uint32_t kNoStrips = 0xFFFFFFFF;
// Most samples the information query reads the depths of.
constexpr unsigned kMaxDescribedSamples = 64;
// Room for the padding of chunks around small pictures, in bytes of work.
constexpr uint64_t kWorkAllowance = uint64_t{32} << 20;
// A decoded chunk, all its planes together, may not need more than a
// picture of the largest size.
constexpr uint64_t kMaxChunkBytes = kMaxPixels * 4;

uint64_t CeilDiv(uint64_t a, uint64_t b) {
    return (a + b - 1) / b;
}

// The depths of all samples: one value for every sample, or one each.
Status DescribeSamples(const TiffTags& t, TiffLayout& l) {
    l.samples = t.Number(kSamplesPerPixel, 1);
    const TiffEntry* bits = t.Find(kBitsPerSample);
    if (!bits) {
        l.bits = 1;
        l.bitsSum = l.samples;
        return Status::Ok;
    }
    if (l.samples > kMaxDescribedSamples)
        return Status::Corrupt;
    l.bits = std::min<uint32_t>(t.Number(*bits, 0), 0xFFFF);
    l.bitsSum = 0;
    for (unsigned i = 0; i < l.samples; ++i) {
        const unsigned v =
            i < bits->count ? std::min<uint32_t>(t.Number(*bits, i), 0xFFFF) : l.bits;
        l.sameBits = l.sameBits && v == l.bits;
        l.bitsSum += v;
    }
    l.sampleFormat = t.Number(kSampleFormat, 1);
    return Status::Ok;
}

Status DescribeChunks(const TiffTags& t, TiffLayout& l) {
    l.tiled = t.Find(kTileWidth) != nullptr;
    if (l.tiled) {
        l.chunkWidth = t.Number(kTileWidth, 0);
        l.chunkHeight = t.Number(kTileLength, 0);
    } else {
        const uint32_t rows = t.Number(kRowsPerStrip, kNoStrips);
        l.chunkWidth = l.width;
        l.chunkHeight = rows == 0 ? l.height : std::min(rows, l.height);
    }
    return Status::Ok;
}

void DescribeYCbCr(const TiffTags& t, TiffLayout& l) {
    l.subX = t.Number(kYCbCrSubSampling, 2, 0);
    l.subY = t.Number(kYCbCrSubSampling, 2, 1);
    if (const TiffEntry* e = t.Find(kYCbCrCoefficients); e && e->count >= 3)
        for (uint32_t i = 0; i < 3; ++i)
            l.luma[i] = t.Real(*e, i);
    if (const TiffEntry* e = t.Find(kReferenceBlackWhite); e && e->count >= 6)
        for (uint32_t i = 0; i < 6; ++i)
            l.referenceBlackWhite[i] = t.Real(*e, i);
}

// Every value the decoder reads lies in the file.
Status CheckValuesInFile(const TiffTags& t) {
    static constexpr uint16_t kRead[] = {kImageWidth,
                                         kImageLength,
                                         kBitsPerSample,
                                         kCompression,
                                         kPhotometric,
                                         kFillOrder,
                                         kStripOffsets,
                                         kSamplesPerPixel,
                                         kRowsPerStrip,
                                         kStripByteCounts,
                                         kPlanarConfiguration,
                                         kT4Options,
                                         kT6Options,
                                         kPredictor,
                                         kColorMap,
                                         kTileWidth,
                                         kTileLength,
                                         kTileOffsets,
                                         kTileByteCounts,
                                         kInkSet,
                                         kExtraSamples,
                                         kSampleFormat,
                                         kJpegTables,
                                         kJpegInterchangeFormat,
                                         kJpegInterchangeLength,
                                         kYCbCrCoefficients,
                                         kYCbCrSubSampling,
                                         kReferenceBlackWhite};
    for (uint16_t tag : kRead)
        if (const TiffEntry* e = t.Find(tag); e && !e->inFile)
            return Status::Corrupt;
    return Status::Ok;
}

bool KnownCompression(unsigned c) {
    return (c >= 1 && c <= 8) || c == 32773 || c == 32946;
}

// IEEE samples: grey or RGB of 32 or 64 bits.
bool FloatFits(unsigned photometric, unsigned bits) {
    return photometric <= 2 && (bits == 32 || bits == 64);
}

// Signed integers: grey or RGB of whole bytes.
bool SignedFits(unsigned photometric, unsigned bits) {
    return photometric <= 2 && (bits == 8 || bits == 16 || bits == 32);
}

bool DepthFits(unsigned photometric, unsigned bits) {
    switch (photometric) {
    case 0:
    case 1:
    case 2:
        return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 12 || bits == 16;
    case 3:
        return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    case 5:
        return bits == 8 || bits == 16;
    case 6:
    case 8:
        return bits == 8;
    default:
        return false;
    }
}

// Every sample of the same depth and kind: unsigned, signed or IEEE.
Status CheckSamples(const TiffTags& t, TiffLayout& l) {
    if (l.samples == 0)
        return Status::Corrupt;
    if (l.samples > 8 || !l.sameBits)
        return Status::Unsupported;
    for (unsigned i = 1; i < l.samples; ++i)
        if (t.Number(kSampleFormat, l.sampleFormat, i) != l.sampleFormat)
            return Status::Unsupported;
    if (l.sampleFormat < 1 || l.sampleFormat > 3)
        return Status::Unsupported;
    l.floating = l.sampleFormat == 3;
    return Status::Ok;
}

// Differencing of whole bytes only; the float predictor for IEEE samples.
Status CheckPredictor(const TiffLayout& l) {
    const bool whole = l.bits == 8 || l.bits == 16 || l.bits == 32 || l.bits == 64;
    if (l.predictor == 1 || (l.predictor == 2 && whole) || (l.predictor == 3 && l.floating))
        return Status::Ok;
    return Status::Unsupported;
}

Status CheckColourLayout(const TiffTags& t, const TiffLayout& l) {
    const bool fits = l.floating            ? FloatFits(l.photometric, l.bits)
                      : l.sampleFormat == 2 ? SignedFits(l.photometric, l.bits)
                                            : DepthFits(l.photometric, l.bits);
    if (!KnownCompression(l.compression) || !fits)
        return Status::Unsupported;
    if (l.samples < l.ColourSamples())
        return Status::Corrupt;
    if (l.photometric == 5 && t.Number(kInkSet, 1) != 1)
        return Status::Unsupported;
    if ((l.planar != 1 && l.planar != 2) || (l.fillOrder != 1 && l.fillOrder != 2))
        return Status::Unsupported;
    return CheckPredictor(l);
}

// Fax strips: one bilevel sample, rows coded one at a time.
Status CheckFax(const TiffTags& t, TiffLayout& l) {
    if (l.bits != 1 || l.samples != 1 || l.photometric > 1)
        return Status::Unsupported;
    // Uncompressed mode stays out.
    const uint32_t options = t.Number(l.compression == 4 ? kT6Options : kT4Options, 0);
    if (l.compression != 2 && (options & 2))
        return Status::Unsupported;
    l.faxTwoD = l.compression == 3 && (options & 1);
    return Status::Ok;
}

// 16-bit entries scaled to 8 bits as ImageMagick does; a map whose entries
// all hold 8-bit values, as some writers give it, is taken as it is.
Status ReadColourMap(const TiffTags& t, Palette& colours) {
    const TiffEntry* e = t.Find(kColorMap);
    if (!e || !e->inFile || e->type != kShort || e->count % 3 || e->count == 0)
        return Status::Corrupt;
    const uint32_t n = e->count / 3;
    if (n > 65536)
        return Status::Corrupt;
    std::vector<uint16_t> values(e->count);
    bool eightBit = true;
    for (uint32_t k = 0; k < e->count; ++k) {
        values[k] = static_cast<uint16_t>(t.Number(*e, k));
        eightBit = eightBit && values[k] < 256;
    }
    if (t.Failed())
        return Status::Corrupt;
    auto scale = [&](uint32_t k) {
        return static_cast<uint8_t>(eightBit ? values[k] : values[k] / 257);
    };
    colours.resize(n);
    for (uint32_t k = 0; k < n; ++k)
        colours[k] = {scale(k), scale(n + k), scale(2 * n + k)};
    return Status::Ok;
}

bool StandardSubsampling(unsigned s) {
    return s == 1 || s == 2 || s == 4;
}

Status CheckYCbCr(const TiffLayout& l) {
    if (!StandardSubsampling(l.subX) || !StandardSubsampling(l.subY))
        return Status::Unsupported;
    if (l.luma[1] <= 0)
        return Status::Corrupt;
    if (l.compression != 7 && (l.samples != 3 || l.planar != 1))
        return Status::Unsupported;
    return Status::Ok;
}

Status CheckJpeg(const TiffTags& t, TiffLayout& l, uint64_t fileSize) {
    // CMYK streams are read as CMYK JPEG files are.
    if (l.bits != 8 || l.planar != 1 || l.samples != l.ColourSamples() || l.photometric == 3)
        return Status::Unsupported;
    if (const TiffEntry* e = t.Find(kJpegTables); e && l.compression == 7) {
        l.tablesAt = static_cast<uint32_t>(e->at);
        l.tablesSize = static_cast<uint32_t>(e->bytes);
    }
    if (l.compression == 6) {
        l.interchangeAt = t.Number(kJpegInterchangeFormat, 0);
        l.interchangeSize = t.Number(kJpegInterchangeLength, 0);
        if (l.interchangeAt == 0)
            return Status::Unsupported; // needs the old JPEG codec itself
        if (l.interchangeSize == 0 || l.interchangeAt > fileSize ||
            l.interchangeSize > fileSize - l.interchangeAt)
            return Status::Corrupt;
    }
    return Status::Ok;
}

Status CheckDecodable(const TiffTags& t, uint64_t fileSize, TiffLayout& l) {
    Status s = CheckValuesInFile(t);
    if (s == Status::Ok)
        s = CheckSamples(t, l);
    if (s == Status::Ok)
        s = CheckColourLayout(t, l);
    if (s == Status::Ok && l.photometric == 3)
        s = ReadColourMap(t, l.colours);
    if (s == Status::Ok && l.photometric == 6)
        s = CheckYCbCr(l);
    if (s == Status::Ok && l.Jpeg())
        s = CheckJpeg(t, l, fileSize);
    if (s == Status::Ok && l.Fax())
        s = CheckFax(t, l);
    return s;
}

// "II" or "MM" and room for the first directory's offset.
bool HasByteOrder(const uint8_t* data, size_t size) {
    return size >= 8 && data[0] == data[1] && (data[0] == 'I' || data[0] == 'M');
}

// Without byte counts a chunk runs to the next one or to the end of the file.
void EstimateCounts(uint64_t fileSize, TiffLayout& l) {
    std::vector<uint32_t> starts = l.offsets;
    std::sort(starts.begin(), starts.end());
    for (size_t i = 0; i < l.offsets.size(); ++i) {
        const auto next = std::upper_bound(starts.begin(), starts.end(), l.offsets[i]);
        const uint64_t end = next == starts.end() ? fileSize : *next;
        l.counts[i] = static_cast<uint32_t>(std::min<uint64_t>(end - l.offsets[i], UINT32_MAX));
    }
}

// Offsets and byte counts of every chunk, each inside the file. Some old
// writers give tiles in the strip tags.
Status LocateChunks(const TiffTags& t, uint64_t fileSize, TiffLayout& l) {
    const bool tileTags = l.tiled && t.Find(kTileOffsets);
    const TiffEntry* offsets = t.Find(tileTags ? kTileOffsets : kStripOffsets);
    const TiffEntry* counts = t.Find(tileTags ? kTileByteCounts : kStripByteCounts);
    const uint64_t chunks = l.ChunkCount();
    if (!offsets || !offsets->inFile || offsets->count < chunks ||
        (counts && (!counts->inFile || counts->count < chunks)))
        return Status::Corrupt;
    l.offsets.resize(chunks);
    l.counts.resize(chunks);
    for (uint32_t i = 0; i < chunks; ++i) {
        l.offsets[i] = t.Number(*offsets, i);
        if (l.offsets[i] > fileSize)
            return Status::Corrupt;
        if (counts) {
            l.counts[i] = t.Number(*counts, i);
            if (l.counts[i] > fileSize - l.offsets[i])
                return Status::Corrupt;
        }
    }
    if (!counts)
        EstimateCounts(fileSize, l);
    return t.Failed() ? Status::Corrupt : Status::Ok;
}

// The chunks' geometry against the limits, and the decode's memory and work
// against the picture.
Status CheckChunkSizes(const TiffLayout& l, uint64_t fileSize) {
    Status s = CheckPictureSize(l.chunkWidth, l.chunkHeight);
    if (s != Status::Ok)
        return s;
    if (l.PlaneBytes(l.chunkHeight) * l.Planes() > kMaxChunkBytes)
        return Status::TooLarge;
    return l.DecodeWork() + l.ReadWork() > l.WorkLimit(fileSize) ? Status::TooLarge : Status::Ok;
}

} // namespace

unsigned TiffLayout::ColourSamples() const {
    switch (photometric) {
    case 2:
    case 6:
    case 8:
        return 3;
    case 5:
        return 4;
    default:
        return 1;
    }
}

ChunkArea TiffLayout::AreaOf(uint32_t across, uint32_t down) const {
    ChunkArea a;
    a.x = across * chunkWidth;
    a.y = down * chunkHeight;
    a.width = std::min(chunkWidth, width - a.x);
    a.rows = std::min(chunkHeight, height - a.y);
    return a;
}

uint64_t TiffLayout::RowBytes() const {
    const uint64_t bitsPerPixel = planar == 2 ? bits : bitsSum;
    return CeilDiv(uint64_t{chunkWidth} * bitsPerPixel, 8);
}

uint64_t TiffLayout::PlaneBytes(uint32_t rows) const {
    if (!Subsampled())
        return RowBytes() * rows;
    return CeilDiv(chunkWidth, subX) * CeilDiv(rows, subY) * (uint64_t{subX} * subY + 2);
}

uint64_t TiffLayout::PredictorRowBytes() const {
    if (!Subsampled())
        return RowBytes();
    return CeilDiv(chunkWidth, subX) * (uint64_t{subX} * subY + 2) / subY;
}

uint64_t TiffLayout::DecodeWork() const {
    if (compression == 6)
        return uint64_t{width} * height * ColourSamples();
    const uint64_t across = ChunksAcross(), down = ChunksDown();
    if (Jpeg()) {
        const uint64_t rows = tiled ? down * chunkHeight : height;
        return across * chunkWidth * rows * ColourSamples();
    }
    const uint32_t lastRows = height - static_cast<uint32_t>(down - 1) * chunkHeight;
    return across * Planes() * ((down - 1) * PlaneBytes(chunkHeight) + PlaneBytes(lastRows));
}

uint64_t TiffLayout::ChunkInput(uint32_t index) const {
    if (compression == 1)
        return 0; // read as far as it decodes
    return uint64_t{counts[index]} + (compression == 7 ? tablesSize : 0);
}

uint64_t TiffLayout::ReadWork() const {
    uint64_t sum = 0;
    for (uint32_t i = 0; i < counts.size(); ++i)
        sum += ChunkInput(i);
    return sum;
}

uint64_t TiffLayout::WorkLimit(uint64_t fileSize) const {
    const uint64_t pixelBytes = std::max<uint64_t>(CeilDiv(bitsSum, 8), 3);
    return 4 * uint64_t{width} * height * pixelBytes + fileSize + kWorkAllowance;
}

Status DescribeTiff(const TiffTags& t, TiffLayout& l) {
    l = TiffLayout{};
    l.bigEndian = t.BigEndian();
    if (!t.Find(kImageWidth) || !t.Find(kImageLength))
        return Status::Corrupt;
    l.width = t.Number(kImageWidth, 0);
    l.height = t.Number(kImageLength, 0);
    Status s = DescribeSamples(t, l);
    if (s != Status::Ok)
        return s;
    l.compression = t.Number(kCompression, 1);
    l.photometricGiven = t.Find(kPhotometric) != nullptr;
    l.photometric = t.Number(kPhotometric, l.samples >= 3 ? 2 : 1);
    const unsigned extra = t.Number(kExtraSamples, 0);
    if (l.samples > l.ColourSamples() && (extra == 1 || extra == 2))
        l.alpha = extra == 1 ? TiffAlpha::Associated : TiffAlpha::Unassociated;
    l.planar = l.samples == 1 ? 1 : t.Number(kPlanarConfiguration, 1);
    l.fillOrder = t.Number(kFillOrder, 1);
    l.predictor = l.compression == 5 || l.Deflate() ? t.Number(kPredictor, 1) : 1;
    if (const TiffEntry* map = t.Find(kColorMap))
        l.colourMapEntries = map->count / 3;
    if (l.photometric == 6)
        DescribeYCbCr(t, l);
    l.subsamplingGiven = t.Find(kYCbCrSubSampling) != nullptr;
    return DescribeChunks(t, l);
}

Status ReadTiffLayout(const uint8_t* data, size_t size, bool decodable, TiffLayout& layout) {
    if (!HasByteOrder(data, size))
        return Status::Corrupt;
    const TiffBytes b(data, size, data[0] == 'M');
    if (b.U16(2) == 43)
        return Status::Unsupported; // BigTIFF
    if (b.U16(2) != 42)
        return Status::Corrupt;
    MemorySource source(data, size);
    TiffTags tags(source, b.BigEndian());
    Status s = tags.Read(b.U32(4));
    if (s == Status::Ok)
        s = DescribeTiff(tags, layout);
    if (s == Status::Ok)
        s = CheckPictureSize(layout.width, layout.height);
    if (s == Status::Ok && decodable)
        s = CheckDecodable(tags, size, layout);
    // The old JPEG stream stands for the whole picture, strips or not.
    const bool chunks = layout.compression != 6 || (!decodable && tags.Find(kStripOffsets));
    if (s == Status::Ok && chunks)
        s = CheckPictureSize(layout.chunkWidth, layout.chunkHeight);
    if (s == Status::Ok && chunks)
        s = LocateChunks(tags, size, layout);
    if (s == Status::Ok)
        s = CheckChunkSizes(layout, size);
    return s;
}

bool ReadTiffColourMap(const uint8_t* data, size_t size, Palette& colours) {
    if (!HasByteOrder(data, size))
        return false;
    MemorySource source(data, size);
    TiffTags tags(source, data[0] == 'M');
    const TiffBytes b(data, size, data[0] == 'M');
    return tags.Read(b.U32(4)) == Status::Ok && ReadColourMap(tags, colours) == Status::Ok;
}

} // namespace sky
