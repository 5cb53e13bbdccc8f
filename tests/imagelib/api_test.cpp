// The library's contract beyond the corpus: arguments, statuses and texts,
// resolutions and palettes, dithering, ownership of the handles.
#include "common/gif_maker.h"
#include "common/manifest.h"
#include "common/tiff_encoders.h"
#include "common/tiff_maker.h"
#include "library.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>

namespace skytest {
namespace {

std::string Corpus(const std::string& path) {
    return CorpusDir() + "/" + path;
}

std::vector<uint8_t> CorpusBytes(const std::string& path) {
    std::ifstream in(Corpus(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const char* kPhoto = "generated/tiff/rgb8_lzw.tif";        // 227x149 landscape
const char* kPal16Gif = "generated/gif/pal16_227x149.gif"; // 16 colours
const char* kPngAsJpg = "jpeg/mozilla/jpg-size-6x6.jpg";   // PNG data, .jpg name

// A file in the temporary folder, deleted with the object.
class TempFile {
public:
    TempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + name;
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~TempFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class Api : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library.Loaded()); }

    // The R, G, B pixels of a TIFF built here with `strip` as its one strip;
    // none, and the test failed, when the library refuses it.
    std::vector<uint8_t> ReadBuiltTiff(TiffMaker t, const std::vector<uint8_t>& strip) {
        t.Long(273, t.Data(strip));
        t.Long(279, uint32_t(strip.size()));
        const TempFile file("sky32dem_built.tif", t.Bytes());
        Decoded d = library.Read("tiff", file.Path());
        EXPECT_EQ(d.status, 1) << library.StatusText(d.status);
        Rgb rgb;
        if (d.status != 1 || !ReadBitmap(d.bitmap, rgb))
            return {};
        return rgb.pixels;
    }

    // `t` with the JPEG stream `strip` as its one strip reads as `jpeg` in a
    // .jpg file does.
    void ExpectJpegStripReadsAs(const TiffMaker& t, const std::vector<uint8_t>& strip,
                                const std::vector<uint8_t>& jpeg) {
        const std::vector<uint8_t> fromTiff = ReadBuiltTiff(t, strip);
        const TempFile file("sky32dem_strip.jpg", jpeg);
        Decoded fromJpeg = library.Read("jpeg", file.Path());
        Rgb rgb;
        ASSERT_TRUE(ReadBitmap(fromJpeg.bitmap, rgb));
        EXPECT_EQ(fromTiff, rgb.pixels);
    }

    Library library;
};

TEST_F(Api, ExportsExactlyTheOrdinalsByNumber) {
    for (int n : {1, 5, 7, 8, 15, 17, 25})
        EXPECT_NE(library.Ordinal(n), nullptr) << "ordinal " << n;
    for (int n : {2, 3, 4, 6, 9, 16, 18, 24, 26})
        EXPECT_EQ(library.Ordinal(n), nullptr) << "ordinal " << n;
    EXPECT_EQ(GetProcAddress(library.Module(), "ImgReadBMP"), nullptr) << "exported by name";
}

TEST_F(Api, EveryFailureStatusHasItsOwnText) {
    std::set<std::string> texts;
    for (int status = 0; status >= -12; --status) {
        const std::string text = library.StatusText(status);
        EXPECT_FALSE(text.empty()) << "status " << status;
        EXPECT_TRUE(texts.insert(text).second) << "status " << status << " repeats " << text;
    }
    EXPECT_FALSE(library.StatusText(-1).empty()) << "string 65535";
}

TEST_F(Api, MissingFileGivesStatusMinusOne) {
    Decoded d = library.Read("bmp", "Z:/no/such/folder/picture.bmp");
    EXPECT_EQ(d.status, -1);
    EXPECT_EQ(d.bitmap, nullptr);
    const Info info = library.GetInfo("Z:/no/such/folder/picture.bmp");
    EXPECT_EQ(info.status, -1);
    EXPECT_EQ(info.width, 0);
    EXPECT_TRUE(info.type.empty());
}

TEST_F(Api, UnknownResolutionsAreInvalidArguments) {
    for (int resolution : {-1, 2, 3, 16, 32, 25}) {
        Decoded d = library.Read("tiff", Corpus(kPhoto), resolution);
        EXPECT_EQ(d.status, -8) << "resolution " << resolution;
        EXPECT_EQ(d.bitmap, nullptr);
    }
}

TEST_F(Api, MissingOutputPointersAreInvalidArguments) {
    auto read = reinterpret_cast<ReadEntry>(reinterpret_cast<void*>(library.Ordinal(25)));
    HBITMAP bitmap = nullptr;
    EXPECT_EQ(read(Corpus(kPhoto).c_str(), 24, 0, nullptr, nullptr, 0, 0), -8);
    EXPECT_EQ(read(Corpus(kPhoto).c_str(), 8, 0, &bitmap, nullptr, 0, 0), -8);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(read(nullptr, 24, 0, &bitmap, nullptr, 0, 0), -8);
    // True colour needs no palette pointer.
    EXPECT_EQ(read(Corpus(kPhoto).c_str(), 24, 0, &bitmap, nullptr, 0, 0), 1);
    DeleteObject(bitmap);
}

TEST_F(Api, TrueColourLeavesTheIncomingPaletteAlone) {
    auto read = reinterpret_cast<ReadEntry>(reinterpret_cast<void*>(library.Ordinal(25)));
    HBITMAP bitmap = nullptr;
    HPALETTE palette = reinterpret_cast<HPALETTE>(0x1234);
    ASSERT_EQ(read(Corpus(kPhoto).c_str(), 24, 0, &bitmap, &palette, 0, 0), 1);
    EXPECT_EQ(palette, reinterpret_cast<HPALETTE>(0x1234));
    DeleteObject(bitmap);
    // A failure leaves it too, and the bitmap at 0.
    bitmap = reinterpret_cast<HBITMAP>(0x5678);
    EXPECT_LE(short(read("Z:/no/such.tif", 8, 0, &bitmap, &palette, 0, 0)), 0);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(palette, reinterpret_cast<HPALETTE>(0x1234));
}

// Each reader reads its own format; the information query names the content.
TEST_F(Api, ContentOfAnotherFormatIsRefusedWithItsOwnText) {
    Decoded d = library.Read("jpeg", Corpus(kPngAsJpg));
    EXPECT_EQ(d.status, -12);
    EXPECT_NE(library.StatusText(d.status).find("another format"), std::string::npos);
    EXPECT_EQ(library.GetInfo(Corpus(kPngAsJpg)).type, "PNG");
    EXPECT_EQ(library.Read("bmp", Corpus(kPhoto)).status, -12);
    EXPECT_EQ(library.Read("pcx", Corpus("generated/gif/pal16_227x149.gif")).status, -12);
}

TEST_F(Api, NonPictureFileIsUnknownFormat) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "sky32dem_text.bmp";
    std::ofstream(path) << "This is no picture at all, only text.\n";
    EXPECT_EQ(library.Read("bmp", path).status, -3);
    EXPECT_EQ(library.GetInfo(path).status, -3);
    DeleteFileA(path.c_str());
}

struct Reduced {
    Rgb rgb;
    int paletteEntries = 0;
};

Reduced ReadReduced(const Library& library, const std::string& format, const std::string& path,
                    int resolution, int dither) {
    Reduced out;
    Decoded d = library.Read(format, path, resolution, dither);
    EXPECT_EQ(d.status, 1) << path << " at " << resolution;
    if (!d.Ok())
        return out;
    EXPECT_NE(d.palette, nullptr);
    EXPECT_EQ(GetObjectType(d.palette), static_cast<DWORD>(OBJ_PAL));
    WORD entries = 0;
    GetObject(d.palette, sizeof entries, &entries);
    out.paletteEntries = entries;
    EXPECT_TRUE(ReadBitmap(d.bitmap, out.rgb));
    return out;
}

// Mean squared error after a 4x4 box blur: what the eye averages.
double BlurredError(const Rgb& a, const std::vector<uint8_t>& b, int w, int h) {
    double sum = 0;
    int n = 0;
    for (int y = 0; y + 4 <= h; y += 2)
        for (int x = 0; x + 4 <= w; x += 2)
            for (int c = 0; c < 3; ++c) {
                int sa = 0, sb = 0;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx) {
                        const size_t i = (size_t(y + dy) * w + x + dx) * 3 + c;
                        sa += a.pixels[i];
                        sb += b[i];
                    }
                const double d = (sa - sb) / 16.0;
                sum += d * d;
                ++n;
            }
    return sum / n;
}

TEST_F(Api, ReducedResolutionsGetSmallPalettesAndDitheringIsCloser) {
    Decoded truth = library.Read("tiff", Corpus(kPhoto));
    Rgb original;
    ASSERT_TRUE(ReadBitmap(truth.bitmap, original));
    for (int resolution : {8, 4, 1}) {
        SCOPED_TRACE("resolution " + std::to_string(resolution));
        const Reduced plain = ReadReduced(library, "tiff", Corpus(kPhoto), resolution, 0);
        const Reduced dithered = ReadReduced(library, "tiff", Corpus(kPhoto), resolution, 1);
        EXPECT_EQ(plain.rgb.bitsPerPixel, resolution);
        EXPECT_EQ(dithered.rgb.bitsPerPixel, resolution);
        EXPECT_LE(plain.paletteEntries, 1 << resolution);
        EXPECT_GE(plain.paletteEntries, 2);
        EXPECT_LE(plain.rgb.colourTable.size(), size_t(1) << resolution);
        EXPECT_EQ(plain.rgb.width, original.width);
        const double plainError =
            BlurredError(original, plain.rgb.pixels, original.width, original.height);
        const double ditheredError =
            BlurredError(original, dithered.rgb.pixels, original.width, original.height);
        std::printf("[ resolution %d ] blurred error: nearest %.1f, dithered %.1f\n", resolution,
                    plainError, ditheredError);
        EXPECT_LT(ditheredError, plainError);
    }
}

TEST_F(Api, ResolutionZeroUsesTheVgaPalette) {
    const Reduced r = ReadReduced(library, "tiff", Corpus(kPhoto), 0, 0);
    EXPECT_EQ(r.rgb.bitsPerPixel, 4);
    ASSERT_EQ(r.rgb.colourTable.size(), 16u);
    const BYTE vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                             {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(r.rgb.colourTable[i].rgbRed, vga[i][0]) << i;
        EXPECT_EQ(r.rgb.colourTable[i].rgbGreen, vga[i][1]) << i;
        EXPECT_EQ(r.rgb.colourTable[i].rgbBlue, vga[i][2]) << i;
    }
    EXPECT_EQ(r.paletteEntries, 16);
}

TEST_F(Api, APalettedPictureThatFitsKeepsItsColoursExactly) {
    Decoded truth = library.Read("gif", Corpus(kPal16Gif));
    Rgb original;
    ASSERT_TRUE(ReadBitmap(truth.bitmap, original));
    for (int resolution : {8, 4}) {
        const Reduced r = ReadReduced(library, "gif", Corpus(kPal16Gif), resolution, 1);
        EXPECT_EQ(r.paletteEntries, 16) << resolution;
        EXPECT_EQ(r.rgb.pixels, original.pixels) << "resolution " << resolution;
    }
}

// GetGuiResources counts nothing under Wine. Instead the GDI handle table is
// filled up to 300 free slots; a read that leaked a handle would soon make
// bitmap creation fail.
TEST_F(Api, ReadsThatFailAfterTheBitmapExistsLeakNothing) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string cut = std::string(temp) + "sky32dem_short.pcx";
    {
        // A 64x64 8-bit grey PCX whose pixel data stops after one line.
        uint8_t header[128] = {0x0A, 5, 1, 8, 0, 0, 0, 0, 63, 0, 63, 0};
        header[65] = 1;  // planes
        header[66] = 64; // bytes per line
        header[68] = 2;  // grey palette
        std::ofstream out(cut, std::ios::binary);
        out.write(reinterpret_cast<const char*>(header), sizeof header);
        out.write(std::string(64, '\x01').data(), 64);
    }
    const std::string good = Corpus("pcx/pcx-rs/tiny.pcx");
    std::vector<HBITMAP> filler;
    while (filler.size() < 200000) {
        HBITMAP b = CreateBitmap(1, 1, 1, 1, nullptr);
        if (!b)
            break;
        filler.push_back(b);
    }
    for (int i = 0; i < 300 && !filler.empty(); ++i) {
        DeleteObject(filler.back());
        filler.pop_back();
    }
    for (int i = 0; i < 1200; ++i) {
        Decoded bad = library.Read("pcx", cut, i % 2 ? 24 : 8, 0);
        ASSERT_EQ(bad.status, -5) << "read " << i;
        Decoded ok = library.Read("pcx", good, 8, 1);
        ASSERT_EQ(ok.status, 1) << "read " << i << ": " << library.StatusText(ok.status);
    }
    for (HBITMAP b : filler)
        DeleteObject(b);
    EXPECT_GT(filler.size(), 1000u) << "the handle table never filled";
    EXPECT_LT(filler.size(), 199000u) << "the handle table never filled";
    DeleteFileA(cut.c_str());
}

TEST_F(Api, InfoFillsTextsWithinTheirBuffers) {
    const Info info = library.GetInfo(Corpus("png/pngsuite/basi3p08.png"));
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.type, "PNG");
    EXPECT_EQ(info.width, 32);
    EXPECT_EQ(info.bits * info.planes, 8);
    EXPECT_EQ(info.extra, 256);
    EXPECT_EQ(info.description, "PNG 8-bit palette, Adam7");
}

// No global and no local table: read as ImageMagick reads it, with a table
// of black entries as large as the screen's size field says.
TEST_F(Api, AGifWithoutAnyColourTableReadsWithBlackEntries) {
    GifPlan plan;
    plan.screenWidth = plan.width = 4;
    plan.screenHeight = plan.height = 2;
    plan.codes = CodesOf({0, 1, 0, 1, 1, 0, 1, 0}, 2);
    const TempFile plain("sky32dem_no_table.gif", MakeGif(plan));
    for (int resolution : {24, 8, 4, 1, 0}) {
        SCOPED_TRACE(resolution);
        Decoded d = library.Read("gif", plain.Path(), resolution);
        ASSERT_EQ(d.status, 1) << library.StatusText(d.status);
        Rgb rgb;
        ASSERT_TRUE(ReadBitmap(d.bitmap, rgb));
        EXPECT_EQ(rgb.pixels, std::vector<uint8_t>(4 * 2 * 3, 0));
    }
    const Info info = library.GetInfo(plain.Path());
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.width, 4);

    // The transparent index composes over white.
    plan.transparent = 1;
    const TempFile transparent("sky32dem_no_table_transparent.gif", MakeGif(plan));
    Decoded t = library.Read("gif", transparent.Path());
    ASSERT_EQ(t.status, 1) << library.StatusText(t.status);
    Rgb rgb;
    ASSERT_TRUE(ReadBitmap(t.bitmap, rgb));
    EXPECT_EQ(rgb.pixels[0], 0);
    EXPECT_EQ(rgb.pixels[3], 255);

    // An index past those entries is refused as ImageMagick refuses it.
    plan.transparent = -1;
    plan.codes = CodesOf({0, 1, 2, 3, 0, 1, 2, 3}, 2);
    const TempFile outside("sky32dem_no_table_outside.gif", MakeGif(plan));
    EXPECT_EQ(library.Read("gif", outside.Path()).status,
              library.Read("gif", Corpus("gif/gif-test-suite/invalid-colors.gif")).status);
}

// A complete first frame followed by bytes that are no GIF block (here a
// second GIF file): the first frame is shown, as the common decoders show it.
TEST_F(Api, AGifFollowedByOtherBytesShowsItsFirstFrame) {
    GifPlan plan;
    plan.screenWidth = plan.width = 4;
    plan.screenHeight = plan.height = 2;
    plan.globalTable = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255};
    plan.codes = CodesOf({0, 1, 0, 1, 1, 0, 1, 0}, 2);
    std::vector<uint8_t> file = MakeGif(plan);
    const std::vector<uint8_t> second = file;
    file.pop_back(); // the trailer
    file.insert(file.end(), second.begin(), second.end());
    const TempFile joined("sky32dem_joined.gif", file);
    Decoded d = library.Read("gif", joined.Path());
    ASSERT_EQ(d.status, 1) << library.StatusText(d.status);
    Rgb rgb;
    ASSERT_TRUE(ReadBitmap(d.bitmap, rgb));
    EXPECT_EQ(rgb.pixels[0], 0);
    EXPECT_EQ(rgb.pixels[3], 255);
}

// The stream without its JFIF marker, which comes first in the corpus files.
std::vector<uint8_t> WithoutJfif(std::vector<uint8_t> jpeg) {
    EXPECT_TRUE(jpeg.size() > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0);
    jpeg.erase(jpeg.begin() + 2, jpeg.begin() + 4 + (jpeg[4] << 8 | jpeg[5]));
    return jpeg;
}

// CMYK in a JPEG-compressed strip reads as the same stream in a .jpg file.
TEST_F(Api, CmykJpegStripsReadAsCmykJpegFiles) {
    TiffMaker t = Picture(227, 149, 4, 5);
    t.Short(259, 7);
    const std::vector<uint8_t> jpeg = CorpusBytes("generated/jpeg/cmyk_227x149.jpg");
    ExpectJpegStripReadsAs(t, jpeg, jpeg);
}

// The colours of a three-component stream: its JFIF or Adobe marker says,
// else its components' names, else, in a TIFF that says RGB, the stream and
// the file: subsampled chroma or a subsampling tag (some writers give RGB
// TIFFs over YCbCr streams so) mean YCbCr, else the components are RGB as
// stored. libtiff, and ImageMagick with it, shows such YCbCr raw; the
// platform decoder takes components named 1, 2, 3 as YCbCr whatever an
// Adobe marker says.
TEST_F(Api, JpegColoursAreWhatTheStreamAndTheFileSay) {
    TiffMaker rgb = Picture(227, 149, 3, 2);
    rgb.Short(259, 7);
    TiffMaker tagged = rgb;
    tagged.Tag(530, 3, {1, 1});
    const std::vector<uint8_t> subsampled =
        WithoutJfif(CorpusBytes("generated/jpeg/baseline_420_227x149.jpg"));
    ExpectJpegStripReadsAs(rgb, subsampled, subsampled);
    const std::vector<uint8_t> full =
        WithoutJfif(CorpusBytes("generated/jpeg/baseline_444_227x149.jpg"));
    ExpectJpegStripReadsAs(tagged, full, full);

    // Neither: RGB as stored, as an Adobe marker saying "no transform" makes
    // a .jpg file read, and so the YCbCr of the picture.
    std::vector<uint8_t> adobe = full;
    const uint8_t noTransform[] = {0xFF, 0xEE, 0,   14, 'A', 'd', 'o', 'b',
                                   'e',  0,    100, 0,  0,   0,   0,   0};
    adobe.insert(adobe.begin() + 2, std::begin(noTransform), std::end(noTransform));
    ExpectJpegStripReadsAs(rgb, full, adobe);
    const TempFile raw("sky32dem_raw.jpg", adobe);
    Decoded fromRaw = library.Read("jpeg", raw.Path());
    Decoded fromYCbCr = library.Read("jpeg", Corpus("generated/jpeg/baseline_444_227x149.jpg"));
    Rgb stored, shown;
    ASSERT_TRUE(ReadBitmap(fromRaw.bitmap, stored));
    ASSERT_TRUE(ReadBitmap(fromYCbCr.bitmap, shown));
    ASSERT_EQ(stored.pixels.size(), shown.pixels.size());
    double off = 0;
    for (size_t i = 0; i + 2 < shown.pixels.size(); i += 3) {
        const double r = shown.pixels[i], g = shown.pixels[i + 1], b = shown.pixels[i + 2];
        const double ycc[3] = {0.299 * r + 0.587 * g + 0.114 * b,
                               128 - 0.168736 * r - 0.331264 * g + 0.5 * b,
                               128 + 0.5 * r - 0.418688 * g - 0.081312 * b};
        for (int c = 0; c < 3; ++c)
            off += std::abs(ycc[c] - stored.pixels[i + c]);
    }
    EXPECT_LT(off / double(shown.pixels.size()), 2.0);
}

// Signed samples with zero as the middle grey: ImageMagick maps 16-bit ones
// so (-32768 black, 32767 white), though it takes 8- and 32-bit ones and
// netpbm takes all as unsigned; one rule for every depth here.
TEST_F(Api, SignedSamplesHaveZeroInTheMiddle) {
    const auto grey = [this](unsigned bits, const std::vector<uint32_t>& values) {
        TiffMaker t = Picture(uint32_t(values.size()), 1, 1, 1);
        t.Tag(258, 3, {bits});
        t.Short(339, 2);
        std::vector<uint8_t> bytes;
        for (uint32_t v : values)
            for (unsigned k = 0; k < bits / 8; ++k)
                bytes.push_back(uint8_t(v >> 8 * k));
        const std::vector<uint8_t> rgb = ReadBuiltTiff(t, bytes);
        std::vector<uint8_t> out;
        for (size_t i = 0; i < rgb.size(); i += 3)
            out.push_back(rgb[i]);
        return out;
    };
    // -32768, -16384, -1, 0, 16384, 32767
    EXPECT_EQ(grey(16, {0x8000, 0xC000, 0xFFFF, 0, 0x4000, 0x7FFF}),
              (std::vector<uint8_t>{0, 63, 127, 127, 191, 255}));
    EXPECT_EQ(grey(32, {0x80000000, 0xFFFFFFFF, 0, 0x7FFFFFFF}),
              (std::vector<uint8_t>{0, 127, 127, 255}));
}

// 8-bit CIELab relative to D50, as ICC profiles and most decoders take it
// (ImageMagick takes D65): the sRGB primaries' D50 Lab values come back as
// the primaries, L* 50 as sRGB's mid grey.
TEST_F(Api, CieLabReadsAsSrgb) {
    TiffMaker t = Picture(4, 1, 3, 8);
    // L* scaled to 255, a* and b* as signed bytes.
    const int lab[4][3] = {{54, 81, 70}, {88, -79, 81}, {30, 68, -112}, {50, 0, 0}};
    std::vector<uint8_t> bytes;
    for (const auto& p : lab)
        bytes.insert(bytes.end(), {uint8_t(std::lround(p[0] * 2.55)), uint8_t(int8_t(p[1])),
                                   uint8_t(int8_t(p[2]))});
    const std::vector<uint8_t> rgb = ReadBuiltTiff(t, bytes);
    ASSERT_EQ(rgb.size(), 12u);
    const int srgb[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {119, 119, 119}};
    for (size_t i = 0; i < 12; ++i)
        EXPECT_NEAR(rgb[i], srgb[i / 3][i % 3], 12) << i;
}

// YCbCr with BT.709 coefficients and studio range: red, green, blue and a
// mid colour come back (libtiff agrees; the default coefficients and range
// would be off by up to 35 levels).
TEST_F(Api, YCbCrTakesItsOwnCoefficientsAndRange) {
    TiffMaker t = Picture(4, 1, 3, 6);
    t.Tag(530, 3, {1, 1});
    t.Tag(529, 5, {2126, 10000, 7152, 10000, 722, 10000});
    t.Tag(532, 5, {16, 1, 235, 1, 128, 1, 240, 1, 128, 1, 240, 1});
    const std::vector<uint8_t> rgb =
        ReadBuiltTiff(t, {63, 102, 240, 173, 41, 26, 32, 240, 118, 151, 101, 152});
    const std::vector<int> expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 200, 150, 100};
    ASSERT_EQ(rgb.size(), expected.size());
    for (size_t i = 0; i < rgb.size(); ++i)
        EXPECT_NEAR(rgb[i], expected[i], 2) << i;
}

// A colour map index with a second, alpha sample, LZW-compressed: the
// entry's colour over white as for every transparent picture (ImageMagick
// flattened on white agrees; libtiff's RGBA reading drops the alpha).
TEST_F(Api, PaletteWithAlphaShowsItsColoursOverWhite) {
    TiffMaker t = Picture(3, 1, 2, 3);
    t.Short(259, 5);
    t.Short(338, 2);
    std::vector<uint32_t> map(3 * 256, 0);
    map[1] = 0xFFFF; // entry 1 red, entry 2 blue
    map[512 + 2] = 0xFFFF;
    t.Tag(320, 3, map);
    const std::vector<uint8_t> rgb = ReadBuiltTiff(t, LzwCodes({1, 255, 2, 0, 2, 128}));
    EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 0, 0, 255, 255, 255, 127, 127, 255}));
}

// WhiteIsZero at 2 and 4 bits: 0 white and the largest value black, as at 1
// and 8 bits and as netpbm reads them; ImageMagick reads these two depths
// as BlackIsZero.
TEST_F(Api, WhiteIsZeroHasZeroWhiteAtEveryDepth) {
    for (const auto& [bits, strip] :
         {std::pair<uint32_t, std::vector<uint8_t>>{2, {0x1B}}, {4, {0x05, 0xAF}}}) {
        TiffMaker t = Picture(4, 1, 1, 0);
        t.Tag(258, 3, {bits});
        const std::vector<uint8_t> rgb = ReadBuiltTiff(t, strip);
        EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 255, 255, 170, 170, 170, 85, 85, 85, 0, 0, 0}))
            << bits;
    }
}

// A CRC error in an ancillary chunk is skipped, as decoders do; in a
// critical chunk it is damage.
TEST_F(Api, OnlyACriticalPngChunkMustHaveItsCrc) {
    const std::vector<uint8_t> good = CorpusBytes("png/pngsuite/ct1n0g04.png");
    const auto damaged = [&good](const char* type) {
        std::vector<uint8_t> d = good;
        const auto at = std::search(d.begin(), d.end(), type, type + 4);
        const size_t length = size_t{at[-4]} << 24 | at[-3] << 16 | at[-2] << 8 | at[-1];
        at[4 + length] ^= 0xFF;
        return d;
    };
    const TempFile text("sky32dem_bad_text_crc.png", damaged("tEXt"));
    const TempFile data("sky32dem_bad_idat_crc.png", damaged("IDAT"));
    Decoded want = library.Read("png", Corpus("png/pngsuite/ct1n0g04.png"));
    Decoded got = library.Read("png", text.Path());
    ASSERT_EQ(got.status, 1) << library.StatusText(got.status);
    Rgb wantRgb, gotRgb;
    ASSERT_TRUE(ReadBitmap(want.bitmap, wantRgb) && ReadBitmap(got.bitmap, gotRgb));
    EXPECT_EQ(gotRgb.pixels, wantRgb.pixels);
    EXPECT_FALSE(library.Read("png", data.Path()).Ok());
}

struct ThreadRead {
    const Library* library;
    std::string path;
    int status = 0;
};

DWORD WINAPI ReadOnThread(void* p) {
    auto* a = static_cast<ThreadRead*>(p);
    a->status = a->library->Read("tiff", a->path).status;
    return 0;
}

TEST_F(Api, CallsFromAThreadWithoutComWork) {
    ThreadRead args{&library, Corpus(kPhoto)};
    HANDLE thread = CreateThread(nullptr, 0, ReadOnThread, &args, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(args.status, 1);
    // And again after that thread's COM is gone.
    EXPECT_EQ(library.Read("tiff", Corpus(kPhoto)).status, 1);
}

// Stands in for the imaging factory's class: every creation fails.
struct RefusingClass : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Each read makes its factory in the caller's apartment: a creation that
// failed once does not keep later reads from working.
TEST_F(Api, AFailedDecoderCreationIsTriedAgain) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(SUCCEEDED(com));
    RefusingClass refusing;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_WICImagingFactory, &refusing, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    // A GIF: a TIFF would be read by our own reader without the platform's.
    const int refused = library.Read("gif", Corpus(kPal16Gif)).status;
    CoRevokeClassObject(cookie);
    EXPECT_EQ(refused, -11) << library.StatusText(refused);
    EXPECT_EQ(library.Read("gif", Corpus(kPal16Gif)).status, 1);
    CoUninitialize();
}

} // namespace
} // namespace skytest
