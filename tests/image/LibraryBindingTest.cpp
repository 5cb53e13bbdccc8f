#include "image/LibraryBinding.h"
#include "toolkit/Dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace image;

namespace {

// A fake library: records what it was given and answers with a set status.
struct FakeCall {
    std::string path;
    int resolution = -1, dither = -1, reserved = -1, one = -1;
    HPALETTE incoming = nullptr;
};
FakeCall lastCall;
int nextStatus = 1;
bool returnBitmap = true;

int WINAPI FakeRead(const char* path, int resolution, int dither, HBITMAP* bitmap,
                    HPALETTE* palette, int reserved, int) {
    lastCall = {path, resolution, dither, reserved, -1, *palette};
    *bitmap = returnBitmap ? CreateBitmap(3, 2, 1, 32, nullptr) : nullptr;
    return nextStatus;
}

int WINAPI FakeReadJpeg(const char* path, int resolution, int one, int dither, HBITMAP* bitmap,
                        HPALETTE* palette, int reserved, int zero) {
    int status = FakeRead(path, resolution, dither, bitmap, palette, reserved, zero);
    lastCall.one = one;
    return status;
}

int WINAPI FakeInfo(const char* path, char* type, short* width, short* height, short* bits,
                    short* planes, short* extra, char* description, int) {
    lastCall.path = path;
    std::strcpy(type, "PNG");
    *width = -2;
    *height = 600;
    *bits = 8;
    *planes = 3;
    *extra = 256;
    std::strcpy(description, "PNG 8-bit palette");
    return nextStatus;
}

class Binding : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = Library();
        Library() = {FakeInfo, FakeReadJpeg, FakeRead, FakeRead, FakeRead, FakeRead, FakeRead};
        nextStatus = 1;
        returnBitmap = true;
        toolkit::SetDialogHook([this](toolkit::DialogRecord& box) {
            boxes.push_back(box);
            return toolkit::mrOk;
        });
    }
    void TearDown() override {
        Library() = saved_;
        toolkit::SetDialogHook(nullptr);
    }
    std::vector<toolkit::DialogRecord> boxes;
    LibraryEntries saved_{};
};

} // namespace

TEST_F(Binding, StatusCountsByItsLowSixteenBitsAsASignedNumber) {
    EXPECT_TRUE(StatusSucceeded(1));
    EXPECT_TRUE(StatusSucceeded(2));
    EXPECT_TRUE(StatusSucceeded(0x7FFF));
    EXPECT_TRUE(StatusSucceeded(0x10001)); // low half 1
    EXPECT_FALSE(StatusSucceeded(0));
    EXPECT_FALSE(StatusSucceeded(-1));
    EXPECT_FALSE(StatusSucceeded(0x8000));  // low half negative
    EXPECT_FALSE(StatusSucceeded(0x10000)); // low half 0
}

TEST_F(Binding, ReadersPassTheirArgumentsAndTakeTheHandles) {
    using Reader = bool (*)(const std::string&, int, int, toolkit::TBitmap&, int);
    for (Reader read :
         {ReadBmpFile, ReadGifFile, ReadPcxFile, ReadPngFile, ReadTiffFile, ReadJpegFile}) {
        toolkit::TBitmap bitmap;
        nextStatus = 2;
        EXPECT_TRUE(read("C:\\PICS\\A.BMP", 8, 1, bitmap, 0));
        EXPECT_EQ(lastCall.path, "C:\\PICS\\A.BMP");
        EXPECT_EQ(lastCall.resolution, 8);
        EXPECT_EQ(lastCall.dither, 1);
        EXPECT_EQ(lastCall.reserved, 0);
        EXPECT_EQ(lastCall.incoming, SharedPalette);
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_TRUE(boxes.empty());
    }
    EXPECT_EQ(lastCall.one, 1); // the JPEG reader's constant
}

TEST_F(Binding, AFailedReadShowsTheLibraryTextAndKeepsWhatWasReturned) {
    nextStatus = -1;
    toolkit::TBitmap bitmap;
    EXPECT_FALSE(ReadBmpFile("X.BMP", 24, 0, bitmap, 0));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Fehler");
    EXPECT_EQ(boxes[0].buttons, std::vector<std::string>{"OK"});
    // The text of string 65535 of the library.
    char expected[256] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA("SKY32DEM.DLL"), 65535, expected, sizeof expected), 0);
    EXPECT_EQ(boxes[0].text, expected);
    EXPECT_EQ(bitmap.Width(), 3); // handles placed whatever the status

    nextStatus = 0;
    returnBitmap = false;
    EXPECT_FALSE(ReadGifFile("X.GIF", 24, 0, bitmap, 0));
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(Binding, PathsAreCutTo255Characters) {
    toolkit::TBitmap bitmap;
    std::string exact = "C:\\" + std::string(252, 'a');
    ReadPngFile(exact, 24, 0, bitmap, 0);
    EXPECT_EQ(lastCall.path, exact);
    std::string longer = "C:\\" + std::string(297, 'b');
    ReadPngFile(longer, 24, 0, bitmap, 0);
    EXPECT_EQ(lastCall.path.size(), 255u);
    EXPECT_EQ(lastCall.path, longer.substr(0, 255));
}

TEST_F(Binding, InfoOutputsAreCopiedWithTheirSignWhateverTheStatus) {
    ImageInfo info;
    EXPECT_TRUE(ReadImageInfo("A.PNG", info));
    EXPECT_EQ(info.type, "PNG");
    EXPECT_EQ(info.width, -2);
    EXPECT_EQ(info.height, 600);
    EXPECT_EQ(info.bits * info.planes, 24);
    EXPECT_EQ(info.extra, 256);
    EXPECT_EQ(info.description, "PNG 8-bit palette");
    nextStatus = -3;
    ImageInfo failed;
    EXPECT_FALSE(ReadImageInfo("B.PNG", failed));
    EXPECT_EQ(failed.height, 600);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST(LocateDibBits, CountsTheColourTableOfCoreAndInfoHeaders) {
    alignas(4) BYTE buffer[1024] = {};
    auto* core = reinterpret_cast<BITMAPCOREHEADER*>(buffer);
    core->bcSize = sizeof(BITMAPCOREHEADER);
    core->bcBitCount = 4;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(buffer);
    DibLocation location = LocateDibBits(header);
    EXPECT_EQ(location.colorCount, 16);
    EXPECT_EQ(location.bits, buffer + 12 + 16 * 3);
    core->bcBitCount = 24;
    location = LocateDibBits(header);
    EXPECT_EQ(location.colorCount, 0);
    EXPECT_EQ(location.bits, buffer + 12);

    *header = {};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biBitCount = 8;
    header->biClrUsed = 16;
    location = LocateDibBits(header);
    EXPECT_EQ(location.colorCount, 16);
    EXPECT_EQ(location.bits, buffer + 40 + 16 * 4);
    header->biClrUsed = 0;
    EXPECT_EQ(LocateDibBits(header).colorCount, 256);
    header->biBitCount = 1;
    EXPECT_EQ(LocateDibBits(header).colorCount, 2);
    // More than 8 bits and no used-colour count: no table.
    header->biBitCount = 24;
    location = LocateDibBits(header);
    EXPECT_EQ(location.colorCount, 0);
    EXPECT_EQ(location.bits, buffer + 40);
    // A count beyond what a palette can hold is not trusted.
    header->biBitCount = 8;
    header->biClrUsed = 70000;
    EXPECT_LE(LocateDibBits(header).colorCount, 256);
}

TEST(LocateDibBits, CoreHeaderAboveEightBitsHasNoTable) {
    alignas(4) BYTE buffer[64] = {};
    auto* core = reinterpret_cast<BITMAPCOREHEADER*>(buffer);
    core->bcSize = sizeof(BITMAPCOREHEADER);
    for (WORD bits : {9, 16, 23}) {
        core->bcBitCount = bits;
        DibLocation location = LocateDibBits(reinterpret_cast<BITMAPINFOHEADER*>(buffer));
        EXPECT_EQ(location.colorCount, 0) << bits;
        EXPECT_EQ(location.bits, buffer + 12) << bits;
    }
}

TEST(ReadResourceBitmap, FindsBitmapsByNameNumberAndHexNumber) {
    HWND desktop = GetDesktopWindow();
    for (const char* name : {"HARD", "123", "$7B", " +123"}) {
        toolkit::TBitmap bitmap;
        ASSERT_TRUE(ReadResourceBitmap("", name, desktop, bitmap)) << name;
        EXPECT_EQ(bitmap.Width(), 16) << name;
        EXPECT_EQ(bitmap.Height(), 11) << name;
        ASSERT_NE(bitmap.Palette(), nullptr) << name;
        EXPECT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 0, nullptr), 16u) << name;
    }
    toolkit::TBitmap untouched;
    untouched.SetHandle(CreateBitmap(5, 5, 1, 1, nullptr));
    EXPECT_FALSE(ReadResourceBitmap("", "NO_SUCH_BITMAP", desktop, untouched));
    EXPECT_FALSE(ReadResourceBitmap("", "124", desktop, untouched));
    EXPECT_FALSE(ReadResourceBitmap("NOSUCHMODULE.DLL", "HARD", desktop, untouched));
    EXPECT_EQ(untouched.Width(), 5);
}

TEST(ColorBitsForDepth, MapsDisplayDepthsToReaderResolutions) {
    EXPECT_EQ(ColorBitsForDepth(1), 4);
    EXPECT_EQ(ColorBitsForDepth(4), 4);
    EXPECT_EQ(ColorBitsForDepth(8), 8);
    EXPECT_EQ(ColorBitsForDepth(15), 8);
    EXPECT_EQ(ColorBitsForDepth(16), 24);
    EXPECT_EQ(ColorBitsForDepth(24), 24);
    EXPECT_EQ(ColorBitsForDepth(32), 24);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(DeviceColorBits(screen), ColorBitsForDepth(GetDeviceCaps(screen, BITSPIXEL)));
    ReleaseDC(nullptr, screen);
}

TEST(FileNames, StemAndNamePart) {
    EXPECT_EQ(FileStem("C:\\PICS\\SUNSET.BIG.RES"), "SUNSET");
    EXPECT_EQ(FileStem("LOGO"), "LOGO");
    EXPECT_EQ(FileStem("D:LOGO.RES"), "LOGO");
    EXPECT_EQ(FileNamePart("C:\\A\\B.BMP"), "B.BMP");
    EXPECT_EQ(FileNamePart(std::string(100, 'x')).size(), 64u);
}
