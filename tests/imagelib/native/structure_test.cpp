// Completeness checks over the corpus: valid files pass, every cut copy
// fails; GIF LZW and PNG CRC checks find damage inside the data.
#include "common/gif_maker.h"
#include "common/manifest.h"
#include "common/tiff_maker.h"
#include "gif.h"
#include "png.h"
#include "structure.h"
#include "tiff_layout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> Load(const std::string& path) {
    std::ifstream in(skytest::CorpusDir() + "/" + path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Structure, ValidFilesPassAndCutCopiesFail) {
    size_t cuts = 0;
    for (const auto& e : skytest::ReadManifest(skytest::CorpusDir())) {
        if (!e.Valid() || e.format == "pcx" || e.format == "jpeg")
            continue;
        const std::vector<uint8_t> d = Load(e.path);
        if (d.size() > (1 << 20))
            continue;
        const sky::Format f = sky::SniffFormat(d.data(), d.size());
        const sky::Status whole = sky::CheckComplete(f, d.data(), d.size());
        EXPECT_TRUE(whole == sky::Status::Ok || whole == sky::Status::Unsupported ||
                    whole == sky::Status::TooLarge)
            << e.path << " " << int(whole);
        if (whole != sky::Status::Ok)
            continue;
        // Later frames and pages may be cut off without harm to the first
        // picture: GIFs are cut inside the first image, TIFFs are left to
        // the decoding tests.
        std::vector<size_t> lengths = {d.size() / 3, d.size() / 2, d.size() - 1};
        if (f == sky::Format::Gif) {
            sky::GifLayout layout;
            ASSERT_EQ(sky::ReadGifLayout(d.data(), d.size(), layout), sky::Status::Ok);
            lengths = {layout.imageData, layout.imageData + 2};
        } else if (f == sky::Format::Tiff) {
            lengths = {7};
        }
        for (size_t n : lengths) {
            EXPECT_FALSE(sky::Succeeded(sky::CheckComplete(f, d.data(), n)))
                << e.path << " cut to " << n;
            ++cuts;
        }
    }
    std::printf("[ structure ] %zu cut copies refused\n", cuts);
}

TEST(Structure, PngChunkWithWrongCrcIsCorrupt) {
    std::vector<uint8_t> d = Load("png/pngsuite/basn2c08.png");
    ASSERT_EQ(sky::CheckComplete(sky::Format::Png, d.data(), d.size()), sky::Status::Ok);
    d[d.size() / 2] ^= 0x10; // inside IDAT
    EXPECT_EQ(sky::CheckComplete(sky::Format::Png, d.data(), d.size()), sky::Status::Corrupt);
    EXPECT_EQ(sky::Crc32(reinterpret_cast<const uint8_t*>("IEND"), 4), 0xAE426082u);
}

TEST(Structure, GifIndexOutsideTheColourTableIsCorrupt) {
    const std::vector<uint8_t> d = Load("gif/gif-test-suite/invalid-colors.gif");
    EXPECT_EQ(sky::CheckComplete(sky::Format::Gif, d.data(), d.size()), sky::Status::Corrupt);
    sky::GifLayout layout;
    ASSERT_EQ(sky::ReadGifLayout(d.data(), d.size(), layout), sky::Status::Ok);
    EXPECT_EQ(layout.colours, 2u);
}

TEST(Structure, GifLayoutPlacesTheFirstFrame) {
    // A 1x1 frame at (1,1) of a 2x2 screen.
    const std::vector<uint8_t> d = Load("gif/gif-test-suite/image-overlap-bg.gif");
    sky::GifLayout layout;
    ASSERT_EQ(sky::ReadGifLayout(d.data(), d.size(), layout), sky::Status::Ok);
    EXPECT_EQ(layout.screenWidth, 2u);
    EXPECT_EQ(layout.screenHeight, 2u);
    EXPECT_EQ(layout.left, 1u);
    EXPECT_EQ(layout.top, 1u);
    EXPECT_EQ(layout.width, 2u);
    EXPECT_TRUE(layout.hasBackground);
}

// A 1x1 screen with a 65535x65535 frame whose codes would walk 4.5e9 pixels,
// and a small TIFF with a tile too large to hold: refused before any walk.
TEST(Structure, FrameAndTileSizesAreCheckedBeforeTheWalk) {
    skytest::GifPlan plan;
    plan.screenWidth = plan.screenHeight = 1;
    plan.width = plan.height = 65535;
    plan.globalTable.assign(256 * 3, 0);
    plan.minimumCodeSize = 8;
    plan.codes = skytest::LongRunCodes(8, 1100000);
    const std::vector<uint8_t> gif = skytest::MakeGif(plan);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sky::CheckComplete(sky::Format::Gif, gif.data(), gif.size()), sky::Status::TooLarge);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));

    // 16x16 grey, one 40000x40000 tile of one byte.
    std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 8, 0};
    const uint16_t tags[][2] = {{256, 16}, {257, 16},    {258, 8},     {259, 1},
                                {262, 1},  {322, 40000}, {323, 40000}, {324, 8}};
    for (const auto& [tag, value] : tags)
        tiff.insert(tiff.end(), {uint8_t(tag), uint8_t(tag >> 8), 3, 0, 1, 0, 0, 0, uint8_t(value),
                                 uint8_t(value >> 8), 0, 0});
    tiff.insert(tiff.end(), 4, 0);
    EXPECT_EQ(sky::CheckComplete(sky::Format::Tiff, tiff.data(), tiff.size()),
              sky::Status::TooLarge);
}

TEST(Structure, TiffDirectoryLoopsAreCorrupt) {
    const std::vector<uint8_t> d = Load("tiff/libtiff-test/test_ifd_loop_subifd.tif");
    EXPECT_EQ(sky::CheckComplete(sky::Format::Tiff, d.data(), d.size()), sky::Status::Corrupt);
}

// A sub-directory reached twice, through a chain of them or as the next
// page too, is no loop: the first picture stays readable.
TEST(Structure, TiffDirectoriesReachedTwiceAreNoLoop) {
    skytest::TiffMaker t = skytest::Picture(1, 1, 1, 1);
    t.Long(273, t.Data({0x80}));
    t.Long(279, 1);
    skytest::TiffMaker thumbnail = t;
    const uint32_t second = t.Directory(thumbnail, 0);
    const uint32_t first = t.Directory(thumbnail, second);
    t.Tag(330, 13, {first, second});
    t.Next(second);
    const std::vector<uint8_t> d = t.Bytes();
    EXPECT_EQ(sky::CheckComplete(sky::Format::Tiff, d.data(), d.size()), sky::Status::Ok);
}

TEST(Structure, TiffColourMapIsScaledAsImageMagickDoes) {
    const std::vector<uint8_t> d = Load("generated/tiff/pal8_packbits.tif");
    sky::Palette colours;
    ASSERT_TRUE(sky::ReadTiffColourMap(d.data(), d.size(), colours));
    EXPECT_EQ(colours.size(), 256u);
}

} // namespace
