// The PCX reader on small files built here: each variant, RLE details, and
// damaged headers and data.
#include "pcx.h"
#include "size_limits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using sky::Status;

struct PcxFile {
    std::vector<uint8_t> bytes;

    PcxFile(unsigned width, unsigned height, unsigned bits, unsigned planes, unsigned bytesPerLine,
            bool rle = true) {
        bytes.assign(128, 0);
        bytes[0] = 0x0A;
        bytes[1] = 5;
        bytes[2] = rle ? 1 : 0;
        bytes[3] = static_cast<uint8_t>(bits);
        bytes[8] = static_cast<uint8_t>((width - 1) & 0xFF);
        bytes[9] = static_cast<uint8_t>((width - 1) >> 8);
        bytes[10] = static_cast<uint8_t>((height - 1) & 0xFF);
        bytes[11] = static_cast<uint8_t>((height - 1) >> 8);
        bytes[65] = static_cast<uint8_t>(planes);
        bytes[66] = static_cast<uint8_t>(bytesPerLine);
        bytes[67] = static_cast<uint8_t>(bytesPerLine >> 8);
    }
    void HeaderColour(unsigned index, uint8_t r, uint8_t g, uint8_t b) {
        bytes[16 + 3 * index] = r;
        bytes[17 + 3 * index] = g;
        bytes[18 + 3 * index] = b;
    }
    void Raw(std::initializer_list<uint8_t> data) { bytes.insert(bytes.end(), data); }
    void Run(unsigned count, uint8_t value) {
        bytes.push_back(static_cast<uint8_t>(0xC0 | count));
        bytes.push_back(value);
    }
    void EndPalette() {
        bytes.push_back(0x0C);
        for (unsigned i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                bytes.push_back(static_cast<uint8_t>(i * (c + 1)));
    }
};

// Decodes to R, G, B triples.
Status Decode(const PcxFile& file, std::vector<uint8_t>& rgb, uint32_t& w, uint32_t& h) {
    sky::PcxDecoder decoder;
    Status s = decoder.Open(file.bytes.data(), file.bytes.size());
    if (!sky::Succeeded(s))
        return s;
    w = decoder.Width();
    h = decoder.Height();
    std::vector<uint8_t> bgr(size_t{w} * h * 3);
    s = decoder.Decode({bgr.data(), w, h, static_cast<ptrdiff_t>(w) * 3});
    rgb.resize(bgr.size());
    for (size_t i = 0; i < bgr.size(); i += 3) {
        rgb[i] = bgr[i + 2];
        rgb[i + 1] = bgr[i + 1];
        rgb[i + 2] = bgr[i];
    }
    return s;
}

TEST(Pcx, MonochromeIsBlackAndWhiteWhateverTheHeaderPalette) {
    PcxFile f(10, 1, 1, 1, 2);
    f.HeaderColour(0, 255, 0, 0); // ignored
    f.Raw({0x80, 0x40});          // pixels 0 and 9 set
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    ASSERT_EQ(w, 10u);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[3], 0);
    EXPECT_EQ(rgb[3 * 9], 255);
    EXPECT_EQ(rgb[3 * 9 + 1], 255);
}

TEST(Pcx, TwoBitPixelsUseTheHeaderColours) {
    PcxFile f(4, 1, 2, 1, 2);
    for (unsigned i = 0; i < 4; ++i)
        f.HeaderColour(i, static_cast<uint8_t>(10 * i), 0, static_cast<uint8_t>(200 - i));
    f.Raw({0x1B, 0x00}); // indices 0 1 2 3
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    for (unsigned x = 0; x < 4; ++x) {
        EXPECT_EQ(rgb[3 * x], 10 * x);
        EXPECT_EQ(rgb[3 * x + 2], 200 - x);
    }
}

TEST(Pcx, FourPlanesCombineLowPlaneFirst) {
    PcxFile f(2, 1, 1, 4, 2);
    for (unsigned i = 0; i < 16; ++i)
        f.HeaderColour(i, static_cast<uint8_t>(i), 0, 0);
    // Pixel 0: planes 0 and 3 set = 9; pixel 1: plane 1 = 2.
    f.Raw({0x80, 0, 0x40, 0, 0x00, 0, 0x80, 0});
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    EXPECT_EQ(rgb[0], 9);
    EXPECT_EQ(rgb[3], 2);
}

TEST(Pcx, EightBitUsesTheEndPaletteAndRunsCrossLines) {
    PcxFile f(3, 2, 8, 1, 4); // even stride 4 > width 3
    f.Run(6, 7);              // line 0 and half of line 1
    f.Raw({8, 9});
    f.EndPalette();
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    EXPECT_EQ(rgb[0], 7);
    EXPECT_EQ(rgb[1], 14);
    // Line 1 holds 7 7 8 (9 is padding).
    EXPECT_EQ(rgb[9], 7);
    EXPECT_EQ(rgb[12], 7);
    EXPECT_EQ(rgb[15], 8);
    EXPECT_EQ(rgb[16], 16);
}

TEST(Pcx, TrueColourPlanesAreRedGreenBlue) {
    PcxFile f(2, 1, 8, 3, 2, false);
    f.Raw({1, 2, 3, 4, 5, 6});
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{1, 3, 5, 2, 4, 6}));
}

TEST(Pcx, FourthPlaneIsAlphaComposedOverWhite) {
    PcxFile f(1, 1, 8, 4, 1, false);
    f.Raw({0, 100, 200, 0});
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 255, 255}));
}

TEST(Pcx, DataEndingEarlyIsCorrupt) {
    PcxFile f(4, 4, 8, 1, 4);
    f.Run(10, 1);
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    f.bytes[68] = 2; // grey: no end palette needed
    EXPECT_EQ(Decode(f, rgb, w, h), Status::Corrupt);
    // A run byte as the very last byte, its value missing.
    PcxFile g(1, 1, 8, 1, 2);
    g.bytes[68] = 2;
    g.Raw({0xC2});
    EXPECT_EQ(Decode(g, rgb, w, h), Status::Corrupt);
}

TEST(Pcx, EightBitWithoutPaletteIsRefusedUnlessGrey) {
    PcxFile f(2, 1, 8, 1, 2, false);
    f.Raw({1, 2});
    std::vector<uint8_t> rgb;
    uint32_t w, h;
    EXPECT_EQ(Decode(f, rgb, w, h), Status::Corrupt);
    f.bytes[68] = 2;
    ASSERT_EQ(Decode(f, rgb, w, h), Status::Ok);
    EXPECT_EQ(rgb[3], 2);
}

TEST(Pcx, BadHeadersAreRefused) {
    sky::PcxHeader header;
    PcxFile shortLine(100, 1, 8, 1, 50);
    EXPECT_EQ(sky::ParsePcxHeader(shortLine.bytes.data(), 128, header), Status::Corrupt);
    PcxFile planes(8, 1, 8, 2, 8);
    EXPECT_EQ(sky::ParsePcxHeader(planes.bytes.data(), 128, header), Status::Unsupported);
    PcxFile fourByFour(8, 1, 4, 4, 4);
    EXPECT_EQ(sky::ParsePcxHeader(fourByFour.bytes.data(), 128, header), Status::Unsupported);
    PcxFile reversed(8, 1, 8, 1, 8);
    reversed.bytes[4] = 50; // xMin beyond xMax
    EXPECT_EQ(sky::ParsePcxHeader(reversed.bytes.data(), 128, header), Status::Corrupt);
    PcxFile wrongDepth(8, 1, 8, 1, 8);
    wrongDepth.bytes[3] = 3;
    EXPECT_EQ(sky::ParsePcxHeader(wrongDepth.bytes.data(), 128, header), Status::UnknownFormat);
    EXPECT_EQ(sky::ParsePcxHeader(wrongDepth.bytes.data(), 60, header), Status::UnknownFormat);
    PcxFile cut(8, 1, 8, 1, 8);
    EXPECT_EQ(sky::ParsePcxHeader(cut.bytes.data(), 60, header), Status::Corrupt);
}

TEST(Pcx, HugePicturesAreRefusedBeforeDecoding) {
    PcxFile f(40000, 1, 1, 1, 5000);
    sky::PcxHeader header;
    EXPECT_EQ(sky::ParsePcxHeader(f.bytes.data(), 128, header), Status::TooLarge);
    PcxFile g(30000, 30000, 1, 1, 3750);
    EXPECT_EQ(sky::ParsePcxHeader(g.bytes.data(), 128, header), Status::TooLarge);
    // The largest side is the largest the info query's 16-bit fields can report.
    PcxFile widest(32767, 1, 1, 1, 4096);
    EXPECT_EQ(sky::ParsePcxHeader(widest.bytes.data(), 128, header), Status::Ok);
    PcxFile wider(32768, 1, 1, 1, 4096);
    EXPECT_EQ(sky::ParsePcxHeader(wider.bytes.data(), 128, header), Status::TooLarge);
    PcxFile higher(1, 32768, 1, 1, 2);
    EXPECT_EQ(sky::ParsePcxHeader(higher.bytes.data(), 128, header), Status::TooLarge);
}

TEST(Limits, SidesAndAreaAreChecked) {
    EXPECT_EQ(sky::CheckPictureSize(32767, 1), Status::Ok);
    EXPECT_EQ(sky::CheckPictureSize(32769, 1), Status::TooLarge);
    EXPECT_EQ(sky::CheckPictureSize(1, 32769), Status::TooLarge);
    EXPECT_EQ(sky::CheckPictureSize(16384, 16384), Status::Ok);
    EXPECT_EQ(sky::CheckPictureSize(16384, 16385), Status::TooLarge);
    EXPECT_EQ(sky::CheckPictureSize(0, 5), Status::Corrupt);
    EXPECT_EQ(sky::DibStride(1, 24), 4u);
    EXPECT_EQ(sky::DibStride(33, 1), 8u);
    EXPECT_EQ(sky::DibStride(32768, 24), 98304u);
}

} // namespace
