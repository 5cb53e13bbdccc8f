// The information query's header readers: every corpus file against the
// manifest, the read budget, and crafted headers.
#include "common/gif_maker.h"
#include "common/manifest.h"
#include "info.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using skytest::CorpusDir;
using skytest::ReadManifest;

std::vector<uint8_t> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Counts what the readers take from a file.
class CountingSource : public sky::MemorySource {
public:
    using MemorySource::MemorySource;
    size_t ReadAt(uint64_t offset, void* buffer, size_t length) override {
        bytesRead += length;
        return MemorySource::ReadAt(offset, buffer, length);
    }
    size_t bytesRead = 0;
};

TEST(Info, EveryValidCorpusFileMatchesTheManifestWithinTheBudget) {
    const auto entries = ReadManifest(CorpusDir());
    ASSERT_FALSE(entries.empty());
    size_t checked = 0, most = 0;
    for (const auto& e : entries) {
        if (!e.Valid())
            continue;
        SCOPED_TRACE(e.path);
        const std::vector<uint8_t> data = Load(CorpusDir() + "/" + e.path);
        CountingSource source(data.data(), data.size());
        sky::PictureInfo info;
        const sky::Status s = sky::ReadPictureInfo(source, info);
        if (e.width > 32767 || e.height > 32767)
            EXPECT_EQ(s, sky::Status::TooLarge);
        else
            EXPECT_EQ(s, sky::Status::Ok);
        EXPECT_EQ(int(info.width), e.width);
        EXPECT_EQ(int(info.height), e.height);
        EXPECT_EQ(int(info.bits * info.planes), e.bpp);
        EXPECT_LE(info.description.size(), sky::kDescriptionMax);
        EXPECT_FALSE(info.description.empty());
        EXPECT_LE(source.bytesRead, sky::kInfoReadBudget);
        most = std::max(most, source.bytesRead);
        ++checked;
    }
    std::printf("[ info ] %zu files, at most %zu bytes read from one\n", checked, most);
}

TEST(Info, InvalidAndQuestionableFilesNeverOverrun) {
    for (const auto& e : ReadManifest(CorpusDir())) {
        if (e.Valid())
            continue;
        const std::vector<uint8_t> data = Load(CorpusDir() + "/" + e.path);
        // Every prefix, to walk each reader off the end of its data.
        for (size_t n = 0; n <= std::min<size_t>(data.size(), 300); ++n) {
            CountingSource source(data.data(), n);
            sky::PictureInfo info;
            sky::ReadPictureInfo(source, info);
            ASSERT_LE(source.bytesRead, sky::kInfoReadBudget) << e.path;
        }
    }
}

TEST(Info, DescriptionsNameTheVariant) {
    const std::vector<uint8_t> progressive =
        Load(CorpusDir() + "/generated/jpeg/progressive_227x149.jpg");
    sky::MemorySource a(progressive.data(), progressive.size());
    sky::PictureInfo info;
    ASSERT_EQ(sky::ReadPictureInfo(a, info), sky::Status::Ok);
    EXPECT_EQ(info.description, "JPEG 24-bit, progressive");
    EXPECT_EQ(info.format, sky::Format::Jpeg);

    const std::vector<uint8_t> pcx = Load(CorpusDir() + "/generated/pcx/own_8bit_227x149.pcx");
    sky::MemorySource b(pcx.data(), pcx.size());
    ASSERT_EQ(sky::ReadPictureInfo(b, info), sky::Status::Ok);
    EXPECT_EQ(info.colours, 256u);
    EXPECT_EQ(info.description, "PCX 8-bit, 256 colours");

    const std::vector<uint8_t> lzw = Load(CorpusDir() + "/generated/tiff/pal4_lzw.tif");
    sky::MemorySource c(lzw.data(), lzw.size());
    ASSERT_EQ(sky::ReadPictureInfo(c, info), sky::Status::Ok);
    EXPECT_EQ(info.description, "TIFF 4-bit palette, LZW");
    EXPECT_EQ(info.colours, 16u);
}

TEST(Info, RareVariantsAreMarked) {
    for (const char* path : {"jpeg/libjpeg-turbo/monkey12.jpg", "tiff/libtiffpic/text.tif",
                             "generated/tiff/rgb8_jpeg.tif"}) {
        const std::vector<uint8_t> data = Load(CorpusDir() + "/" + path);
        sky::MemorySource source(data.data(), data.size());
        sky::PictureInfo info;
        sky::ReadPictureInfo(source, info);
        EXPECT_TRUE(info.rareVariant) << path;
    }
    const std::vector<uint8_t> plain = Load(CorpusDir() + "/generated/tiff/rgb8_lzw.tif");
    sky::MemorySource source(plain.data(), plain.size());
    sky::PictureInfo info;
    sky::ReadPictureInfo(source, info);
    EXPECT_FALSE(info.rareVariant);
}

TEST(Info, GarbageAndEmptyInputAreRefused) {
    sky::PictureInfo info;
    sky::MemorySource empty(nullptr, 0);
    EXPECT_EQ(sky::ReadPictureInfo(empty, info), sky::Status::Corrupt);
    const uint8_t text[] = "Hello, this is not a picture.";
    sky::MemorySource garbage(text, sizeof text);
    EXPECT_EQ(sky::ReadPictureInfo(garbage, info), sky::Status::UnknownFormat);
    // A PNG signature with a damaged IHDR.
    uint8_t png[33] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                       0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    png[19] = 1;
    png[23] = 1;
    png[24] = 3; // 3-bit depth does not exist
    sky::MemorySource bad(png, sizeof png);
    EXPECT_EQ(sky::ReadPictureInfo(bad, info), sky::Status::Corrupt);
    EXPECT_EQ(info.format, sky::Format::Png);
}

// The reader shows a GIF without a logical screen at its frame's size.
TEST(Info, AGifWithoutAScreenHasItsFramesSize) {
    skytest::GifPlan plan;
    plan.width = 4;
    plan.height = 2;
    plan.globalTable.assign(4 * 3, 0x80);
    plan.codes = skytest::CodesOf({0, 1, 2, 3, 3, 2, 1, 0}, 2);
    for (const uint16_t screenWidth : {0, 9}) {
        plan.screenWidth = screenWidth;
        const std::vector<uint8_t> gif = skytest::MakeGif(plan);
        sky::MemorySource source(gif.data(), gif.size());
        sky::PictureInfo info;
        EXPECT_EQ(sky::ReadPictureInfo(source, info), sky::Status::Ok) << screenWidth;
        EXPECT_EQ(info.width, 4u);
        EXPECT_EQ(info.height, 2u);
    }
}

TEST(Info, JpegFrameBeyondTheBudgetIsNotSearchedFor) {
    // SOI, then APP segments of 60 KiB each: the frame header lies far out,
    // but seeking over segments reads only their lengths.
    std::vector<uint8_t> jpeg = {0xFF, 0xD8};
    for (int i = 0; i < 4; ++i) {
        jpeg.insert(jpeg.end(), {0xFF, 0xE1, 0xF0, 0x00});
        jpeg.resize(jpeg.size() + 0xF000 - 2, 0);
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xC0, 0, 11, 8, 0, 20, 0, 30, 1, 1, 0x11, 0});
    CountingSource source(jpeg.data(), jpeg.size());
    sky::PictureInfo info;
    EXPECT_EQ(sky::ReadPictureInfo(source, info), sky::Status::Ok);
    EXPECT_EQ(info.width, 30u);
    EXPECT_EQ(info.height, 20u);
    EXPECT_LE(source.bytesRead, 2048u);
}

} // namespace
