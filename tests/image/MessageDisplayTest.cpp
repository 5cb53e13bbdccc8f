// The picture control showing message files: starting through ImageName,
// stepping by WM_USER+1 and WM_USER+2, stopping, and hostile files.
#include "image/MessageFiles.h"
#include "image/TMultiP.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace image;

namespace {

constexpr UINT kScrollStep = WM_USER + 1;
constexpr UINT kCreditStep = WM_USER + 2;
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

// Black bold text on white; the divider is filled in.
std::string ScrollFile(int divider, const std::string& message = "Hello") {
    return "/fc|0/fh|-20/fn|Arial/fs|12/ft|1000/bc|16777215/sp|" + std::to_string(divider) +
           "/sm|" + message + "/eo|";
}

// Black text on white, every step message due; then the credit lines.
std::string CreditFile(const std::vector<std::string>& credits) {
    std::string text = "Credits\r\n0\r\n-16\r\nArial\r\n10\r\n0000\r\n16777215\r\n0\r\n";
    for (const std::string& line : credits)
        text += line + "\r\n";
    return text;
}

class MessageDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        TPMultiImage::Register();
        form = std::make_unique<toolkit::TForm>();
        form->LoadLayout("object F: TForm\n Left = 0\n Top = 0\n ClientWidth = 340\n"
                         " ClientHeight = 140\n object Image: TPMultiImage\n  Left = 20\n"
                         "  Top = 20\n  Width = 300\n  Height = 100\n"
                         "  ImageName = 'file not found'\n  ImageLibPalette = False\n"
                         "  ImageDither = False\n end\nend\n");
        image = form->Find<TPMultiImage>("Image");
        form->Show();
        Pump();
        toolkit::SetDialogHook([this](toolkit::DialogRecord& box) {
            boxes.push_back(box.title + ": " + box.text);
            return toolkit::mrOk;
        });
        image->MessageState().TickCount = 0;
    }
    void TearDown() override { toolkit::SetDialogHook(nullptr); }

    std::string File(const std::string& name, const std::string& content) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        std::string dir =
            std::string(folder) + "glim_messages_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string path = dir + "\\" + name;
        std::ofstream(path, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        return path;
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    void Send(UINT message, int times = 1) {
        for (int i = 0; i < times; ++i)
            SendMessageA(image->Handle(), message, 0, 0);
    }

    // Pixels of the control's window surface with a colour, in a client rectangle.
    int CountOnWindow(COLORREF colour, int x0, int y0, int x1, int y1) {
        HDC dc = GetDC(image->Handle());
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                count += GetPixel(dc, x, y) == colour;
        ReleaseDC(image->Handle(), dc);
        return count;
    }

    // The width and height of a text in the message font, as the control measures it.
    SIZE Measure(const std::string& text) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, image->MessageState().MessageFont.Handle());
        SIZE size = MeasureCaption(dc, text);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return size;
    }

    void ExpectNoDisplay(toolkit::TColor colour) {
        EXPECT_FALSE(image->MessageState().ScrollActive);
        EXPECT_FALSE(image->MessageState().CreditActive);
        EXPECT_EQ(image->Color(), colour);
        EXPECT_EQ(image->Picture().Graphic(), nullptr);
    }

    std::unique_ptr<toolkit::TForm> form;
    TPMultiImage* image = nullptr;
    std::vector<std::string> boxes;
};

} // namespace

TEST_F(MessageDisplay, ScrollFileStartsAtTheRightEdgeInItsColours) {
    std::string path = File("hello.scm", ScrollFile(2));
    image->SetImageName(path);
    ASSERT_TRUE(image->MessageState().ScrollActive);
    EXPECT_FALSE(image->MessageState().CreditActive);
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
    EXPECT_EQ(image->MessageState().SavedColor, toolkit::clBtnFace);
    EXPECT_EQ(image->Color(), 0xFFFFFF);
    EXPECT_EQ(image->MessageState().MessageText, "Hello");
    EXPECT_EQ(image->MessageState().MessageSpeed, 2);
    EXPECT_TRUE(image->MessageState().MessageFont.Bold());
    EXPECT_EQ(image->MessageState().MessageFont.Height(), -16);
    SIZE text = Measure("Hello");
    EXPECT_EQ(image->MessageState().StripWidth, text.cx);
    EXPECT_EQ(image->MessageState().AreaWidth, 300);
    EXPECT_EQ(image->MessageState().AreaHeight, 100);
    EXPECT_EQ(image->MessageState().StripX, 300);
    EXPECT_EQ(image->MessageState().StripXEnd, 300 + text.cx);
    EXPECT_EQ(image->MessageState().StripY, (100 - text.cy) / 2);
    EXPECT_EQ(image->MessageState().MessageBitmap.Width(), text.cx);
    EXPECT_EQ(image->MessageState().MessageBitmap.Height(), text.cy);
    EXPECT_EQ(image->InfoType, "SCM");
    EXPECT_EQ(image->InfoWidth, 0);
    EXPECT_EQ(image->InfoFileSize, static_cast<int>(ScrollFile(2).size()));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MessageDisplay, ScrollStripMovesOnEveryThirdMessageWithDividerTwo) {
    image->SetImageName(File("thin.scm", ScrollFile(2)));
    image->MessageState().TickCount = 0;
    std::vector<int> positions;
    for (int i = 0; i < 7; ++i) {
        Send(kScrollStep);
        positions.push_back(image->MessageState().StripX);
    }
    EXPECT_EQ(positions, (std::vector<int>{300, 300, 299, 299, 299, 298, 298}));
    // Another display shares the counter: a load does not reset it.
    image->SetImageName(File("thin2.scm", ScrollFile(2)));
    EXPECT_EQ(image->MessageState().TickCount, 1);
}

TEST_F(MessageDisplay, ScrollStripPassesTheWholeAreaAndEntersAgain) {
    image->SetImageName(File("pass.scm", ScrollFile(0)));
    const int w = image->MessageState().StripWidth;
    ASSERT_GT(w, 20);
    int wrong = 0;
    for (int k = 1; k <= 300 + w; ++k) {
        Send(kScrollStep);
        wrong += image->MessageState().StripX != 300 - k ||
                 image->MessageState().StripXEnd != 300 + w - k;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(image->MessageState().StripX, -w);
    Send(kScrollStep);
    EXPECT_EQ(image->MessageState().StripX, 300);
    EXPECT_EQ(image->MessageState().StripXEnd, 300 + w);
    Send(kScrollStep);
    EXPECT_EQ(image->MessageState().StripX, 299);
}

TEST_F(MessageDisplay, ScrollStepDrawsTheStripOnTheWindowOnly) {
    image->SetImageName(File("draw.scm", ScrollFile(0)));
    Pump(); // the control repaints itself in the message's background
    const int w = image->MessageState().StripWidth,
              h = image->MessageState().MessageBitmap.Height(), y = image->MessageState().StripY;
    EXPECT_EQ(CountOnWindow(kBlack, 0, 0, 300, 100), 0);
    Send(kScrollStep, 300 - 40); // the strip at x = 40
    EXPECT_GT(CountOnWindow(kBlack, 40, y, 40 + w, y + h), 10);
    EXPECT_EQ(CountOnWindow(kBlack, 0, 0, 40, 100), 0);
    EXPECT_EQ(CountOnWindow(kBlack, 0, 0, 300, y), 0);
    // A paint shows the background only; the next due step draws the strip again.
    RedrawWindow(image->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(CountOnWindow(kBlack, 0, 0, 300, 100), 0);
    EXPECT_EQ(CountOnWindow(kWhite, 0, 0, 300, 100), 300 * 100);
    Send(kScrollStep);
    EXPECT_GT(CountOnWindow(kBlack, 39, y, 39 + w, y + h), 10);
}

TEST_F(MessageDisplay, StepMessagesOfTheOtherKindOrWithoutDisplayAreIgnored) {
    image->MessageState().TickCount = 3;
    Send(kScrollStep, 5);
    Send(kCreditStep, 5);
    EXPECT_EQ(image->MessageState().TickCount, 3);
    image->SetImageName(File("other.scm", ScrollFile(0)));
    Send(kCreditStep, 5);
    EXPECT_EQ(image->MessageState().StripX, 300);
    EXPECT_EQ(image->MessageState().TickCount, 3);
}

TEST_F(MessageDisplay, CreditLinesRiseOneAfterTheOtherSkippingEmptyOnes) {
    image->SetImageName(File("abc.cms", CreditFile({"A", "", "B"})));
    ASSERT_TRUE(image->MessageState().CreditActive);
    EXPECT_EQ(image->Color(), 0xFFFFFF);
    EXPECT_EQ(image->MessageState().LineIndex, 0);
    EXPECT_EQ(image->MessageState().MessageText, "  A ");
    const int h = image->MessageState().LineHeight;
    EXPECT_EQ(h, Measure("  A ").cy);
    EXPECT_EQ(image->MessageState().StripY, 100);
    EXPECT_EQ(image->MessageState().StripYEnd, 100 + h);
    EXPECT_EQ(image->MessageState().MessageBitmap.Height(), h + 5);
    EXPECT_EQ(image->MessageState().StripX, (300 - image->MessageState().StripWidth) / 2);
    EXPECT_EQ(image->InfoType, "CMS");
    // StripY runs from 99 down to -h - 5 with the first line.
    int wrong = 0;
    for (int y = 99; y >= -h - 5; --y) {
        Send(kCreditStep);
        wrong += image->MessageState().StripY != y || image->MessageState().StripYEnd != y + h ||
                 image->MessageState().LineIndex != 0;
    }
    EXPECT_EQ(wrong, 0);
    // Past the top: the empty second line is passed over with one step...
    Send(kCreditStep);
    EXPECT_EQ(image->MessageState().LineIndex, 1);
    EXPECT_EQ(image->MessageState().StripY, -h - 6);
    // ...and the third starts at the bottom edge.
    Send(kCreditStep);
    EXPECT_EQ(image->MessageState().LineIndex, 2);
    EXPECT_EQ(image->MessageState().MessageText, "  B ");
    EXPECT_EQ(image->MessageState().StripY, 100);
    Send(kCreditStep, 100 + h + 6);
    EXPECT_EQ(image->MessageState().LineIndex, 0) << "after the last line comes the first";
    EXPECT_EQ(image->MessageState().StripY, 100);
    EXPECT_EQ(image->MessageState().SavedColor, toolkit::clBtnFace) << "kept over the line change";
}

TEST_F(MessageDisplay, CreditLinesArePaddedAndWidened) {
    image->SetImageName(File("pad.cms", CreditFile({"Hi", " Hi", " ", "  "})));
    auto nextLine = [&] {
        int index = image->MessageState().LineIndex;
        for (int i = 0; i < 1000 && image->MessageState().LineIndex == index; ++i)
            Send(kCreditStep);
    };
    ASSERT_EQ(image->MessageState().MessageText, "  Hi ");
    int w = Measure("  Hi ").cx;
    EXPECT_EQ(image->MessageState().StripWidth, w + w / 3);
    EXPECT_EQ(image->MessageState().MessageBitmap.Width(), w + w / 3);
    nextLine();
    ASSERT_EQ(image->MessageState().MessageText, " Hi ");
    w = Measure(" Hi ").cx;
    EXPECT_EQ(image->MessageState().StripWidth, w + w / 2);
    EXPECT_EQ(image->MessageState().StripX, (300 - (w + w / 2)) / 2);
    nextLine();
    ASSERT_EQ(image->MessageState().MessageText, " ");
    EXPECT_EQ(image->MessageState().StripWidth, 0);
    EXPECT_TRUE(image->MessageState().MessageBitmap.Empty());
    EXPECT_TRUE(image->MessageState().CreditActive);
    nextLine();
    ASSERT_EQ(image->MessageState().MessageText, "  ");
    EXPECT_EQ(image->MessageState().StripWidth, Measure("  ").cx) << "two characters: not widened";
}

TEST_F(MessageDisplay, CreditStripIsDrawnOverAFilledWindow) {
    image->SetColor(toolkit::clRed);
    Pump();
    image->SetImageName(File("fill.cms", CreditFile({"WWWW"})));
    // The window is filled with the background at once, before any paint.
    EXPECT_EQ(CountOnWindow(RGB(255, 0, 0), 0, 0, 300, 100), 0);
    EXPECT_EQ(image->MessageState().SavedColor, toolkit::clRed);
    Send(kCreditStep, 50);
    const int x = image->MessageState().StripX, w = image->MessageState().StripWidth;
    EXPECT_GT(CountOnWindow(kBlack, x, 50, x + w, 50 + image->MessageState().LineHeight), 10);
    EXPECT_EQ(CountOnWindow(kBlack, 0, 0, x, 100), 0);
    EXPECT_EQ(CountOnWindow(kBlack, 0, 0, 300, 50), 0);
}

TEST_F(MessageDisplay, CreditFilesWithoutAShowableFirstLineStartNothing) {
    image->SetImageName(File("eight.cms", CreditFile({})));
    ExpectNoDisplay(toolkit::clBtnFace);
    EXPECT_TRUE(image->MessageState().MessageLines.empty());
    EXPECT_EQ(image->InfoType, "CMS");
    image->SetImageName(File("emptyfirst.cms", CreditFile({"", "B"})));
    ExpectNoDisplay(toolkit::clBtnFace);
    EXPECT_EQ(image->MessageState().MessageLines.size(), 2u);
    Send(kCreditStep, 3);
    EXPECT_FALSE(image->MessageState().CreditActive);
}

TEST_F(MessageDisplay, ALaterLoadRestoresTheColourSavedBeforeTheDisplay) {
    image->SetImageName(File("one.scm", ScrollFile(0)));
    image->SetImageName(File("two.cms", CreditFile({"X"})));
    EXPECT_TRUE(image->MessageState().CreditActive);
    EXPECT_FALSE(image->MessageState().ScrollActive);
    EXPECT_EQ(image->MessageState().SavedColor, toolkit::clBtnFace);
    image->SetImageName("HARD.RES");
    EXPECT_FALSE(image->MessageState().CreditActive);
    EXPECT_EQ(image->Color(), toolkit::clBtnFace);
    EXPECT_EQ(image->Picture().Width(), 16);
    // A missing file neither stops a display nor restores the colour.
    image->SetImageName(File("three.scm", ScrollFile(0)));
    image->SetImageName("C:\\no\\such\\picture.bmp");
    EXPECT_TRUE(image->MessageState().ScrollActive);
    EXPECT_EQ(image->Color(), 0xFFFFFF);
}

TEST_F(MessageDisplay, PasteStopsTheDisplayAndKeepsItsColour) {
    image->SetImageName(File("paste.scm", ScrollFile(0)));
    ASSERT_TRUE(image->MessageState().ScrollActive);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 17, 9);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(OpenClipboard(image->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    SendMessageA(image->Handle(), WM_PASTE, 0, 0);
    EXPECT_FALSE(image->MessageState().ScrollActive);
    ASSERT_NE(image->Picture().Bitmap(), nullptr);
    EXPECT_EQ(image->Picture().Width(), 17);
    EXPECT_EQ(image->Color(), 0xFFFFFF);
    int x = image->MessageState().StripX;
    Send(kScrollStep, 3);
    EXPECT_EQ(image->MessageState().StripX, x);
    image->SetImageName("HARD.RES");
    EXPECT_EQ(image->Color(), 0xFFFFFF) << "the saved colour is no longer used";
}

TEST_F(MessageDisplay, FaultyFilesFailTheStartWithoutABox) {
    const std::pair<const char*, std::string> files[] = {
        {"blank.scm", "/sp|3 /sm|Hi/eo|"},
        {"short.cms", "T\n0\n-13\nArial\n"},
        {"badint.cms", "T\n0\n-13\nArial\n8\n0\nwhite\n0\nline"},
    };
    for (const auto& [name, content] : files) {
        image->SetImageName(File("good.scm", ScrollFile(0)));
        image->InfoType = "kept";
        std::string path = File(name, content);
        image->SetImageName(path);
        ExpectNoDisplay(toolkit::clBtnFace);
        EXPECT_EQ(image->InfoType, "kept") << name;
        std::string upper = path;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(image->LoadStatus(), upper);
    }
    std::string locked = File("locked.cms", CreditFile({"A"}));
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    image->SetImageName(locked);
    CloseHandle(lock);
    ExpectNoDisplay(toolkit::clBtnFace);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MessageDisplay, MeasuresAsALabelMeasuresItsCaption) {
    image->SetImageName(File("m.scm", ScrollFile(0)));
    EXPECT_EQ(Measure("").cx, Measure(" ").cx);
    EXPECT_GT(Measure("").cy, 0);
    EXPECT_EQ(Measure("&Hi").cx, Measure("Hi").cx);
    EXPECT_EQ(Measure("a&b").cx, Measure("ab").cx);
    EXPECT_GT(Measure("a&&b").cx, Measure("ab").cx) << "\"&&\" shows one ampersand";
    // A tab advances to the next stop of eight average characters.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image->MessageState().MessageFont.Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int stop = 8 * metrics.tmAveCharWidth;
    EXPECT_EQ(Measure("\t").cx, stop);
    EXPECT_EQ(Measure("a\t\t").cx, 2 * stop);
    EXPECT_EQ(Measure("\tb").cx, stop + Measure("b").cx);
    // Long texts are measured whole, up to the strip limit.
    EXPECT_EQ(Measure(std::string(2000, 'i')).cx, 2 * Measure(std::string(1000, 'i')).cx);
}

TEST_F(MessageDisplay, HostileFilesShowSomethingWithinBounds) {
    std::mt19937 random(8);
    std::string binary(200000, '\0');
    for (char& c : binary)
        c = static_cast<char>(random() % 255 + 1); // no NUL: all of it is read
    std::string giant = "T\n0\n-13\nArial\n8\n0\n65535\n0\n" + std::string(100000, 'M');
    const std::pair<const char*, std::string> files[] = {
        {"binary.scm", binary},
        {"binary.cms", binary},
        {"order.scm", "/eo|Backwards/sm|0/sp|0/bc|0/ft|/fs|/fn|/fh|/fc|"},
        {"tall.scm", "/fh|-2000000000/fn|Arial/fs|/sm|Tall/eo|"},
        {"large.scm", "/fh|-30000/fn|Arial/fs|/sm|Hi/eo|"},
        {"huge.cms", "T\n0\n-2147483648\nArial\n2147483647\n1111\n0\n0\nHuge"},
        {"face.scm", "/fn|" + std::string(300, 'F') + "/fs|/sm|Face/eo|"},
        {"wide.cms", giant},
        {"wide.scm", "/sp|0/sm|" + std::string(500000, 'M') + "/eo|"},
    };
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        try {
            image->SetImageName(File(name, content));
        } catch (const std::exception& e) {
            ADD_FAILURE() << "raised " << e.what();
        }
        EXPECT_FALSE(image->MessageState().ScrollActive && image->MessageState().CreditActive);
        const long long w = image->MessageState().MessageBitmap.Width(),
                        h = image->MessageState().MessageBitmap.Height();
        EXPECT_LE(w, kMaxStripSide);
        EXPECT_LE(h, kMaxStripSide);
        EXPECT_LE(w * h, kMaxStripPixels);
        EXPECT_LE(image->MessageState().StripWidth, kMaxStripSide);
        Send(kScrollStep, 50);
        Send(kCreditStep, 50);
    }
    // The long credit line and message show as far as a strip reaches.
    image->SetImageName(File("wide.cms", giant));
    ASSERT_TRUE(image->MessageState().CreditActive);
    EXPECT_GT(image->MessageState().StripWidth, 1000);
    image->SetImageName(File("wide.scm", "/sp|0/sm|" + std::string(500000, 'M') + "/eo|"));
    ASSERT_TRUE(image->MessageState().ScrollActive);
    EXPECT_GT(image->MessageState().StripWidth, 1000);
    // A giant font is drawn at a bounded height: each glyph costs its square while drawn.
    image->SetImageName(File("large.scm", "/fh|-30000/fn|Arial/fs|/sm|Hi/eo|"));
    EXPECT_EQ(image->MessageState().MessageFont.Height(), -30000)
        << "the font keeps the height read";
    ASSERT_TRUE(image->MessageState().ScrollActive);
    EXPECT_GT(image->MessageState().MessageBitmap.Height(), kMaxFontHeight);
    EXPECT_LT(image->MessageState().MessageBitmap.Height(), 2 * kMaxFontHeight);
    image->SetImageName(File("order.scm", "/eo|Backwards/sm|0/sp|/bc|"));
    EXPECT_TRUE(image->MessageState().ScrollActive) << "empty values keep the last message";
    EXPECT_TRUE(boxes.empty());
}
