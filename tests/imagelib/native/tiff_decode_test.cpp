// The TIFF reader on the corpus (ImageMagick's pixels through the manifest's
// MD5) and on small files built here: block order, JPEG streams, damage.
#include "common/known_outcomes.h"
#include "common/manifest.h"
#include "common/tiff_maker.h"
#include "inflate.h"
#include "info.h"
#include "structure.h"
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
using skytest::Picture;
using skytest::TiffMaker;

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
    {"tiff/libtiff-test/testfax3_bug54_1dnoEOL.tif",
     "ImageMagick's libtiff looks for EOL codes the rows lack and gives a white page"},
};

// What the platform decoder does not read and this one leaves out too.
bool LeftOut(const std::string& reason) {
    for (const char* kind : {"ThunderScan", "SGI Log", "WebP", "CCITT"})
        if (reason.find(kind) != std::string::npos)
            return true;
    return false;
}

TEST(TiffDecode, CorpusFilesDecodeWithImageMagicksPixels) {
    size_t exact = 0, unsupported = 0;
    for (const auto& e : skytest::ReadManifest(skytest::CorpusDir())) {
        // The two large files take seconds under the sanitizers.
        if (e.format != "tiff" || !e.Valid() || e.rgbaMd5.empty() ||
            int64_t{e.width} * e.height > (1 << 22))
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
    EXPECT_GE(exact, 66u);
    EXPECT_LE(unsupported, 5u);
}

// Bits written in stream order ("1 10 0000001"), packed into bytes from the
// lowest bit (Deflate) or the highest (fax).
std::vector<uint8_t> Bits(const std::string& bits, bool lowFirst) {
    std::vector<uint8_t> out;
    size_t n = 0;
    for (char c : bits) {
        if (c == ' ')
            continue;
        if (n % 8 == 0)
            out.push_back(0);
        if (c == '1')
            out.back() |= uint8_t(lowFirst ? 1 << n % 8 : 0x80 >> n % 8);
        ++n;
    }
    return out;
}

std::vector<uint8_t> Zlib(const std::string& bits) {
    std::vector<uint8_t> out = {0x78, 0x01};
    const std::vector<uint8_t> body = Bits(bits, true);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Status Inflate(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
    return sky::ZlibInflate(in.data(), in.size(), out.data(), out.size());
}

// Fixed Huffman codes: a literal 'a', then copies of 258 bytes one back.
std::string RunOfA(int copies) {
    std::string bits = "1 10 10010001";
    for (int i = 0; i < copies; ++i)
        bits += " 11000101 00000";
    return bits;
}

// Deflate's stored block: the bytes as they are.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& bytes) {
    const size_t n = bytes.size();
    std::vector<uint8_t> out = {
        0x78, 0x01, 0x01, uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)};
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

// A baseline frame header of the given size, three components, and a scan.
std::vector<uint8_t> JpegFrame(uint16_t width, uint16_t height) {
    return {0xFF,
            0xD8,
            0xFF,
            0xC0,
            0,
            17,
            8,
            uint8_t(height >> 8),
            uint8_t(height),
            uint8_t(width >> 8),
            uint8_t(width),
            3,
            1,
            0x22,
            0,
            2,
            0x11,
            0,
            3,
            0x11,
            0,
            0xFF,
            0xDA,
            0,
            2,
            0x55,
            0xFF,
            0xD9};
}

sky::PictureInfo InfoOf(const std::vector<uint8_t>& file) {
    sky::MemorySource source(file.data(), file.size());
    sky::PictureInfo info;
    sky::ReadPictureInfo(source, info);
    return info;
}

TEST(TiffDecode, InflateReadsStoredAndFixedBlocks) {
    std::vector<uint8_t> stored = {0x78, 0x01, 0x00, 3, 0, 0xFC, 0xFF, 'a',
                                   'b',  'c',  0x01, 1, 0, 0xFE, 0xFF, 'd'};
    std::vector<uint8_t> out(4);
    EXPECT_EQ(Inflate(stored, out), Status::Ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcd");
    // Output stops at its size however long the copies.
    out.assign(1000, 0);
    EXPECT_EQ(Inflate(Zlib(RunOfA(4)), out), Status::Ok);
    EXPECT_EQ(std::count(out.begin(), out.end(), 'a'), 1000);
}

TEST(TiffDecode, HostileDeflateStreamsFailFast) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> out(1 << 20);
    EXPECT_EQ(Inflate(Zlib("1 11"), out), Status::Corrupt);               // block type 3
    EXPECT_EQ(Inflate(Zlib("1 10 0000001 00000"), out), Status::Corrupt); // copy before any byte
    EXPECT_EQ(Inflate(Zlib("1 10 10010001 0000001 00001"), out), Status::Corrupt); // two back
    EXPECT_EQ(Inflate({0x78, 0x01, 0x01, 0xFF, 0xFF, 0, 0, 1, 2}, out), Status::Corrupt);
    EXPECT_EQ(Inflate(Zlib("1 01 11111 11111 1111"), out), Status::Corrupt); // 288 literal codes
    EXPECT_EQ(Inflate(Zlib(RunOfA(100)), out), Status::Corrupt); // no end before the output is full
    EXPECT_EQ(Inflate({0x78, 0x02, 0x03}, out), Status::Corrupt); // bad check bits
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// A float predictor row of 0.5 and 1.0 as 32-bit samples, in a stored
// Deflate block.
TEST(TiffDecode, FloatPredictorRowsReadBackAsSamples) {
    TiffMaker t = Picture(2, 1, 1, 1);
    t.Tag(258, 3, {32});
    t.Short(259, 8);
    t.Short(317, 3);
    t.Short(339, 3);
    // Most significant bytes first (3F 3F 00 80 00 00 00 00), then differenced.
    t.Long(273, t.Data({0x78, 0x01, 0x01, 8, 0, 0xF7, 0xFF, 0x3F, 0, 0xC1, 0x80, 0x80, 0, 0, 0}));
    t.Long(279, 15);
    const Decoded d = Decode(t.Bytes());
    ASSERT_EQ(d.decode, Status::Ok);
    EXPECT_EQ(d.bgr, (std::vector<uint8_t>{127, 127, 127, 255, 255, 255}));
}

TEST(TiffDecode, FaxRowsEndAtTheirWidth) {
    TiffMaker t = Picture(8, 2, 1, 0);
    t.Tag(258, 3, {1});
    t.Short(259, 2);
    t.Short(278, 1);
    // White 3, black 2, white 3; then a row of white 10.
    const uint32_t good = t.Data(Bits("1000 11 1000", false));
    t.Tag(273, 4, {good, t.Data(Bits("00111", false))});
    t.Tag(279, 4, {2, 1});
    const Decoded d = Decode(t.Bytes());
    EXPECT_EQ(d.decode, Status::Corrupt);
    const std::vector<uint8_t> grey = {255, 255, 255, 0, 0, 255, 255, 255};
    for (size_t x = 0; x < grey.size(); ++x)
        EXPECT_EQ(d.bgr[3 * x], grey[x]);
}

TEST(TiffDecode, TwoDimensionalFaxRowsFollowTheRowAbove) {
    TiffMaker t = Picture(8, 2, 1, 0);
    t.Tag(258, 3, {1});
    t.Short(259, 4);
    // Horizontal white 3 black 2, then vertical to the end; below, three
    // vertical codes repeat the row.
    t.Long(273, t.Data(Bits("001 1000 11 1  1 1 1", false)));
    t.Long(279, 2);
    const Decoded d = Decode(t.Bytes());
    ASSERT_EQ(d.decode, Status::Ok);
    const std::vector<uint8_t> grey = {255, 255, 255, 0, 0, 255, 255, 255};
    for (size_t x = 0; x < 16; ++x)
        EXPECT_EQ(d.bgr[3 * x], grey[x % 8]) << x;
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
    const std::vector<uint8_t> chunk = JpegFrame(8, 8);
    t.Long(273, t.Data(chunk));
    t.Long(279, uint32_t(chunk.size()));
    const std::vector<uint8_t> file = t.Bytes();
    FakeJpeg jpeg;
    const Decoded d = Decode(file, jpeg.Callback());
    ASSERT_EQ(d.decode, Status::Ok);
    ASSERT_EQ(jpeg.streams.size(), 1u);
    std::vector<uint8_t> expected = {0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 1, 0xFF, 0xC4, 0, 3, 2};
    expected.insert(expected.end(), chunk.begin() + 2, chunk.end());
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

// Subsampled blocks differenced in rows of the packed blocks, as they are
// written: two 2x2 blocks, each row of 6 bytes differenced three apart.
TEST(TiffDecode, PredictorOnSubsampledYCbCrStaysInItsBlocks) {
    for (const unsigned compression : {8u, 32946u}) {
        TiffMaker t = Picture(4, 2, 3, 6);
        t.Short(259, compression);
        t.Short(317, 2);
        const std::vector<uint8_t> data =
            Stored({10, 60, 110, 150, 68, 18, 20, 70, 120, 150, 58, 8});
        t.Long(273, t.Data(data));
        t.Long(279, uint32_t(data.size()));
        const Decoded d = Decode(t.Bytes());
        ASSERT_EQ(d.decode, Status::Ok);
        const std::vector<uint8_t> grey = {10, 60, 20, 70, 110, 160, 120, 170};
        for (size_t i = 0; i < grey.size(); ++i)
            EXPECT_EQ(d.bgr[3 * i], grey[i]) << i;
    }
}

// An old-style JPEG stream stands for the whole picture, whatever chunk
// size the directory also gives.
TEST(TiffDecode, OldStyleJpegFillsThePictureWhateverItsTiles) {
    TiffMaker t = Picture(16, 16, 3, 6);
    t.Short(259, 6);
    t.Long(322, 16);
    t.Long(323, 8);
    const std::vector<uint8_t> stream = JpegFrame(16, 16);
    t.Long(513, t.Data(stream));
    t.Long(514, uint32_t(stream.size()));
    FakeJpeg jpeg;
    const Decoded d = Decode(t.Bytes(), jpeg.Callback());
    ASSERT_EQ(d.decode, Status::Ok);
    EXPECT_EQ(d.bgr.back(), 128);
}

// Every strip of a 1x4096 picture points at one stream of 4096x4096 pixels:
// refused before a single stream is decoded.
TEST(TiffDecode, JpegStreamsLargerThanTheirStripAreRefused) {
    TiffMaker t = Picture(1, 4096, 3, 6);
    t.Short(259, 7);
    t.Short(278, 1);
    const std::vector<uint8_t> stream = JpegFrame(4096, 4096);
    const uint32_t at = t.Data(stream);
    t.Entry(273, 4, 4096, t.Array(4, std::vector<uint32_t>(4096, at)));
    t.Entry(279, 4, 4096, t.Array(4, std::vector<uint32_t>(4096, uint32_t(stream.size()))));
    FakeJpeg jpeg;
    const Decoded d = Decode(t.Bytes(), jpeg.Callback());
    EXPECT_NE(d.open == Status::Ok ? d.decode : d.open, Status::Ok);
    EXPECT_TRUE(jpeg.streams.empty());
}

// 32767x1 tiles over a 1x4096 picture, all at one Deflate stream: 130 MB to
// inflate for 4096 pixels. Refused before inflating.
TEST(TiffDecode, TilesFarWiderThanThePictureAreRefusedFast) {
    const auto start = std::chrono::steady_clock::now();
    for (const unsigned planar : {1u, 2u}) {
        TiffMaker t = Picture(1, 4096, 3, 2);
        t.Short(259, 8);
        t.Short(284, planar);
        t.Long(322, 32767);
        t.Long(323, 1);
        const std::vector<uint8_t> stream = Zlib(RunOfA(382)); // a row of a tile
        const uint32_t at = t.Data(stream);
        const size_t tiles = planar == 1 ? 4096 : 3 * 4096;
        t.Entry(324, 4, uint32_t(tiles), t.Array(4, std::vector<uint32_t>(tiles, at)));
        t.Entry(325, 4, uint32_t(tiles),
                t.Array(4, std::vector<uint32_t>(tiles, uint32_t(stream.size()))));
        const Decoded d = Decode(t.Bytes());
        EXPECT_EQ(d.open == Status::Ok ? d.decode : d.open, Status::TooLarge) << planar;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

// 4096 strips read from one chunk that opens with 64 KiB of PackBits no-ops:
// each read of it counts, and the file is refused before 256 MiB are read,
// with byte counts or without (reversed bit order copying each one).
TEST(TiffDecode, SharedChunksCountEachTimeTheyAreRead) {
    const auto start = std::chrono::steady_clock::now();
    for (const bool counted : {true, false}) {
        TiffMaker t = Picture(64, 4096, 1, 1);
        t.Short(259, 32773);
        t.Short(278, 1);
        std::vector<uint8_t> chunk(1 << 16, 0x80);
        chunk.insert(chunk.end(), {0xC1, 7}); // 64 sevens
        const uint32_t at = t.Data(chunk);
        t.Entry(273, 4, 4096, t.Array(4, std::vector<uint32_t>(4096, at)));
        if (counted)
            t.Entry(279, 4, 4096, t.Array(4, std::vector<uint32_t>(4096, uint32_t(chunk.size()))));
        else
            t.Short(266, 2);
        const Decoded d = Decode(t.Bytes());
        EXPECT_EQ(d.open == Status::Ok ? d.decode : d.open, Status::TooLarge) << counted;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

// Thousands of directories, each starting 12 bytes after the last and
// spanning 2000 entries: refused without walking them all.
TEST(TiffDecode, OverlappingDirectoryChainsAreNotWalkedEntryByEntry) {
    TiffMaker t = Picture(1, 1, 1, 1);
    t.Long(273, t.Data({0}));
    t.Long(279, 1);
    constexpr uint32_t kEntries = 2000, kCells = 5400;
    const uint32_t base = uint32_t(t.Bytes().size());
    t.Next(base);
    std::vector<uint8_t> file = t.Bytes();
    for (uint32_t j = 0; j < kCells; ++j) {
        // The count of the directory here; the link of the one kEntries cells back.
        const uint32_t link = j >= kEntries && j + 1 < kCells ? base + 12 * (j - kEntries + 1) : 0;
        const uint8_t cell[12] = {uint8_t(kEntries),  uint8_t(kEntries >> 8), uint8_t(link),
                                  uint8_t(link >> 8), uint8_t(link >> 16),    uint8_t(link >> 24)};
        file.insert(file.end(), cell, cell + 12);
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sky::CheckComplete(sky::Format::Tiff, file.data(), file.size()), Status::Corrupt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

// A colour map of 8-bit values, as some writers give it, is scaled up on
// both reading paths instead of showing black.
TEST(TiffDecode, ColourMapsOfEightBitValuesAreScaled) {
    TiffMaker t = Picture(2, 1, 1, 3);
    std::vector<uint32_t> map(3 * 256, 0);
    map[1] = 255;
    map[256 + 1] = 128;
    map[512 + 1] = 7;
    t.Tag(320, 3, map);
    t.Long(273, t.Data({0, 1}));
    t.Long(279, 2);
    const std::vector<uint8_t> file = t.Bytes();
    const Decoded d = Decode(file);
    ASSERT_EQ(d.decode, Status::Ok);
    EXPECT_EQ(d.bgr, (std::vector<uint8_t>{0, 0, 0, 7, 128, 255}));
    sky::Palette colours;
    ASSERT_TRUE(sky::ReadTiffColourMap(file.data(), file.size(), colours));
    EXPECT_EQ(colours[1], (sky::Rgb8{255, 128, 7}));
}

// Reversed bit order applies to the stored bytes, before decompression; a
// repeated tag means what it means to the first reader of it; a JPEG strip
// must be a whole stream, as a .JPG file must.
TEST(TiffDecode, FillOrderDuplicateTagsAndCutJpegStripsReadOneWay) {
    const auto reversed = [](std::vector<uint8_t> bytes) {
        for (uint8_t& b : bytes) {
            uint8_t r = 0;
            for (int i = 0; i < 8; ++i)
                r = uint8_t(r | ((b >> i) & 1) << (7 - i));
            b = r;
        }
        return bytes;
    };
    TiffMaker packed = Picture(4, 1, 1, 1);
    packed.Short(259, 32773);
    packed.Short(266, 2);
    packed.Long(273, packed.Data(reversed({3, 10, 20, 30, 40})));
    packed.Long(279, 5);
    const Decoded d = Decode(packed.Bytes());
    ASSERT_EQ(d.decode, Status::Ok);
    EXPECT_EQ(d.bgr, (std::vector<uint8_t>{10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40}));

    // Tag 255 is written just before the width and then renamed to it.
    TiffMaker twice = Picture(4, 1, 1, 1);
    twice.Long(255, 2);
    twice.Long(273, twice.Data({1, 2, 3, 4}));
    twice.Long(279, 4);
    std::vector<uint8_t> file = twice.Bytes();
    ASSERT_EQ(file[10], 255);
    file[10] = 0;
    file[11] = 1;
    const Decoded first = Decode(file);
    ASSERT_EQ(first.open, Status::Ok);
    EXPECT_EQ(InfoOf(file).width, first.width);

    TiffMaker cut = Picture(8, 8, 3, 6);
    cut.Short(259, 7);
    std::vector<uint8_t> stream = JpegFrame(8, 8);
    stream.resize(stream.size() - 7); // before the scan
    cut.Long(273, cut.Data(stream));
    cut.Long(279, uint32_t(stream.size()));
    FakeJpeg jpeg;
    EXPECT_EQ(Decode(cut.Bytes(), jpeg.Callback()).decode, Status::Corrupt);
}
