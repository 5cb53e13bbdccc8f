// The TIFF reader on the corpus (ImageMagick's pixels through the manifest's
// MD5) and on small files built here: block order, JPEG streams, damage.
#include "common/known_outcomes.h"
#include "common/manifest.h"
#include "size_limits.h"
#include "tiff_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using sky::Status;

std::vector<uint8_t> Load(const std::string& path) {
    std::ifstream in(skytest::CorpusDir() + "/" + path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Fills grey, keeping the streams it was given.
struct FakeJpeg {
    std::vector<std::vector<uint8_t>> streams;
    sky::JpegStreamDecoder Callback() {
        return [this](const uint8_t* jpeg, size_t size, uint32_t width, uint32_t height,
                      unsigned components, uint8_t* out) {
            streams.emplace_back(jpeg, jpeg + size);
            std::memset(out, 128, size_t{width} * height * components);
            return Status::Ok;
        };
    }
};

struct Decoded {
    Status open = Status::Failed;
    Status decode = Status::Failed;
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> bgr;
};

Decoded Decode(const std::vector<uint8_t>& file, const sky::JpegStreamDecoder& jpeg = {}) {
    Decoded d;
    sky::TiffDecoder decoder;
    d.open = decoder.Open(file.data(), file.size());
    if (d.open != Status::Ok)
        return d;
    d.width = decoder.Width();
    d.height = decoder.Height();
    d.bgr.resize(size_t{d.width} * d.height * 3);
    d.decode = decoder.Decode({d.bgr.data(), d.width, d.height, ptrdiff_t{d.width} * 3}, jpeg);
    return d;
}

std::string RgbaMd5(const std::vector<uint8_t>& bgr) {
    std::vector<uint8_t> rgba;
    for (size_t i = 0; i < bgr.size(); i += 3)
        rgba.insert(rgba.end(), {bgr[i + 2], bgr[i + 1], bgr[i], 255});
    return skytest::Md5Hex(rgba.data(), rgba.size());
}

// Decoded files whose pixels are not ImageMagick's opaque ones, and why.
const std::map<std::string, std::string> kOtherPixels = {
    {"generated/tiff/rgba8_lzw.tif", "alpha composed over white"},
    {"tiff/libtiff-test/32bpp-None.tiff", "alpha composed over white"},
    {"tiff/libtiffpic/strike.tif", "alpha composed over white"},
    {"tiff/libtiff-test/minisblack-2c-8b-alpha.tiff",
     "alpha composed over white; ImageMagick shows the grey plane opaque"},
    {"tiff/libtiffpic/depth/flower-separated-contig-16.tif",
     "16-bit CMYK: ImageMagick's conversion differs by one level in some samples"},
    {"tiff/libtiffpic/dscf0013.tif", "ImageMagick misreads subsampled YCbCr blocks"},
    {"tiff/libtiffpic/ycbcr-cat.tif", "ImageMagick misreads subsampled YCbCr blocks"},
};

// What the platform decoder does not read and this one leaves out too.
bool LeftOut(const std::string& reason) {
    for (const char* kind : {"ThunderScan", "SGI Log", "floating", "WebP", "CCITT"})
        if (reason.find(kind) != std::string::npos)
            return true;
    return false;
}

TEST(TiffDecode, CorpusFilesDecodeWithImageMagicksPixels) {
    size_t exact = 0, unsupported = 0;
    for (const auto& e : skytest::ReadManifest(skytest::CorpusDir())) {
        // The two large files take seconds under the sanitizers.
        if (e.format != "tiff" || !e.Valid() || int64_t{e.width} * e.height > (1 << 22))
            continue;
        FakeJpeg jpeg;
        const Decoded d = Decode(Load(e.path), jpeg.Callback());
        const auto unreadable = skytest::kUnreadable.find(e.path);
        if (unreadable != skytest::kUnreadable.end() && !LeftOut(unreadable->second))
            EXPECT_EQ(d.open, Status::Ok) << e.path;
        if (d.open == Status::Unsupported) {
            ++unsupported;
            continue;
        }
        ASSERT_EQ(d.open, Status::Ok) << e.path;
        EXPECT_EQ(d.decode, Status::Ok) << e.path;
        EXPECT_EQ(int(d.width), e.width) << e.path;
        EXPECT_EQ(int(d.height), e.height) << e.path;
        if (!jpeg.streams.empty() || kOtherPixels.count(e.path))
            continue;
        EXPECT_EQ(RgbaMd5(d.bgr), e.rgbaMd5) << e.path;
        ++exact;
    }
    EXPECT_GE(exact, 55u);
    EXPECT_LE(unsupported, 24u);
}

// A little-endian file: one directory of UNDEFINED, SHORT or LONG tags, then the data.
class TiffMaker {
public:
    void Tag(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
        tags_[tag] = {type, std::move(values)};
    }
    void Short(uint16_t tag, uint32_t value) { Tag(tag, 3, {value}); }
    void Long(uint16_t tag, uint32_t value) { Tag(tag, 4, {value}); }
    // Adds bytes after the directory; returns their offset.
    uint32_t Data(const std::vector<uint8_t>& bytes) {
        const uint32_t at = uint32_t(kDataStart + data_.size());
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return at;
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
        Put(out, tags_.size(), 2);
        std::vector<uint8_t> arrays;
        for (const auto& [tag, value] : tags_) {
            const unsigned unit = value.first == 3 ? 2 : value.first == 7 ? 1 : 4;
            Put(out, tag, 2);
            Put(out, value.first, 2);
            Put(out, value.second.size(), 4);
            std::vector<uint8_t> bytes;
            for (uint32_t v : value.second)
                Put(bytes, v, unit);
            if (bytes.size() > 4) {
                Put(out, kArrays + arrays.size(), 4);
                arrays.insert(arrays.end(), bytes.begin(), bytes.end());
            } else {
                bytes.resize(4);
                out.insert(out.end(), bytes.begin(), bytes.end());
            }
        }
        Put(out, 0, 4);
        out.resize(kArrays, 0);
        out.insert(out.end(), arrays.begin(), arrays.end());
        out.resize(kDataStart, 0);
        out.insert(out.end(), data_.begin(), data_.end());
        return out;
    }

private:
    static constexpr size_t kArrays = 512, kDataStart = 4096;
    static void Put(std::vector<uint8_t>& out, uint64_t v, unsigned bytes) {
        for (unsigned i = 0; i < bytes; ++i)
            out.push_back(uint8_t(v >> (8 * i)));
    }
    std::map<uint16_t, std::pair<uint16_t, std::vector<uint32_t>>> tags_;
    std::vector<uint8_t> data_;
};

TiffMaker Picture(uint32_t width, uint32_t height, unsigned samples, unsigned photometric) {
    TiffMaker t;
    t.Long(256, width);
    t.Long(257, height);
    t.Tag(258, 3, std::vector<uint32_t>(samples, 8));
    t.Short(262, photometric);
    t.Short(277, samples);
    return t;
}

TEST(TiffDecode, SubsampledYCbCrBlocksHoldFourLumaThenChroma) {
    TiffMaker t = Picture(2, 2, 3, 6);
    t.Tag(530, 3, {2, 2});
    t.Long(273, t.Data({10, 60, 110, 160, 128, 128}));
    t.Long(279, 6);
    const Decoded d = Decode(t.Bytes());
    ASSERT_EQ(d.decode, Status::Ok);
    EXPECT_EQ(d.bgr, (std::vector<uint8_t>{10, 10, 10, 60, 60, 60, 110, 110, 110, 160, 160, 160}));
}

TEST(TiffDecode, JpegStripsJoinTheTablesAndTheirData) {
    TiffMaker t = Picture(8, 8, 3, 6);
    t.Short(259, 7);
    t.Tag(347, 7, {0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 1, 0xFF, 0xC4, 0, 3, 2, 0xFF, 0xD9});
    t.Long(273, t.Data({0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0x55, 0xFF, 0xD9}));
    t.Long(279, 9);
    const std::vector<uint8_t> file = t.Bytes();
    FakeJpeg jpeg;
    const Decoded d = Decode(file, jpeg.Callback());
    ASSERT_EQ(d.decode, Status::Ok);
    ASSERT_EQ(jpeg.streams.size(), 1u);
    const std::vector<uint8_t> expected = {0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 1,    0xFF, 0xC4, 0,
                                           3,    2,    0xFF, 0xDA, 0, 2, 0x55, 0xFF, 0xD9};
    EXPECT_EQ(jpeg.streams[0], expected);
    EXPECT_EQ(d.bgr[0], 128);
}

TEST(TiffDecode, CorpusJpegStreamsAreWholeStreams) {
    for (const char* path :
         {"tiff/libtiffpic/quad-jpeg.tif", "tiff/libtiff-test/quad-tile.jpg.tiff",
          "generated/tiff/rgb8_jpeg.tif"}) {
        FakeJpeg jpeg;
        ASSERT_EQ(Decode(Load(path), jpeg.Callback()).decode, Status::Ok) << path;
        ASSERT_FALSE(jpeg.streams.empty());
        for (const auto& s : jpeg.streams) {
            ASSERT_GE(s.size(), 4u);
            EXPECT_TRUE(s[0] == 0xFF && s[1] == 0xD8 && s[s.size() - 2] == 0xFF &&
                        s[s.size() - 1] == 0xD9)
                << path;
            const uint8_t dqt[] = {0xFF, 0xDB}, dht[] = {0xFF, 0xC4};
            EXPECT_NE(std::search(s.begin(), s.end(), dqt, dqt + 2), s.end()) << path;
            EXPECT_NE(std::search(s.begin(), s.end(), dht, dht + 2), s.end()) << path;
        }
    }
}

TEST(TiffDecode, HostileLayoutsFailFast) {
    const auto start = std::chrono::steady_clock::now();
    TiffMaker pastEnd = Picture(16, 16, 1, 1);
    pastEnd.Long(273, 1u << 30);
    pastEnd.Long(279, 256);
    EXPECT_EQ(Decode(pastEnd.Bytes()).open, Status::Corrupt);

    TiffMaker shortStrip = Picture(16, 16, 1, 1);
    shortStrip.Long(273, shortStrip.Data(std::vector<uint8_t>(100, 7)));
    shortStrip.Long(279, 100);
    EXPECT_EQ(Decode(shortStrip.Bytes()).decode, Status::Corrupt);

    TiffMaker lzw = Picture(64, 64, 1, 1);
    lzw.Short(259, 5);
    lzw.Long(273, lzw.Data(std::vector<uint8_t>(2000, 0xFF))); // codes past the table
    lzw.Long(279, 2000);
    EXPECT_EQ(Decode(lzw.Bytes()).decode, Status::Corrupt);

    TiffMaker bigTile = Picture(1000, 1000, 1, 1);
    bigTile.Long(322, 1u << 20);
    bigTile.Long(323, 1u << 20);
    bigTile.Long(324, 4096);
    bigTile.Long(325, 1);
    EXPECT_EQ(Decode(bigTile.Bytes()).open, Status::TooLarge);

    // One row per strip over 16000 rows, with a single offset given.
    TiffMaker strips = Picture(16000, 16000, 1, 1);
    strips.Long(278, 1);
    strips.Long(273, strips.Data({0}));
    strips.Long(279, 1);
    EXPECT_EQ(Decode(strips.Bytes()).open, Status::Corrupt);

    // A tiny PackBits strip claiming a huge picture.
    TiffMaker packed = Picture(4000, 4000, 3, 2);
    packed.Short(259, 32773);
    packed.Long(273, packed.Data({0x81, 0}));
    packed.Long(279, 2);
    EXPECT_EQ(Decode(packed.Bytes()).decode, Status::Corrupt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

} // namespace
