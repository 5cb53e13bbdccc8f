#include "image/LibraryBinding.h"
#include "image/TMultiP.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <vector>

using namespace image;

namespace {

const std::string kCorpus = GLIMMORA_CORPUS_DIR;

std::string Corpus(const std::string& relative) {
    // Unix paths reach the Windows side through drive Z:.
    std::string path = "Z:" + kCorpus + "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string TempFolder() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "glim_image_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::string CopyTo(const std::string& from, const std::string& name) {
    std::string to = TempFolder() + "\\" + name;
    CopyFileA(from.c_str(), to.c_str(), FALSE);
    return to;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

// A Windows metafile with a filled rectangle, optionally with the placeable header.
std::vector<BYTE> MakeWindowsMetafile(bool placeable) {
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowExtEx(dc, 100, 50, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    Rectangle(dc, 0, 0, 100, 50);
    HMETAFILE metafile = CloseMetaFile(dc);
    DeleteObject(red);
    UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    std::vector<BYTE> bits(size);
    GetMetaFileBitsEx(metafile, size, bits.data());
    DeleteMetaFile(metafile);
    if (!placeable)
        return bits;
    std::vector<BYTE> header(22, 0);
    auto put16 = [&](size_t at, int v) {
        header[at] = static_cast<BYTE>(v);
        header[at + 1] = static_cast<BYTE>(v >> 8);
    };
    header[0] = 0xD7, header[1] = 0xCD, header[2] = 0xC6, header[3] = 0x9A;
    put16(10, 100); // right
    put16(12, 50);  // bottom
    put16(14, 96);  // units per inch
    WORD checksum = 0;
    for (size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<WORD>(header[i] | (header[i + 1] << 8));
    put16(20, checksum);
    header.insert(header.end(), bits.begin(), bits.end());
    return header;
}

// An icon file with one opaque 32-bit image of a single colour.
std::vector<BYTE> MakeIconFile(int size, COLORREF colour) {
    std::vector<BYTE> data;
    auto put = [&data](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            data.push_back(static_cast<BYTE>(value >> (8 * i)));
    };
    const unsigned maskRow = (static_cast<unsigned>(size) + 31) / 32 * 4;
    const unsigned image = 40 + static_cast<unsigned>(size * size) * 4 + maskRow * size;
    put(0, 2); // ICONDIR: reserved, type 1, one entry
    put(1, 2);
    put(1, 2);
    put(size & 0xFF, 1); // 256 is written as 0
    put(size & 0xFF, 1);
    put(0, 2);
    put(1, 2);
    put(32, 2);
    put(image, 4);
    put(6 + 16, 4);
    put(40, 4); // BITMAPINFOHEADER of the colour and mask images
    put(static_cast<unsigned>(size), 4);
    put(static_cast<unsigned>(size * 2), 4);
    put(1, 2);
    put(32, 2);
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    for (int i = 0; i < size * size; ++i)
        put(GetBValue(colour) | GetGValue(colour) << 8 | GetRValue(colour) << 16 | 0xFFu << 24, 4);
    data.insert(data.end(), maskRow * size, 0);
    return data;
}

class MultiImage : public ::testing::Test {
protected:
    void SetUp() override {
        TPMultiImage::Register();
        form = std::make_unique<toolkit::TForm>();
        form->LoadLayout("object F: TForm\n ClientWidth = 400\n ClientHeight = 300\n"
                         " object Image: TPMultiImage\n  Left = 10\n  Top = 10\n"
                         "  Width = 120\n  Height = 80\n"
                         "  ImageName = 'file not found'\n  ImageLibPalette = False\n"
                         "  ImageDither = False\n  ImageReadRes = lColorTrue\n end\nend\n");
        image = form->Find<TPMultiImage>("Image");
        toolkit::SetDialogHook([this](toolkit::DialogRecord& box) {
            boxes.push_back(box.title + ": " + box.text);
            return toolkit::mrOk;
        });
    }
    void TearDown() override { toolkit::SetDialogHook(nullptr); }

    // Renders the control into a memory bitmap and reads one pixel.
    COLORREF PixelAfterPaint(int x, int y) {
        RECT client;
        GetClientRect(image->Handle(), &client);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memory, target);
        HBRUSH grey = CreateSolidBrush(RGB(1, 2, 3));
        FillRect(memory, &client, grey);
        DeleteObject(grey);
        SendMessageA(image->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        COLORREF pixel = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteObject(target);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixel;
    }

    // A picture of the given size: red left half, blue right half.
    void SetTwoColourPicture(int w, int h) {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT left{0, 0, w / 2, h}, right{w / 2, 0, w, h};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(memory, &left, red);
        FillRect(memory, &right, blue);
        DeleteObject(red);
        DeleteObject(blue);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        toolkit::TBitmap graphic;
        graphic.SetHandle(bitmap);
        image->Picture().SetGraphic(&graphic);
    }

    std::unique_ptr<toolkit::TForm> form;
    TPMultiImage* image = nullptr;
    std::vector<std::string> boxes;
};

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBackground = RGB(1, 2, 3);

} // namespace

TEST_F(MultiImage, StartsWithTheStoredOptionsAfterTheNotFoundLoad) {
    EXPECT_EQ(image->LoadStatus(), "file not found");
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    EXPECT_FALSE(image->ImageLibPalette());
    EXPECT_FALSE(image->ImageDither());
    EXPECT_EQ(image->JPegSaveQuality(), 25);
    EXPECT_TRUE(image->UseTwainWindow());
    EXPECT_TRUE(image->TextTransParent());
    EXPECT_EQ(image->Color(), toolkit::clBtnFace);
    TPMultiImage fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 105);
    EXPECT_EQ(fresh.Height(), 105);
    EXPECT_TRUE(fresh.ImageLibPalette());
    EXPECT_TRUE(fresh.ImageDither());
}

TEST_F(MultiImage, SettersRepaintOnlyOnChange) {
    struct Case {
        const char* name;
        std::function<void()> set;
    };
    std::vector<Case> cases = {
        {"Center", [&] { image->SetCenter(image->Center()); }},
        {"Stretch", [&] { image->SetStretch(image->Stretch()); }},
        {"StretchRatio", [&] { image->SetStretchRatio(image->StretchRatio()); }},
        {"Text", [&] { image->SetText(image->Text()); }},
        {"TextShadow", [&] { image->SetTextShadow(image->TextShadow()); }},
        {"TextLeft", [&] { image->SetTextLeft(image->TextLeft()); }},
        {"TextTop", [&] { image->SetTextTop(image->TextTop()); }},
        {"TextRotate", [&] { image->SetTextRotate(image->TextRotate()); }},
        {"TextTransParent", [&] { image->SetTextTransParent(image->TextTransParent()); }},
        {"BorderStyle", [&] { image->SetBorderStyle(image->BorderStyle()); }},
        {"TextShadowColor", [&] { image->SetTextShadowColor(toolkit::clRed); }},
    };
    for (auto& c : cases) {
        int before = image->RepaintCount();
        c.set();
        EXPECT_EQ(image->RepaintCount(), before) << c.name;
    }
    int before = image->RepaintCount();
    image->SetAutoSize(false); // always runs the picture-change handling
    EXPECT_EQ(image->RepaintCount(), before + 1);
    image->SetText("Hello");
    image->SetTextLeft(5);
    EXPECT_EQ(image->RepaintCount(), before + 3);
}

TEST_F(MultiImage, StretchAndStretchRatioExcludeEachOther) {
    image->SetStretchRatio(true);
    int before = image->RepaintCount();
    image->SetStretch(true);
    EXPECT_TRUE(image->Stretch());
    EXPECT_FALSE(image->StretchRatio());
    EXPECT_EQ(image->RepaintCount(), before + 2);
    image->SetStretch(false);
    EXPECT_FALSE(image->StretchRatio());
    image->SetStretchRatio(true);
    EXPECT_FALSE(image->Stretch());
    image->SetStretchRatio(false);
    EXPECT_FALSE(image->Stretch());
}

TEST_F(MultiImage, SaveOptionsAreClamped) {
    image->SetJPegSaveQuality(0);
    EXPECT_EQ(image->JPegSaveQuality(), 25);
    image->SetJPegSaveQuality(100);
    EXPECT_EQ(image->JPegSaveQuality(), 100);
    image->SetJPegSaveQuality(101);
    EXPECT_EQ(image->JPegSaveQuality(), 25);
    image->SetJPegSaveSmooth(100);
    EXPECT_EQ(image->JPegSaveSmooth(), 100);
    image->SetJPegSaveSmooth(101);
    EXPECT_EQ(image->JPegSaveSmooth(), 5);
}

TEST_F(MultiImage, AutoSizeAndOpaqueMarkFollowThePicture) {
    image->SetAutoSize(true);
    SetTwoColourPicture(320, 200);
    EXPECT_EQ(image->Width(), 320);
    EXPECT_EQ(image->Height(), 200);
    EXPECT_TRUE(image->Opaque());
    image->Picture().SetGraphic(nullptr);
    EXPECT_EQ(image->Width(), 320); // size kept
    EXPECT_FALSE(image->Opaque());
    image->SetAutoSize(false);
    SetTwoColourPicture(321, 200);
    EXPECT_FALSE(image->Opaque());
}

TEST_F(MultiImage, ControlPaletteDependsOnImageLibPalette) {
    image->SetImageName("HARD.RES");
    ASSERT_NE(image->Picture().Bitmap(), nullptr);
    HPALETTE palette = image->Picture().Bitmap()->Palette();
    ASSERT_NE(palette, nullptr);
    image->SetImageLibPalette(false);
    EXPECT_EQ(image->ControlPalette(), palette);
    image->SetImageLibPalette(true);
    EXPECT_EQ(image->ControlPalette(), nullptr);
}

TEST_F(MultiImage, LoadsEveryLibraryFormatByItsKey) {
    struct Case {
        const char* file;
        const char* type;
        int width, height;
    };
    const Case cases[] = {
        {"generated/bmp/rgb24_227x149.bmp", "BMP", 227, 149},
        {"generated/gif/gif87a_227x149.gif", "GIF", 227, 149},
        {"generated/jpeg/baseline_420_227x149.jpg", "JPEG", 227, 149},
        {"generated/pcx/own_8bit_227x149.pcx", "PCX", 227, 149},
        {"png/pngsuite/basn2c08.png", "PNG", 32, 32},
    };
    for (const Case& c : cases) {
        std::string path = Corpus(c.file);
        image->SetImageName(path);
        EXPECT_TRUE(boxes.empty()) << c.file << ": " << (boxes.empty() ? "" : boxes[0]);
        ASSERT_NE(image->Picture().Bitmap(), nullptr) << c.file;
        EXPECT_EQ(image->Picture().Width(), c.width) << c.file;
        EXPECT_EQ(image->InfoWidth, c.width) << c.file;
        EXPECT_EQ(image->InfoHeight, c.height) << c.file;
        EXPECT_EQ(image->InfoType, c.type) << c.file;
        EXPECT_GT(image->InfoFileSize, 0) << c.file;
        std::string upper = path;
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(image->LoadStatus(), upper);
    }
}

TEST_F(MultiImage, KeysAreCutToFourCharacters) {
    // ".tiff" reads as TIFF; ".jpeg" matches nothing and keeps the picture.
    std::string tiff = CopyTo(Corpus("generated/bmp/rgb24_227x149.bmp"), "x.bmp");
    image->SetImageName(tiff);
    ASSERT_NE(image->Picture().Graphic(), nullptr);
    std::string jpeg = CopyTo(Corpus("generated/jpeg/baseline_420_227x149.jpg"), "photo.jpeg");
    image->InfoType = "unchanged";
    image->SetImageName(jpeg);
    EXPECT_EQ(image->Picture().Width(), 227); // previous picture stays
    EXPECT_EQ(image->InfoType, "unchanged");  // no query
    EXPECT_EQ(image->LoadStatus().substr(image->LoadStatus().size() - 10), "PHOTO.JPEG");

    std::string thb = CopyTo(Corpus("generated/bmp/pal8_227x149.bmp"), "t.thb");
    image->Picture().SetGraphic(nullptr);
    image->SetImageName(thb);
    EXPECT_EQ(image->Picture().Width(), 227);
    std::string thj = CopyTo(Corpus("generated/jpeg/gray_227x149.jpg"), "t.Thj");
    image->Picture().SetGraphic(nullptr);
    image->SetImageName(thj);
    EXPECT_EQ(image->Picture().Width(), 227);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MultiImage, MissingFileClearsThePictureWithoutABox) {
    SetTwoColourPicture(10, 10);
    image->InfoType = "kept";
    image->SetImageName("C:\\no\\such\\file.bmp");
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    EXPECT_EQ(image->LoadStatus(), "file not found");
    EXPECT_EQ(image->ImageName(), "file not found");
    EXPECT_EQ(image->InfoType, "kept");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MultiImage, ABrokenFileShowsTheLibraryBoxThenTheLoadFailureEachTime) {
    std::string broken = TempFolder() + "\\broken.bmp";
    WriteFile(broken, {'B', 'M', 1, 2, 3});
    image->SetImageName(broken);
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].rfind("Fehler: ", 0), 0u) << boxes[0];
    EXPECT_EQ(boxes[1], "Information: Reading bmp file failed");
    ASSERT_NE(image->Picture().Bitmap(), nullptr); // an empty bitmap, not nothing
    EXPECT_TRUE(image->Picture().Bitmap()->Empty());
    size_t first = boxes.size();
    image->ImageName(); // reading loads again
    EXPECT_EQ(boxes.size(), 2 * first);
}

TEST_F(MultiImage, ResourceNamesLoadTheProgramsBitmaps) {
    image->SetImageName("C:\\anywhere\\HARD.RES");
    ASSERT_NE(image->Picture().Bitmap(), nullptr);
    EXPECT_EQ(image->Picture().Width(), 16);
    EXPECT_EQ(image->Picture().Height(), 11);
    EXPECT_EQ(image->InfoType, "RES");
    EXPECT_EQ(image->InfoFormat, "BMP");
    EXPECT_EQ(image->InfoWidth, 16);
    EXPECT_GT(image->InfoFileSize, 40);
    EXPECT_TRUE(boxes.empty());
    for (const char* name : {"123.RES", "$7B.res"}) {
        image->SetImageName(name);
        EXPECT_EQ(image->Picture().Width(), 16) << name;
    }
    image->SetImageName("NOSUCHBITMAP.RES");
    EXPECT_EQ(boxes, std::vector<std::string>{"Information: Reading resource file failed"});
    ASSERT_NE(image->Picture().Bitmap(), nullptr);
    EXPECT_TRUE(image->Picture().Bitmap()->Empty());
    EXPECT_EQ(image->InfoWidth, 0);
}

TEST_F(MultiImage, MetafilesAndIconsComeFromTheToolkitLoader) {
    for (bool placeable : {false, true}) {
        std::string path = TempFolder() + (placeable ? "\\placeable.WMF" : "\\plain.wmf");
        WriteFile(path, MakeWindowsMetafile(placeable));
        image->SetImageName(path);
        EXPECT_EQ(image->LoadStatus(), "Non TIF, JPeg, BMP, GIF, PNG or PCX Image");
        EXPECT_EQ(image->InfoType, "WMF");
        EXPECT_EQ(image->InfoFormat, "WMF");
        EXPECT_GT(image->InfoFileSize, 0);
        ASSERT_NE(image->Picture().Graphic(), nullptr);
        EXPECT_GT(image->Picture().Width(), 0);
        if (placeable) {
            EXPECT_EQ(image->Picture().Width(), 100);
        }
    }
    std::string icon = CopyTo(GLIMMORA_BITMAPS_DIR "\\GLIMMORA.ICO", "glimmora.ico");
    image->SetImageName(icon);
    EXPECT_EQ(image->InfoType, "ICO");
    EXPECT_EQ(image->Picture().Width(), 32);
    EXPECT_EQ(image->InfoWidth, 32);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MultiImage, IconsAreDrawnAtTheirNaturalSize) {
    image->SetBounds(0, 0, 300, 300);
    for (int size : {16, 48, 256}) {
        std::string path = TempFolder() + "\\natural" + std::to_string(size) + ".ico";
        WriteFile(path, MakeIconFile(size, kRed));
        image->SetImageName(path);
        EXPECT_EQ(image->InfoWidth, size);
        EXPECT_EQ(image->InfoHeight, size);
        EXPECT_EQ(PixelAfterPaint(size - 1, size - 1), kRed) << size;
        EXPECT_EQ(PixelAfterPaint(size, size), kBackground) << size;
        EXPECT_EQ(PixelAfterPaint(size - 1, size), kBackground) << size;
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MultiImage, LoaderErrorsOfMetafilesAndIconsReachTheCaller) {
    std::string path = TempFolder() + "\\bad.ico";
    WriteFile(path, {0, 0, 1, 0, 1, 0, 9, 9});
    SetTwoColourPicture(10, 10);
    image->SetImageName("C:\\no\\such\\file.bmp");
    std::string before = image->LoadStatus();
    EXPECT_THROW(image->SetImageName(path), toolkit::EInvalidGraphic);
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    EXPECT_EQ(image->LoadStatus(), before);

    std::string icon = CopyTo(GLIMMORA_BITMAPS_DIR "\\GLIMMORA.ICO", "x.icon");
    try {
        image->SetImageName(icon);
        FAIL() << "no error";
    } catch (const toolkit::EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Unbekannte Bilddateierweiterung (.icon)");
    }
}

TEST_F(MultiImage, QueryImageInfoForMissingMetafileGivesErrorValues) {
    EXPECT_FALSE(image->QueryImageInfo("C:\\none.wmf"));
    EXPECT_EQ(image->InfoType, "ERR");
    EXPECT_EQ(image->InfoFormat, "ERR");
    EXPECT_EQ(image->InfoWidth, -1);
    EXPECT_EQ(image->InfoFileSize, -1);
    EXPECT_FALSE(image->QueryImageInfo("C:\\none.png")); // library box
    EXPECT_EQ(image->InfoFileSize, -1);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(MultiImage, FileSizesBeyondTwoGigabytesAreReportedAsTheLargestInt) {
    // Sparse: nothing but the last byte is written.
    std::string path = TempFolder() + "\\huge.wmf";
    {
        std::ofstream out(path, std::ios::binary);
        out.seekp((std::streamoff{1} << 32) + 99);
        out.put(0);
    }
    EXPECT_TRUE(image->QueryImageInfo(path));
    EXPECT_EQ(image->InfoFileSize, INT_MAX);
    DeleteFileA(path.c_str());
}

TEST_F(MultiImage, ResolutionCodeFollowsImageReadRes) {
    using R = TLoadResolution;
    const std::pair<R, int> codes[] = {{R::lColorVga, 0},
                                       {R::lMonoChrome, 1},
                                       {R::lColor16, 4},
                                       {R::lColor256, 8},
                                       {R::lColorTrue, 24}};
    for (auto [res, code] : codes) {
        image->SetImageReadRes(res);
        EXPECT_EQ(image->ResolutionCode(), code);
    }
    image->SetImageReadRes(R::lAutoMatic);
    HDC dc = GetDC(image->Handle());
    EXPECT_EQ(image->ResolutionCode(), DeviceColorBits(dc));
    ReleaseDC(image->Handle(), dc);
}

TEST(AspectRectangle, FitsTheLongerSideAndCentresTheOther) {
    auto check = [](RECT client, int w, int h, image::DrawPlace expected) {
        image::DrawPlace r = AspectRectangle(client, w, h);
        EXPECT_EQ(r.left, expected.left);
        EXPECT_EQ(r.top, expected.top);
        EXPECT_EQ(r.width, expected.width);
        EXPECT_EQ(r.height, expected.height);
    };
    check({0, 0, 300, 300}, 200, 100, {0, 75, 300, 150});   // landscape
    check({0, 0, 300, 300}, 100, 200, {75, 0, 150, 300});   // portrait
    check({0, 0, 200, 400}, 100, 100, {-100, 0, 400, 400}); // square, overflowing
    check({0, 0, 100, 51}, 100, 50, {0, 0, 100, 50});       // round(0.5) = 0
    check({0, 0, 100, 53}, 100, 50, {0, 2, 100, 50});       // round(1.5) = 2
    check({0, 0, 120, 80}, 0, 0, {0, 0, 120, 80});          // empty: the client rectangle
    long v;
    EXPECT_TRUE(RoundHalfEven(2.5L, v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(RoundHalfEven(1e20L, v));
}

TEST_F(MultiImage, PaintsPlainCentredAndStretched) {
    SetTwoColourPicture(40, 20);
    EXPECT_EQ(PixelAfterPaint(5, 5), kRed);
    EXPECT_EQ(PixelAfterPaint(35, 5), kBlue);
    EXPECT_EQ(PixelAfterPaint(60, 5), kBackground); // plain: nothing right of the picture

    image->SetCenter(true); // standard path: outer size (120 - 40) div 2 = 40
    EXPECT_EQ(PixelAfterPaint(41, 31), kRed);
    EXPECT_EQ(PixelAfterPaint(39, 31), kBackground);

    image->SetCenter(false);
    image->SetStretch(true);
    EXPECT_EQ(PixelAfterPaint(2, 78), kRed);
    EXPECT_EQ(PixelAfterPaint(117, 78), kBlue);
}

TEST_F(MultiImage, LibraryDrawnPathCentresOnTheClientWithTruncation) {
    image->SetImageLibPalette(true);
    image->InfoType = "BMP";
    SetTwoColourPicture(151, 20); // client 120 wide: (120 - 151) div 2 = -15
    image->SetCenter(true);
    // The picture's red half ends at 75 - 15 = 60.
    EXPECT_EQ(PixelAfterPaint(59, 40), kRed);
    EXPECT_EQ(PixelAfterPaint(60, 40), kBlue);
    image->SetCenter(false);
    image->SetStretchRatio(true); // landscape 151x20 into 120x80: full width
    EXPECT_EQ(PixelAfterPaint(2, 40), kRed);
    EXPECT_EQ(PixelAfterPaint(2, 2), kBackground);
    // An icon type takes the standard path: unscaled at the top-left.
    image->InfoType = "ICO";
    EXPECT_EQ(PixelAfterPaint(2, 2), kRed);
}

TEST_F(MultiImage, BorderMovesTheClientButNotTheStandardCentring) {
    SetTwoColourPicture(40, 20);
    image->SetCenter(true);
    image->SetBorderStyle(TImageBorderStyle::bsSingle);
    RECT client;
    GetClientRect(image->Handle(), &client);
    EXPECT_EQ(client.right, 118);
    // Standard path: (Width 120 - 40) div 2 = 40 in client coordinates.
    EXPECT_EQ(PixelAfterPaint(40, 30), kRed);
    EXPECT_EQ(PixelAfterPaint(39, 30), kBackground);
    image->SetImageLibPalette(true);
    image->InfoType = "BMP";
    // Library-drawn path: (118 - 40) div 2 = 39.
    EXPECT_EQ(PixelAfterPaint(39, 30), kRed);
}

TEST_F(MultiImage, OverlayIsDrawnWithShadowAndRotation) {
    image->Font().SetHeight(-20);
    image->Font().SetColor(toolkit::clWhite);
    image->SetText("IIIIIIII");
    image->SetTextLeft(10);
    image->SetTextTop(10);
    auto whiteIn = [&](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += PixelAfterPaint(x, y) == RGB(255, 255, 255);
        return count;
    };
    EXPECT_GT(whiteIn(10, 10, 40, 30), 0);
    EXPECT_EQ(whiteIn(0, 0, 120, 8), 0);
    image->SetTextShadow(true);
    image->SetTextShadowColor(toolkit::clRed);
    bool red = false;
    for (int y = 12; y < 32 && !red; ++y)
        for (int x = 12; x < 50 && !red; ++x)
            red = PixelAfterPaint(x, y) == kRed;
    EXPECT_TRUE(red);
    // Rotated by 90 degrees the text runs upward from (10, 70).
    image->SetTextShadow(false);
    image->SetTextTop(70);
    image->SetTextRotate(90);
    EXPECT_GT(whiteIn(8, 30, 32, 70), 0);
    EXPECT_EQ(whiteIn(40, 60, 120, 80), 0);
}

TEST_F(MultiImage, ManyLoadsLeaveNoGdiObjectsBehind) {
    // The system here reports no GDI object count, so the test runs more loads
    // than its handle table holds: a load that leaked even one object would
    // exhaust it, and making the next object would fail.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 120, 80);
    HGDIOBJ old = SelectObject(memory, target);
    image->SetStretch(true);
    const int kLoads = 70000;
    int failedAt = -1;
    for (int i = 0; i < kLoads && failedAt < 0; ++i) {
        image->SetImageName("HARD.RES");
        SendMessageA(image->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        if (!image->Picture().Bitmap() || image->Picture().Bitmap()->Empty())
            failedAt = i;
    }
    EXPECT_EQ(failedAt, -1);
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(probe, nullptr);
    DeleteObject(probe);
    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
