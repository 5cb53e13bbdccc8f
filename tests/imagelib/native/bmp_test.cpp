// BMP header checks, RLE walking and the bit-field decoder, on the corpus
// (BMP Suite's bad files) and on crafted files.
#include "bmp.h"
#include "common/known_outcomes.h"
#include "common/manifest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> Load(const std::string& path) {
    std::ifstream in(skytest::CorpusDir() + "/" + path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

sky::Status Check(const std::vector<uint8_t>& d) {
    sky::BmpHeader h;
    sky::Status s = sky::ParseBmp(d.data(), d.size(), h);
    return sky::Succeeded(s) ? sky::CheckBmpPixels(h, d.data(), d.size()) : s;
}

TEST(Bmp, BadSuiteFilesAreRefusedUnlessOnlyUntidyAndGoodOnesAccepted) {
    for (const auto& e : skytest::ReadManifest(skytest::CorpusDir())) {
        if (e.format != "bmp" || e.validity == "questionable")
            continue;
        const sky::Status s = Check(Load(e.path));
        if (e.Valid() || skytest::kReadDespiteFaults.count(e.path))
            EXPECT_EQ(s, sky::Status::Ok) << e.path;
        else
            EXPECT_FALSE(sky::Succeeded(s)) << e.path;
    }
}

TEST(Bmp, RleThatWritesOutsideThePictureIsCorrupt) {
    std::vector<uint8_t> d = Load("bmp/bmpsuite/g/pal8rle.bmp");
    ASSERT_EQ(Check(d), sky::Status::Ok);
    sky::BmpHeader h;
    ASSERT_EQ(sky::ParseBmp(d.data(), d.size(), h), sky::Status::Ok);
    // A delta that jumps below the last line.
    std::vector<uint8_t> jump(d.begin(), d.begin() + static_cast<ptrdiff_t>(h.bitsOffset));
    jump.insert(jump.end(), {0, 2, 0, 200, 0, 1});
    EXPECT_EQ(Check(jump), sky::Status::Corrupt);
    // A run longer than the line.
    std::vector<uint8_t> run(d.begin(), d.begin() + static_cast<ptrdiff_t>(h.bitsOffset));
    run.insert(run.end(), {200, 1, 0, 1});
    EXPECT_EQ(Check(run), sky::Status::Corrupt);
    // No end-of-bitmap before the data ends.
    std::vector<uint8_t> open(d.begin(), d.begin() + static_cast<ptrdiff_t>(h.bitsOffset));
    open.insert(open.end(), {4, 1, 0, 0});
    EXPECT_EQ(Check(open), sky::Status::Corrupt);
}

TEST(Bmp, BitFieldsDecodeLikeTheUsualLayouts) {
    // 565 and 555 bit fields against the 24-bit file of the same picture.
    const std::vector<uint8_t> ref = Load("bmp/bmpsuite/g/rgb32bfdef.bmp");
    for (const char* path : {"bmp/bmpsuite/g/rgb32bf.bmp", "bmp/bmpsuite/g/rgb32bfdef.bmp",
                             "bmp/bmpsuite/g/rgb16-565.bmp", "bmp/bmpsuite/g/rgb16.bmp"}) {
        const std::vector<uint8_t> d = Load(path);
        sky::BmpHeader h;
        ASSERT_EQ(sky::ParseBmp(d.data(), d.size(), h), sky::Status::Ok) << path;
        ASSERT_TRUE(h.HasMasks());
        std::vector<uint8_t> out(size_t{h.width} * h.height * 3);
        ASSERT_EQ(sky::DecodeBmpBitFields(
                      h, d.data(), d.size(),
                      {out.data(), h.width, h.height, static_cast<ptrdiff_t>(h.width) * 3}),
                  sky::Status::Ok);
        // The suite's first row (bottom of the file) starts with pure colours.
        EXPECT_EQ(out.size(), size_t{127} * 64 * 3);
        int whites = 0;
        for (size_t i = 0; i + 2 < out.size(); i += 3)
            whites += out[i] == 255 && out[i + 1] == 255 && out[i + 2] == 255;
        EXPECT_GT(whites, 0) << path << ": 5- and 6-bit maxima must widen to 255";
    }
}

TEST(Bmp, MasksMustBeContiguousAndDisjoint) {
    std::vector<uint8_t> d = Load("bmp/bmpsuite/g/rgb16-565.bmp");
    ASSERT_EQ(Check(d), sky::Status::Ok);
    d[54] = 0xFF; // red mask 0xF8FF now overlaps green
    EXPECT_EQ(Check(d), sky::Status::Corrupt);
}

} // namespace
