#include "tiff_directory.h"

#include "size_limits.h"
#include "tiff_bytes.h"

#include <algorithm>
#include <utility>

namespace sky {

unsigned TiffDirectory::ColourSamples() const {
    switch (photometric) {
    case 2:
    case 6:
        return 3;
    case 5:
        return 4;
    default:
        return 1;
    }
}

namespace {

constexpr uint32_t kNoStrips = 0xFFFFFFFF;

struct Entry {
    uint32_t type = 0;
    uint32_t count = 0;
    uint64_t at = 0; // where the values are
    bool inFile = false;
};

unsigned TypeSize(uint32_t type) {
    static constexpr unsigned kSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < 14 ? kSize[type] : 0;
}

// The tags of one directory, read on demand.
class Tags {
public:
    explicit Tags(const TiffBytes& b) : b_(b) {}

    Status Read(uint64_t ifd) {
        if (!b_.Has(ifd, 2))
            return Status::Corrupt;
        const uint32_t count = b_.U16(ifd);
        if (count == 0 || !b_.Has(ifd + 2, 12ull * count))
            return Status::Corrupt;
        for (uint32_t i = 0; i < count; ++i)
            Add(ifd + 2 + 12ull * i);
        return Status::Ok;
    }
    const Entry* Find(uint32_t tag) const {
        const auto it = std::find(tags_.begin(), tags_.end(), tag);
        return it == tags_.end() ? nullptr : &entries_[size_t(it - tags_.begin())];
    }
    // The value at `index`, or `fallback` when the tag is absent.
    uint32_t Number(uint32_t tag, uint32_t fallback, uint32_t index = 0) const {
        const Entry* e = Find(tag);
        return e && index < e->count ? Number(*e, index) : fallback;
    }
    uint32_t Number(const Entry& e, uint32_t index) const {
        switch (e.type) {
        case 1:
        case 7:
            return *b_.At(e.at + index);
        case 3:
            return b_.U16(e.at + 2ull * index);
        case 4:
        case 13:
            return b_.U32(e.at + 4ull * index);
        default:
            return 0;
        }
    }
    double Real(const Entry& e, uint32_t index) const {
        if (e.type != 5)
            return Number(e, index);
        const uint32_t den = b_.U32(e.at + 8ull * index + 4);
        return den ? double(b_.U32(e.at + 8ull * index)) / den : 0.0;
    }
    // Corrupt when a tag the decoder reads points out of the file.
    Status Check(uint32_t tag) const {
        const Entry* e = Find(tag);
        return !e || e->inFile ? Status::Ok : Status::Corrupt;
    }

private:
    void Add(uint64_t e) {
        Entry entry;
        entry.type = b_.U16(e + 2);
        entry.count = b_.U32(e + 4);
        const uint64_t bytes = uint64_t{entry.count} * TypeSize(entry.type);
        entry.at = bytes <= 4 ? e + 8 : b_.U32(e + 8);
        entry.inFile = TypeSize(entry.type) && b_.Has(entry.at, bytes);
        tags_.push_back(b_.U16(e));
        entries_.push_back(entry);
    }

    const TiffBytes& b_;
    std::vector<uint32_t> tags_;
    std::vector<Entry> entries_;
};

Status CheckTags(const Tags& t) {
    static constexpr uint32_t kRead[] = {256, 257, 258, 259, 262, 266, 273, 277, 278, 279,
                                         284, 292, 293, 317, 320, 322, 323, 324, 325, 332,
                                         338, 339, 347, 513, 514, 529, 530, 532};
    for (uint32_t tag : kRead)
        if (t.Check(tag) != Status::Ok)
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
        return bits == 8;
    default:
        return false;
    }
}

// Every sample of the same unsigned depth.
Status ReadSamples(const Tags& t, TiffDirectory& d) {
    d.samples = t.Number(277, 1);
    if (d.samples == 0)
        return Status::Corrupt;
    if (d.samples > 8)
        return Status::Unsupported;
    d.bits = t.Number(258, 1);
    for (unsigned i = 1; i < d.samples; ++i)
        if (t.Number(258, d.bits, i) != d.bits)
            return Status::Unsupported;
    const uint32_t format = t.Number(339, 1);
    for (unsigned i = 1; i < d.samples; ++i)
        if (t.Number(339, format, i) != format)
            return Status::Unsupported;
    if (format != 1 && format != 3)
        return Status::Unsupported;
    d.floating = format == 3;
    return Status::Ok;
}

// Differencing of whole bytes only; the float predictor for IEEE samples.
Status CheckPredictor(const TiffDirectory& d) {
    const bool whole = d.bits == 8 || d.bits == 16 || d.bits == 32 || d.bits == 64;
    if (d.predictor == 1 || (d.predictor == 2 && whole) || (d.predictor == 3 && d.floating))
        return Status::Ok;
    return Status::Unsupported;
}

Status ReadColourLayout(const Tags& t, TiffDirectory& d) {
    d.compression = t.Number(259, 1);
    d.photometric = t.Number(262, d.samples >= 3 ? 2 : 1);
    const bool fits =
        d.floating ? FloatFits(d.photometric, d.bits) : DepthFits(d.photometric, d.bits);
    if (!KnownCompression(d.compression) || !fits)
        return Status::Unsupported;
    if (d.samples < d.ColourSamples())
        return Status::Corrupt;
    if (d.photometric == 5 && t.Number(332, 1) != 1)
        return Status::Unsupported;
    const unsigned extra = t.Number(338, 0);
    if (d.samples > d.ColourSamples() && (extra == 1 || extra == 2))
        d.alpha = extra == 1 ? TiffAlpha::Associated : TiffAlpha::Unassociated;
    d.planar = d.samples == 1 ? 1 : t.Number(284, 1);
    d.fillOrder = t.Number(266, 1);
    d.predictor = d.compression == 5 || d.Deflate() ? t.Number(317, 1) : 1;
    if ((d.planar != 1 && d.planar != 2) || (d.fillOrder != 1 && d.fillOrder != 2))
        return Status::Unsupported;
    return CheckPredictor(d);
}

// Fax strips: one bilevel sample, rows coded one at a time.
Status ReadFax(const Tags& t, TiffDirectory& d) {
    if (d.bits != 1 || d.samples != 1 || d.photometric > 1)
        return Status::Unsupported;
    // Uncompressed mode stays out.
    const uint32_t options = t.Number(d.compression == 4 ? 293 : 292, 0);
    if (d.compression != 2 && (options & 2))
        return Status::Unsupported;
    d.faxTwoD = d.compression == 3 && (options & 1);
    return Status::Ok;
}

Status ReadColourMap(const Tags& t, const TiffBytes& b, TiffDirectory& d) {
    const Entry* e = t.Find(320);
    if (!e || e->type != 3 || e->count % 3 || e->count == 0)
        return Status::Corrupt;
    const uint32_t n = e->count / 3;
    if (n > 65536)
        return Status::Corrupt;
    d.colours.resize(n);
    auto scale = [&](uint32_t k) { return static_cast<uint8_t>(b.U16(e->at + 2ull * k) / 257); };
    for (uint32_t k = 0; k < n; ++k)
        d.colours[k] = {scale(k), scale(n + k), scale(2 * n + k)};
    return Status::Ok;
}

bool StandardSubsampling(unsigned s) {
    return s == 1 || s == 2 || s == 4;
}

Status ReadYCbCr(const Tags& t, TiffDirectory& d) {
    d.subX = t.Number(530, 2, 0);
    d.subY = t.Number(530, 2, 1);
    if (!StandardSubsampling(d.subX) || !StandardSubsampling(d.subY))
        return Status::Unsupported;
    if (const Entry* e = t.Find(529); e && e->count >= 3)
        for (uint32_t i = 0; i < 3; ++i)
            d.luma[i] = t.Real(*e, i);
    if (const Entry* e = t.Find(532); e && e->count >= 6)
        for (uint32_t i = 0; i < 6; ++i)
            d.referenceBlackWhite[i] = t.Real(*e, i);
    if (d.luma[1] <= 0)
        return Status::Corrupt;
    if (d.compression != 7 && (d.samples != 3 || d.planar != 1))
        return Status::Unsupported;
    return Status::Ok;
}

Status ReadJpeg(const Tags& t, const TiffBytes& b, TiffDirectory& d) {
    if (d.bits != 8 || d.planar != 1 || d.samples != d.ColourSamples() || d.photometric == 3 ||
        d.photometric == 5)
        return Status::Unsupported;
    if (const Entry* e = t.Find(347); e && d.compression == 7) {
        d.tablesAt = static_cast<uint32_t>(e->at);
        d.tablesSize = e->count * TypeSize(e->type);
    }
    if (d.compression == 6) {
        d.interchangeAt = t.Number(513, 0);
        d.interchangeSize = t.Number(514, 0);
        if (d.interchangeAt == 0)
            return Status::Unsupported; // needs the old JPEG codec itself
        if (d.interchangeSize == 0 || !b.Has(d.interchangeAt, d.interchangeSize))
            return Status::Corrupt;
    }
    return Status::Ok;
}

Status ReadChunkSize(const Tags& t, TiffDirectory& d) {
    d.tiled = t.Find(322) != nullptr;
    if (d.tiled) {
        d.chunkWidth = t.Number(322, 0);
        d.chunkHeight = t.Number(323, 0);
        return CheckPictureSize(d.chunkWidth, d.chunkHeight);
    }
    const uint32_t rows = t.Number(278, kNoStrips);
    d.chunkWidth = d.width;
    d.chunkHeight = rows == 0 ? d.height : std::min(rows, d.height);
    return CheckPictureSize(d.chunkWidth, d.chunkHeight);
}

// Offsets and byte counts of every chunk, each inside the file.
Status ReadChunks(const Tags& t, const TiffBytes& b, TiffDirectory& d) {
    // Some old writers give tiles in the strip tags.
    const bool tileTags = d.tiled && t.Find(324);
    const Entry* offsets = t.Find(tileTags ? 324 : 273);
    const Entry* counts = t.Find(tileTags ? 325 : 279);
    const uint64_t chunks = uint64_t{d.ChunksAcross()} * d.ChunksDown() * d.Planes();
    if (!offsets || offsets->count < chunks || (counts && counts->count < chunks))
        return Status::Corrupt;
    d.offsets.resize(chunks);
    d.counts.resize(chunks);
    for (uint32_t i = 0; i < chunks; ++i) {
        d.offsets[i] = t.Number(*offsets, i);
        if (d.offsets[i] > b.Size())
            return Status::Corrupt;
        const uint64_t rest = std::min<uint64_t>(b.Size() - d.offsets[i], UINT32_MAX);
        d.counts[i] = counts ? t.Number(*counts, i) : static_cast<uint32_t>(rest);
        if (!b.Has(d.offsets[i], d.counts[i]))
            return Status::Corrupt;
    }
    return Status::Ok;
}

Status ReadLayout(const Tags& t, const TiffBytes& b, TiffDirectory& d) {
    d.width = t.Number(256, 0);
    d.height = t.Number(257, 0);
    Status s = CheckPictureSize(d.width, d.height);
    if (s == Status::Ok)
        s = ReadSamples(t, d);
    if (s == Status::Ok)
        s = ReadColourLayout(t, d);
    if (s == Status::Ok && d.photometric == 3)
        s = ReadColourMap(t, b, d);
    if (s == Status::Ok && d.photometric == 6)
        s = ReadYCbCr(t, d);
    if (s == Status::Ok && d.Jpeg())
        s = ReadJpeg(t, b, d);
    if (s == Status::Ok && d.Fax())
        s = ReadFax(t, d);
    if (s == Status::Ok && d.compression != 6)
        s = ReadChunkSize(t, d);
    if (s == Status::Ok && d.compression != 6)
        s = ReadChunks(t, b, d);
    return s;
}

} // namespace

bool ReadTiffColourMap(const uint8_t* data, size_t size, Palette& colours) {
    if (size < 8 || data[0] != data[1] || (data[0] != 'I' && data[0] != 'M'))
        return false;
    const TiffBytes b(data, size, data[0] == 'M');
    Tags tags(b);
    const Entry* map = tags.Read(b.U32(4)) == Status::Ok ? tags.Find(320) : nullptr;
    TiffDirectory d;
    if (!map || !map->inFile || ReadColourMap(tags, b, d) != Status::Ok)
        return false;
    colours = std::move(d.colours);
    return true;
}

Status ReadTiffDirectory(const uint8_t* data, size_t size, TiffDirectory& dir) {
    if (size < 8 || data[0] != data[1] || (data[0] != 'I' && data[0] != 'M'))
        return Status::Corrupt;
    const TiffBytes b(data, size, data[0] == 'M');
    if (b.U16(2) == 43)
        return Status::Unsupported; // BigTIFF
    if (b.U16(2) != 42)
        return Status::Corrupt;
    Tags tags(b);
    Status s = tags.Read(b.U32(4));
    if (s == Status::Ok)
        s = CheckTags(tags);
    if (s != Status::Ok)
        return s;
    dir = TiffDirectory{};
    dir.bigEndian = b.BigEndian();
    return ReadLayout(tags, b, dir);
}

} // namespace sky
