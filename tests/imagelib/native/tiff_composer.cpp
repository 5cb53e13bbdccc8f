#include "tiff_composer.h"

#include "common/tiff_encoders.h"
#include "common/tiff_maker.h"
#include "tiff_layout.h"

#include <algorithm>

namespace skytest {

namespace {

// Tags the composer writes.
enum : uint16_t {
    kWidth = 256,
    kHeight = 257,
    kBits = 258,
    kCompression = 259,
    kPhotometric = 262,
    kFillOrder = 266,
    kStripOffsets = 273,
    kSamples = 277,
    kRowsPerStrip = 278,
    kStripCounts = 279,
    kPlanar = 284,
    kPredictor = 317,
    kColourMap = 320,
    kTileWidth = 322,
    kTileHeight = 323,
    kTileOffsets = 324,
    kTileCounts = 325,
    kSubDirectories = 330,
    kExtraSamples = 338,
    kSampleFormat = 339,
    kJpegTables = 347,
    kInterchange = 513,
    kInterchangeSize = 514,
    kLumaCoefficients = 529,
    kSubsampling = 530,
    kReferenceBlackWhite = 532,
};

enum : uint16_t { kByte = 1, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7 };

// Most bytes of chunk data composed before chunks start to share it.
constexpr size_t kPayloadBudget = 1 << 18;
// Most chunk entries written.
constexpr uint32_t kMostChunks = 40000;

// The declared layout, as a reader should understand it.
struct Plan {
    bool bigEndian = false;
    uint32_t width = 1, height = 1;
    unsigned photometric = 1, compression = 1, predictor = 1, bits = 8, format = 1;
    unsigned samples = 1, planar = 1, fillOrder = 1;
    unsigned subX = 2, subY = 2;
    bool tiled = false;
    uint32_t chunkWidth = 1, chunkHeight = 1; // as declared
    uint32_t rowsPerStrip = 0;
};

// Sample bytes from a seed: noise, or runs that compress.
class Filler {
public:
    Filler(uint32_t seed, bool runs) : state_(seed | 1), runs_(runs) {}
    std::vector<uint8_t> Bytes(size_t n) {
        std::vector<uint8_t> out(n);
        // Runs: a new value about every sixteenth byte.
        const uint32_t keep = runs_ ? 0xF000 : 0;
        uint8_t last = 0;
        for (auto& b : out) {
            state_ ^= state_ << 13;
            state_ ^= state_ >> 17;
            state_ ^= state_ << 5;
            last = (state_ & keep) ? last : uint8_t(state_);
            b = last;
        }
        return out;
    }

private:
    uint32_t state_;
    bool runs_;
};

uint32_t Ceil(uint64_t a, uint64_t b) {
    return b ? uint32_t(std::min<uint64_t>((a + b - 1) / b, UINT32_MAX)) : 1;
}

// Values that fit the entry go in it; longer arrays among the data.
void PutValues(TiffMaker& t, uint16_t tag, uint16_t type, const std::vector<uint32_t>& values,
               uint32_t count) {
    const unsigned unit = type == kShort ? 2 : type == kByte ? 1 : 4;
    if (count == values.size() && values.size() * unit <= 4)
        t.Tag(tag, type, values);
    else
        t.Entry(tag, type, count, t.Array(type, values));
}

uint32_t Dimension(FuzzedDataProvider& in, bool longSide) {
    if (longSide)
        return in.ConsumeBool() ? in.PickValueInArray({32767u, 32768u, 65535u})
                                : in.ConsumeIntegralInRange<uint32_t>(1, 32767);
    return in.ConsumeIntegralInRange<uint32_t>(1, in.ConsumeBool() ? 40 : 400);
}

void ChooseSize(FuzzedDataProvider& in, Plan& p) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 6: // one long column
        p.width = in.ConsumeIntegralInRange<uint32_t>(1, 4);
        p.height = Dimension(in, true);
        break;
    case 7: // one long row
        p.width = Dimension(in, true);
        p.height = in.ConsumeIntegralInRange<uint32_t>(1, 4);
        break;
    default:
        p.width = Dimension(in, false);
        p.height = Dimension(in, false);
    }
}

// The colour samples of a photometric, as the reader counts them.
unsigned ColourSamples(unsigned photometric) {
    sky::TiffLayout layout;
    layout.photometric = photometric;
    return layout.ColourSamples();
}

// Any value of each field, as a careless or hostile writer gives them.
void ChooseAnySamples(FuzzedDataProvider& in, Plan& p) {
    p.photometric = in.PickValueInArray({0u, 1u, 2u, 3u, 5u, 6u, 4u, 8u, 9u, 32844u});
    p.compression =
        in.PickValueInArray({1u, 5u, 8u, 32946u, 32773u, 7u, 6u, 2u, 3u, 4u, 0u, 9u, 34712u});
    p.bits = in.PickValueInArray({8u, 1u, 2u, 4u, 12u, 16u, 32u, 64u, 3u, 0u, 24u});
    p.format = in.PickValueInArray({1u, 3u, 2u, 4u});
    p.samples = in.ConsumeIntegralInRange(0u, 12u);
    p.planar = in.PickValueInArray({1u, 2u, 3u});
    p.predictor = in.PickValueInArray({1u, 2u, 3u, 4u});
    p.fillOrder = in.PickValueInArray({1u, 2u, 3u});
}

unsigned DepthFor(FuzzedDataProvider& in, unsigned photometric) {
    switch (photometric) {
    case 3:
        return in.PickValueInArray({1u, 2u, 4u, 8u, 8u, 16u});
    case 5:
        return in.PickValueInArray({8u, 16u});
    case 6:
        return 8;
    default:
        return in.PickValueInArray({1u, 2u, 4u, 8u, 8u, 12u, 16u, 16u, 32u, 64u});
    }
}

// Mostly the combinations a reader takes, each field from the values it knows.
void ChooseSamples(FuzzedDataProvider& in, Plan& p) {
    if (in.ConsumeIntegralInRange(0, 7) == 0)
        return ChooseAnySamples(in, p);
    p.photometric = in.PickValueInArray({0u, 1u, 1u, 2u, 2u, 3u, 5u, 6u, 6u, 6u, 8u});
    p.bits = DepthFor(in, p.photometric);
    const bool wide = p.bits == 32 || p.bits == 64;
    p.format =
        wide && in.ConsumeIntegralInRange(0, 3) ? 3 : in.PickValueInArray({1u, 1u, 1u, 1u, 1u, 2u});
    p.samples = ColourSamples(p.photometric) + in.PickValueInArray({0u, 0u, 0u, 0u, 0u, 1u, 2u});
    const bool bilevel = p.bits == 1 && p.samples == 1 && p.photometric <= 1;
    p.compression = bilevel && in.ConsumeBool()
                        ? in.PickValueInArray({2u, 3u, 4u})
                        : in.PickValueInArray({1u, 5u, 5u, 8u, 32946u, 32773u, 7u, 7u, 6u});
    p.planar = in.PickValueInArray({1u, 1u, 1u, 2u});
    if ((p.compression == 6 || p.compression == 7) && in.ConsumeIntegralInRange(0, 3)) {
        p.bits = 8; // as JPEG chunks hold them
        p.format = 1;
        p.samples = ColourSamples(p.photometric);
        p.planar = 1;
    }
    const bool predicted = (p.compression == 5 || p.compression == 8 || p.compression == 32946) &&
                           (p.bits % 8 == 0 || in.ConsumeIntegralInRange(0, 7) == 0);
    p.predictor = predicted ? in.PickValueInArray({1u, 2u, 2u, p.format == 3 ? 3u : 2u}) : 1;
    p.fillOrder = in.PickValueInArray({1u, 1u, 1u, 2u});
}

void WriteSamples(FuzzedDataProvider& in, const Plan& p, TiffMaker& t) {
    std::vector<uint32_t> bits(std::max(p.samples, 1u), p.bits);
    if (in.ConsumeIntegralInRange(0, 15) == 0)
        bits.back() = in.PickValueInArray({1u, 8u, 16u});
    PutValues(t, kBits, kShort, bits, uint32_t(bits.size()));
    t.Short(kSamples, p.samples);
    t.Short(kPhotometric, p.photometric);
    t.Short(kCompression, p.compression);
    if (p.format != 1 || in.ConsumeBool())
        t.Short(kSampleFormat, p.format);
    if (p.planar != 1 || in.ConsumeBool())
        t.Short(kPlanar, p.planar);
    if (p.predictor != 1 || in.ConsumeBool())
        t.Short(kPredictor, p.predictor);
    if (p.fillOrder != 1 || in.ConsumeBool())
        t.Short(kFillOrder, p.fillOrder);
    const unsigned extras = p.samples > ColourSamples(p.photometric)
                                ? p.samples - ColourSamples(p.photometric)
                                : in.ConsumeIntegralInRange(0u, 1u);
    if (extras && in.ConsumeIntegralInRange(0, 3)) {
        std::vector<uint32_t> kinds(extras);
        for (auto& k : kinds)
            k = in.PickValueInArray({0u, 1u, 2u, 2u, 3u});
        PutValues(t, kExtraSamples, kShort, kinds, uint32_t(kinds.size()));
    }
}

// Entries of 16-bit values, or 8-bit values as some writers leave them.
void WriteColourMap(FuzzedDataProvider& in, const Plan& p, TiffMaker& t, Filler& fill) {
    if (p.photometric != 3 && in.ConsumeIntegralInRange(0, 15))
        return;
    uint32_t entries = 1u << std::min(p.bits, 16u);
    if (in.ConsumeIntegralInRange(0, 7) == 0)
        entries = in.PickValueInArray({entries + 1, entries - 1, 256u, 2u, 0u});
    const bool eightBit = in.ConsumeBool();
    const std::vector<uint8_t> noise = fill.Bytes(size_t{entries} * 6);
    std::vector<uint32_t> values(size_t{entries} * 3);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = eightBit ? noise[2 * i] : noise[2 * i] | uint32_t{noise[2 * i + 1]} << 8;
    const uint16_t type = in.PickValueInArray({kShort, kShort, kShort, kLong, kByte});
    uint32_t count = uint32_t(values.size());
    if (in.ConsumeIntegralInRange(0, 15) == 0)
        count = in.PickValueInArray({count - 1, count + 3, 0u});
    PutValues(t, kColourMap, type, values, count);
}

void WriteYCbCr(FuzzedDataProvider& in, Plan& p, TiffMaker& t) {
    if (p.photometric != 6 && in.ConsumeIntegralInRange(0, 7))
        return;
    if (in.ConsumeIntegralInRange(0, 3)) {
        const bool odd = in.ConsumeIntegralInRange(0, 7) == 0;
        p.subX = odd ? in.PickValueInArray({3u, 0u, 8u}) : in.PickValueInArray({1u, 2u, 2u, 4u});
        p.subY = odd ? in.PickValueInArray({3u, 0u, 1u}) : in.PickValueInArray({1u, 2u, 2u, 4u});
        if (in.ConsumeIntegralInRange(0, 7))
            t.Tag(kSubsampling, kShort, {p.subX, p.subY});
        else
            t.Tag(kSubsampling, kShort, {p.subX});
    }
    if (in.ConsumeIntegralInRange(0, 3) == 0)
        t.Tag(kLumaCoefficients, kRational,
              {299, 1000, in.PickValueInArray({587u, 0u, 1u}), 1000, 114,
               in.ConsumeIntegral<uint8_t>()});
    if (in.ConsumeIntegralInRange(0, 3) == 0)
        t.Tag(kReferenceBlackWhite, kRational,
              {0, 1, 255, 1, 128, 1, 255, 1, 128, 1, in.ConsumeIntegral<uint16_t>(), 1});
}

uint32_t ChunkSide(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
    case 1:
    case 2:
        return 16u * in.ConsumeIntegralInRange(1u, 4u);
    case 3:
        return in.ConsumeBool() ? in.ConsumeIntegralInRange(1u, 300u) : 1;
    case 4:
        return in.PickValueInArray({1024u, 4096u, 32767u, 32767u, 32768u, 65535u, 1u << 20});
    default:
        return 0;
    }
}

void ChooseChunks(FuzzedDataProvider& in, Plan& p, TiffMaker& t) {
    p.tiled = in.ConsumeIntegralInRange(0, 2) == 0;
    if (p.tiled) {
        p.chunkWidth = ChunkSide(in);
        p.chunkHeight = ChunkSide(in);
        t.Long(kTileWidth, p.chunkWidth);
        if (in.ConsumeIntegralInRange(0, 15))
            t.Long(kTileHeight, p.chunkHeight);
        return;
    }
    p.chunkWidth = p.width;
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: // absent: one strip
        p.rowsPerStrip = p.height;
        break;
    case 1:
    case 2:
        p.rowsPerStrip = in.ConsumeIntegralInRange(1u, p.height);
        t.Long(kRowsPerStrip, p.rowsPerStrip);
        break;
    case 3: // taller than the picture
        p.rowsPerStrip = p.height + in.ConsumeIntegralInRange(1u, 1000u);
        t.Long(kRowsPerStrip, p.rowsPerStrip);
        break;
    default:
        p.rowsPerStrip = in.PickValueInArray({0u, 0xFFFFFFFFu, 1u << 20, 1u});
        t.Long(kRowsPerStrip, p.rowsPerStrip);
    }
    p.chunkHeight = p.rowsPerStrip;
}

// A few bytes of a baseline JPEG stream claiming `width` x `height`.
std::vector<uint8_t> JpegStream(FuzzedDataProvider& in, uint32_t width, uint32_t height,
                                unsigned components, bool tables) {
    std::vector<uint8_t> s = {0xFF, 0xD8};
    if (tables) {
        s.insert(s.end(), {0xFF, 0xDB, 0, 67, 0});
        s.insert(s.end(), 64, 1);
        s.insert(s.end(), {0xFF, 0xC4, 0, 20, 0, 0, 1});
        s.insert(s.end(), 15, 0);
        s.push_back(0);
    }
    if (in.ConsumeBool()) // an Adobe marker, its transform any byte
        s.insert(s.end(), {0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0,
                           in.ConsumeIntegral<uint8_t>()});
    // Components named 1, 2, 3 or R, G, B or alike, subsampled or not.
    const char* names = in.PickValueInArray({"\x01\x02\x03\x04", "RGBK", "\x01\x01\x01\x01"});
    const uint8_t luma = in.PickValueInArray({0x22, 0x11});
    const uint8_t n = uint8_t(components);
    s.insert(s.end(), {0xFF, 0xC0, 0, uint8_t(8 + 3 * n), 8, uint8_t(height >> 8), uint8_t(height),
                       uint8_t(width >> 8), uint8_t(width), n});
    for (uint8_t c = 0; c < n; ++c)
        s.insert(s.end(), {uint8_t(names[c % 4]), uint8_t(c == 0 ? luma : 0x11), 0});
    s.insert(s.end(), {0xFF, 0xDA, 0, uint8_t(6 + 2 * n), n});
    for (uint8_t c = 0; c < n; ++c)
        s.insert(s.end(), {uint8_t(names[c % 4]), 0});
    s.insert(s.end(), {0, 63, 0});
    const std::vector<uint8_t> entropy = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(1, 32));
    s.insert(s.end(), entropy.begin(), entropy.end());
    s.insert(s.end(), {0xFF, 0xD9});
    return s;
}

// What one chunk decodes to, and the bytes of each of its rows.
struct ChunkShape {
    uint64_t bytes = 0;
    uint64_t rowBytes = 0;
};

ChunkShape Shape(const Plan& p, uint32_t columns, uint32_t rows) {
    const uint64_t perPixel = p.planar == 2 ? 1 : p.samples;
    ChunkShape s;
    if (p.photometric == 6 && p.planar != 2 && p.subX && p.subY) {
        const uint64_t blockSamples = uint64_t{p.subX} * p.subY + 2;
        s.rowBytes = (Ceil(columns, p.subX) * blockSamples * p.bits + 7) / 8;
        s.bytes = s.rowBytes * Ceil(rows, p.subY);
        return s;
    }
    s.rowBytes = (uint64_t{columns} * perPixel * p.bits + 7) / 8;
    s.bytes = s.rowBytes * rows;
    return s;
}

// The chunk's size for its layout, or for a neighbouring one.
uint64_t PayloadSize(FuzzedDataProvider& in, const Plan& p, uint32_t rows, ChunkShape& shape) {
    shape = Shape(p, p.chunkWidth, rows);
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0: { // as if not subsampled
        Plan full = p;
        full.subX = full.subY = 1;
        full.photometric = 2;
        return Shape(full, p.chunkWidth, rows).bytes;
    }
    case 1: // the picture's width instead of the chunk's
        return Shape(p, p.width, rows).bytes;
    case 2: // the whole declared chunk, however far past the picture
        return Shape(p, p.chunkWidth, p.chunkHeight).bytes;
    case 3:
        return shape.bytes ? shape.bytes - 1 : 0;
    case 4:
        return shape.bytes + 1;
    case 5: { // contiguous for planes, or the other way round
        Plan other = p;
        other.planar = p.planar == 2 ? 1 : 2;
        return Shape(other, p.chunkWidth, rows).bytes;
    }
    default:
        return shape.bytes;
    }
}

std::vector<uint8_t> Encode(FuzzedDataProvider& in, const Plan& p, std::vector<uint8_t> raw,
                            const ChunkShape& shape, uint32_t columns, uint32_t rows) {
    const unsigned perPixel = p.planar == 2 ? 1 : p.samples;
    if (p.predictor == 2 && p.bits % 8 == 0)
        DifferenceRows(raw, size_t(shape.rowBytes), perPixel, p.bits / 8, p.bigEndian);
    if (p.predictor == 3 && p.bits % 8 == 0)
        DifferenceFloatRows(raw, size_t(shape.rowBytes), perPixel, p.bits / 8, p.bigEndian);
    std::vector<uint8_t> out;
    switch (p.compression) {
    case 5:
        out = LzwCodes(raw);
        break;
    case 8:
    case 32946:
        out = ZlibStored(raw);
        break;
    case 32773:
        out = PackBits(raw);
        break;
    case 6:
    case 7: { // the chunk's size, the picture's, or a large stream's
        const bool large = in.ConsumeIntegralInRange(0, 7) == 0;
        const uint32_t width = large ? 4096 : in.ConsumeBool() ? columns : p.width;
        const uint32_t height = large ? 4096 : in.ConsumeBool() ? rows : p.height;
        return JpegStream(in, width, height, ColourSamples(p.photometric), in.ConsumeBool());
    }
    default: // none, fax and the unknown ones: the bytes themselves
        out = std::move(raw);
    }
    if (p.fillOrder == 2)
        ReverseBits(out);
    return out;
}

// Where the chunks' data go.
enum class Placing { Own, OneShared, Overlapping, PastTheEnd };

void WriteChunks(FuzzedDataProvider& in, const Plan& p, TiffMaker& t, Filler& fill) {
    const uint32_t across = p.tiled ? Ceil(p.width, p.chunkWidth) : 1;
    const uint32_t rows =
        p.tiled ? p.chunkHeight : std::max(1u, std::min(p.rowsPerStrip, p.height));
    const uint32_t down = Ceil(p.height, rows ? rows : p.height);
    const uint64_t planes = p.planar == 2 ? std::max(p.samples, 1u) : 1;
    const uint32_t chunks =
        uint32_t(std::min<uint64_t>(uint64_t{across} * down * planes, kMostChunks));
    const Placing placing = in.PickValueInArray({Placing::Own, Placing::Own, Placing::OneShared,
                                                 Placing::Overlapping, Placing::PastTheEnd});
    std::vector<uint32_t> offsets, counts;
    size_t composed = 0;
    for (uint32_t i = 0; i < chunks; ++i) {
        const uint32_t row = (i % (across * down)) / across;
        const uint32_t chunkRows =
            p.tiled ? rows : std::min<uint32_t>(rows, p.height - std::min(p.height, row * rows));
        const bool compose = composed < kPayloadBudget && (placing != Placing::OneShared || i == 0);
        if (!compose) {
            const size_t k = offsets.empty() ? 0 : i % offsets.size();
            offsets.push_back(offsets.empty() ? t.End() : offsets[k]);
            counts.push_back(counts.empty() ? 0 : counts[k]);
            continue;
        }
        ChunkShape shape;
        const uint64_t size =
            std::min<uint64_t>(PayloadSize(in, p, chunkRows, shape), kPayloadBudget);
        // JPEG chunks hold a stream of their own, not the samples.
        const bool jpeg = p.compression == 6 || p.compression == 7;
        const std::vector<uint8_t> bytes =
            Encode(in, p, fill.Bytes(jpeg ? 0 : size_t(size)), shape, p.chunkWidth, chunkRows);
        composed += std::max<size_t>(size_t(size), bytes.size());
        offsets.push_back(t.Data(bytes));
        counts.push_back(uint32_t(bytes.size()));
        if (placing == Placing::Overlapping && !bytes.empty())
            counts.back() += in.ConsumeIntegralInRange<uint32_t>(0, 64);
    }
    if (placing == Placing::PastTheEnd && !offsets.empty())
        offsets[in.ConsumeIntegralInRange<size_t>(0, offsets.size() - 1)] =
            in.PickValueInArray({t.End(), t.End() + 1, 0xFFFFFFF0u});
    if (placing == Placing::Overlapping)
        for (size_t i = 1; i < offsets.size(); ++i)
            offsets[i] = offsets[i - 1] + in.ConsumeIntegralInRange<uint32_t>(0, counts[i - 1]);

    const bool tileTags = p.tiled && in.ConsumeIntegralInRange(0, 7);
    const uint16_t type = in.ConsumeIntegralInRange(0, 7) == 0 ? kShort : kLong;
    uint32_t count = chunks;
    if (in.ConsumeIntegralInRange(0, 15) == 0)
        count = in.PickValueInArray({count - 1, count + 1, 1u, 0u});
    const uint32_t size = uint32_t(std::min<size_t>(count, offsets.size()));
    offsets.resize(size);
    counts.resize(size);
    PutValues(t, tileTags ? kTileOffsets : kStripOffsets, type, offsets, count);
    if (in.ConsumeIntegralInRange(0, 15))
        PutValues(t, tileTags ? kTileCounts : kStripCounts, type, counts, count);
    if (p.compression == 7 && in.ConsumeBool())
        t.Tag(kJpegTables, kUndefined, [&] {
            const std::vector<uint8_t> s = JpegStream(in, 0, 0, 1, true);
            return std::vector<uint32_t>(s.begin(), s.end());
        }());
    if (p.compression == 6 && in.ConsumeIntegralInRange(0, 3)) {
        const std::vector<uint8_t> s =
            JpegStream(in, p.width, p.height, ColourSamples(p.photometric), true);
        t.Long(kInterchange, in.ConsumeBool() ? t.Data(s) : offsets.empty() ? 0 : offsets[0]);
        t.Long(kInterchangeSize, uint32_t(s.size()) - in.ConsumeIntegralInRange(0u, 2u));
    }
}

// Further directories: a next picture, sub-directories, loops back, and long
// chains whose entries overlap the directories after them.
void WriteChains(FuzzedDataProvider& in, const Plan& p, TiffMaker& t) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: { // a second picture, linking on or back
        TiffMaker next(p.bigEndian);
        next.Long(kWidth, in.ConsumeIntegralInRange(1u, 5000u));
        next.Long(kHeight, in.ConsumeIntegralInRange(1u, 5000u));
        next.Short(kBits, 8);
        next.Long(kStripOffsets, 8);
        t.Next(t.Directory(next, in.PickValueInArray({0u, 8u, 1u})));
        break;
    }
    case 1:
    case 2: {
        // Sub-directories, maybe holding themselves, linking on, or also the
        // next picture.
        const uint32_t n = in.ConsumeIntegralInRange(1u, 4u);
        std::vector<uint32_t> at;
        for (uint32_t i = 0; i < n; ++i) {
            TiffMaker sub(p.bigEndian);
            sub.Long(kWidth, p.width / 2 + 1);
            sub.Long(kHeight, p.height / 2 + 1);
            const uint32_t self = t.End();
            if (in.ConsumeBool())
                sub.Long(kSubDirectories, self);
            const uint32_t before = at.empty() ? 0 : at.back();
            at.push_back(t.Directory(sub, in.PickValueInArray({0u, 0u, self, before})));
        }
        PutValues(t, kSubDirectories, in.ConsumeBool() ? kLong : 13, at, n);
        if (in.ConsumeBool())
            t.Next(at[in.ConsumeIntegralInRange(0u, n - 1)]);
        break;
    }
    case 3: { // a long chain, each directory claiming many entries
        const uint32_t n = in.ConsumeIntegralInRange(1u, 5000u);
        const uint16_t claimed = in.ConsumeIntegralInRange<uint16_t>(1, 4000);
        const uint32_t first = t.End();
        std::vector<uint8_t> chain;
        for (uint32_t i = 0; i < n; ++i) {
            t.Put(chain, claimed, 2);
            t.Put(chain, kWidth, 2);
            t.Put(chain, kLong, 2);
            t.Put(chain, 1, 4);
            t.Put(chain, i, 4);
            t.Put(chain, i + 1 < n ? first + 18 * (i + 1) : in.ConsumeBool() ? first : 0, 4);
        }
        t.Data(chain);
        if (in.ConsumeBool())
            t.Next(first);
        else
            t.Long(kSubDirectories, first);
        break;
    }
    case 4: // the first directory next to itself
        t.Next(8);
        break;
    default:
        break;
    }
}

} // namespace

ComposedTiff ComposeTiff(FuzzedDataProvider& in) {
    Plan p;
    p.bigEndian = in.ConsumeBool();
    TiffMaker t(p.bigEndian);
    Filler fill(in.ConsumeIntegral<uint32_t>(), in.ConsumeBool());
    ChooseSize(in, p);
    ChooseSamples(in, p);
    if (p.width <= 0xFFFF && in.ConsumeBool())
        t.Short(kWidth, p.width);
    else
        t.Long(kWidth, p.width);
    if (in.ConsumeIntegralInRange(0, 31))
        t.Long(kHeight, p.height);
    WriteSamples(in, p, t);
    WriteColourMap(in, p, t, fill);
    WriteYCbCr(in, p, t);
    ChooseChunks(in, p, t);
    WriteChunks(in, p, t, fill);
    WriteChains(in, p, t);
    ComposedTiff out;
    out.bytes = t.Bytes();
    out.jpegWidth = std::max(p.width, p.chunkWidth);
    out.jpegHeight =
        std::max(p.height, p.tiled ? p.chunkHeight : std::max(p.rowsPerStrip, p.height));
    return out;
}

} // namespace skytest
