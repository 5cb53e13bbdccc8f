// Copy, cut and paste of the picture control.
#include "image/TMultiP.h"
#include "toolkit/Clipboard.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"

#include <gtest/gtest.h>

#include <vector>

using namespace image;

namespace {

std::vector<UINT> ClipboardFormats() {
    std::vector<UINT> formats;
    if (!OpenClipboard(nullptr))
        return formats;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f))
        formats.push_back(f);
    CloseClipboard();
    return formats;
}

bool Has(const std::vector<UINT>& formats, UINT format) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

void PutText(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    size_t size = strlen(text) + 1;
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(global), text, size);
    GlobalUnlock(global);
    SetClipboardData(CF_TEXT, global);
    CloseClipboard();
}

HBITMAP MakeBitmap(int w, int h, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT r{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(memory, &r, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HENHMETAFILE MakeMetafile() {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(dc, 0, 0, 50, 20);
    return CloseEnhMetaFile(dc);
}

HMETAFILE MakeWindowsMetafile() {
    HDC dc = CreateMetaFileA(nullptr);
    Rectangle(dc, 0, 0, 50, 20);
    return CloseMetaFile(dc);
}

// Runs the second program and returns what it printed.
std::string Peer(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::string commandLine = "clipboard_peer.exe " + arguments;
    bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[256];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read)
            output.append(buffer, read);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    EXPECT_TRUE(started) << "clipboard_peer.exe did not start";
    return output;
}

bool Lists(const std::string& formats, UINT format) {
    return (" " + formats).find(" " + std::to_string(format) + " ") != std::string::npos;
}

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        TPMultiImage::Register();
        form = std::make_unique<toolkit::TForm>();
        form->LoadLayout("object F: TForm\n ClientWidth = 200\n ClientHeight = 200\n"
                         " object Image: TPMultiImage\n  Width = 120\n  Height = 80\n"
                         "  ImageLibPalette = False\n end\nend\n");
        image = form->Find<TPMultiImage>("Image");
        PutText("before");
    }
    void SetBitmap(bool withPalette) {
        toolkit::TBitmap bitmap;
        bitmap.SetHandle(MakeBitmap(30, 20, RGB(0, 128, 0)));
        if (withPalette) {
            struct {
                LOGPALETTE header;
                PALETTEENTRY more[1];
            } logical{{0x300, 2, {{0, 0, 0, 0}}}, {{255, 255, 255, 0}}};
            bitmap.SetPalette(CreatePalette(&logical.header));
        }
        image->Picture().SetGraphic(&bitmap);
    }
    std::unique_ptr<toolkit::TForm> form;
    TPMultiImage* image = nullptr;
};

} // namespace

TEST_F(Clipboard, CopyPlacesTheBitmapAndItsPalette) {
    SetBitmap(true);
    image->CopyToClipboard();
    std::vector<UINT> formats = ClipboardFormats();
    EXPECT_TRUE(Has(formats, CF_BITMAP));
    EXPECT_TRUE(Has(formats, CF_PALETTE));
    EXPECT_FALSE(Has(formats, CF_TEXT)); // emptied first
    ASSERT_TRUE(OpenClipboard(nullptr));
    BITMAP info{};
    GetObjectA(GetClipboardData(CF_BITMAP), sizeof info, &info);
    CloseClipboard();
    EXPECT_EQ(info.bmWidth, 30);

    SetBitmap(false);
    image->CopyToClipboard();
    formats = ClipboardFormats();
    EXPECT_TRUE(Has(formats, CF_BITMAP));
    EXPECT_FALSE(Has(formats, CF_PALETTE));
}

TEST_F(Clipboard, CopyOfAMetafilePlacesOnlyTheEnhancedMetafile) {
    toolkit::TMetafile metafile(MakeMetafile());
    image->Picture().SetGraphic(&metafile);
    image->CopyToClipboard();
    std::vector<UINT> formats = ClipboardFormats();
    EXPECT_TRUE(Has(formats, CF_ENHMETAFILE));
    EXPECT_FALSE(Has(formats, CF_BITMAP));
}

// Not opened, the clipboard refuses every handle. (Wine makes a refused
// bitmap or palette undeletable, so only the metafile can be checked here.)
TEST_F(Clipboard, AHandleTheClipboardRefusesIsFreed) {
    HENHMETAFILE metafile = MakeMetafile();
    EXPECT_THROW(toolkit::Clipboard().SetAsHandle(CF_ENHMETAFILE, metafile), toolkit::Exception);
    EXPECT_EQ(GetEnhMetaFileHeader(metafile, 0, nullptr), 0u) << "the metafile is still there";
}

TEST_F(Clipboard, EmptyPictureLeavesTheClipboardAlone) {
    image->CopyToClipboard();
    image->CutToClipboard();
    EXPECT_TRUE(Has(ClipboardFormats(), CF_TEXT));
    // A bitmap graphic without a bitmap, as a reader that failed leaves it.
    toolkit::TBitmap empty;
    image->Picture().SetGraphic(&empty);
    EXPECT_NO_THROW(image->CopyToClipboard());
    EXPECT_NO_THROW(image->CutToClipboard());
    EXPECT_TRUE(Has(ClipboardFormats(), CF_TEXT));
}

TEST_F(Clipboard, IconsAreRefusedAfterTheClipboardWasEmptied) {
    toolkit::TIcon icon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    image->Picture().SetGraphic(&icon);
    try {
        image->CutToClipboard();
        FAIL() << "no error";
    } catch (const toolkit::EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Zwischenablage unterstützt keine Symbole");
    }
    EXPECT_TRUE(ClipboardFormats().empty());
    EXPECT_NE(image->Picture().Graphic(), nullptr); // the cut stopped: picture kept
    EXPECT_TRUE(OpenClipboard(nullptr));            // and the clipboard was closed
    CloseClipboard();
}

TEST_F(Clipboard, CutClearsThePictureButKeepsTheInformation) {
    SetBitmap(false);
    image->InfoType = "BMP";
    image->InfoWidth = 30;
    image->CutToClipboard();
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    EXPECT_EQ(image->InfoWidth, 30);
    EXPECT_TRUE(Has(ClipboardFormats(), CF_BITMAP));
}

TEST_F(Clipboard, PasteTakesTheFirstPictureFormatInTheClipboardsOrder) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(global));
    *picture = {MM_ANISOTROPIC, 1000, 400, MakeWindowsMetafile()};
    GlobalUnlock(global);
    SetClipboardData(CF_METAFILEPICT, global);
    SetClipboardData(CF_BITMAP, MakeBitmap(7, 7, RGB(1, 2, 3)));
    CloseClipboard();
    std::vector<UINT> order = ClipboardFormats();
    image->PasteFromClipboard();
    auto first = std::find_if(order.begin(), order.end(), [](UINT f) {
        return f == CF_BITMAP || f == CF_METAFILEPICT || f == CF_ENHMETAFILE;
    });
    ASSERT_NE(first, order.end());
    if (*first == CF_BITMAP)
        EXPECT_NE(image->Picture().Bitmap(), nullptr);
    else
        EXPECT_NE(dynamic_cast<toolkit::TMetafile*>(image->Picture().Graphic()), nullptr);
}

TEST_F(Clipboard, PasteOfTextDoesNothingAndAPictureStopsADisplay) {
    image->MessageState().ScrollActive = true;
    image->PasteFromClipboard(); // text only
    EXPECT_TRUE(image->MessageState().ScrollActive);
    EXPECT_EQ(image->Picture().Graphic(), nullptr);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, MakeBitmap(9, 4, RGB(200, 0, 0)));
    CloseClipboard();
    image->SetColor(toolkit::clNavy); // as a display would have set it
    image->InfoType = "JPEG";
    image->PasteFromClipboard();
    EXPECT_FALSE(image->MessageState().ScrollActive);
    EXPECT_FALSE(image->MessageState().CreditActive);
    EXPECT_EQ(image->Picture().Width(), 9);
    EXPECT_EQ(image->Color(), toolkit::clNavy); // not restored
    EXPECT_EQ(image->InfoType, "JPEG");
}

TEST_F(Clipboard, MessagesAndKeysReachTheOperations) {
    SetBitmap(false);
    HWND window = image->Handle();
    SendMessageA(window, WM_COPY, 0, 0);
    EXPECT_TRUE(Has(ClipboardFormats(), CF_BITMAP));
    SendMessageA(window, WM_CUT, 0, 0);
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    SendMessageA(window, WM_PASTE, 0, 0);
    EXPECT_EQ(image->Picture().Width(), 30);

    PutText("text");
    SendMessageA(window, WM_CHAR, 3, 1); // Ctrl+C
    EXPECT_TRUE(Has(ClipboardFormats(), CF_BITMAP));
    SendMessageA(window, WM_CHAR, 24, 1); // Ctrl+X
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    SendMessageA(window, WM_CHAR, 22, 1); // Ctrl+V
    EXPECT_EQ(image->Picture().Width(), 30);

    // Delete without Shift does nothing; a handler that clears the key stops it.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    SendMessageA(window, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_NE(image->Picture().Graphic(), nullptr);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    image->OnKeyDown = [](toolkit::TControl*, WORD& key, unsigned) { key = 0; };
    SendMessageA(window, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_NE(image->Picture().Graphic(), nullptr);
    image->OnKeyDown = nullptr;
    SendMessageA(window, WM_KEYDOWN, VK_DELETE, 1); // Shift+Delete cuts
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    SendMessageA(window, WM_KEYDOWN, VK_INSERT, 1); // Shift+Insert pastes
    EXPECT_EQ(image->Picture().Width(), 30);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST_F(Clipboard, AClipboardHeldByAnotherWindowFailsQuicklyWithAnError) {
    SetBitmap(false);
    // A second thread holds the clipboard open, as another program would.
    HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Events {
        HANDLE holding, release;
    } events{holding, release};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* e = static_cast<Events*>(p);
            OpenClipboard(nullptr);
            SetEvent(e->holding);
            WaitForSingleObject(e->release, 10000);
            CloseClipboard();
            return 0;
        },
        &events, 0, nullptr);
    WaitForSingleObject(holding, 5000);
    DWORD start = GetTickCount();
    EXPECT_THROW(image->CopyToClipboard(), toolkit::Exception);
    EXPECT_LT(GetTickCount() - start, 2000u);
    SetEvent(release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(holding);
    CloseHandle(release);
}

TEST_F(Clipboard, RoundTripsWithAnotherProgram) {
    SetBitmap(true);
    image->CopyToClipboard();
    std::string formats = Peer("formats");
    EXPECT_TRUE(Lists(formats, CF_BITMAP)) << formats;
    EXPECT_TRUE(Lists(formats, CF_PALETTE)) << formats;
    EXPECT_EQ(Peer("bitmap-size"), "30x20");

    toolkit::TMetafile metafile(MakeMetafile());
    image->Picture().SetGraphic(&metafile);
    image->CopyToClipboard();
    formats = Peer("formats");
    EXPECT_TRUE(Lists(formats, CF_ENHMETAFILE)) << formats;
    EXPECT_FALSE(Lists(formats, CF_BITMAP)) << formats;

    Peer("put-bitmap 11 7");
    image->PasteFromClipboard();
    ASSERT_NE(image->Picture().Bitmap(), nullptr);
    EXPECT_EQ(image->Picture().Width(), 11);

    Peer("put-text");
    image->PasteFromClipboard(); // nothing to take: the picture stays
    EXPECT_EQ(image->Picture().Width(), 11);

    Peer("put-picture-pair");
    formats = Peer("formats");
    size_t metafileAt = (" " + formats).find(" 3 ");
    size_t bitmapAt = (" " + formats).find(" 2 ");
    ASSERT_NE(metafileAt, std::string::npos) << formats;
    ASSERT_NE(bitmapAt, std::string::npos) << formats;
    image->PasteFromClipboard();
    if (metafileAt < bitmapAt)
        EXPECT_NE(dynamic_cast<toolkit::TMetafile*>(image->Picture().Graphic()), nullptr);
    else
        EXPECT_EQ(image->Picture().Width(), 13);
}
