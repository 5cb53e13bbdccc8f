// LoadPicture, FitPreview and the four buttons of the browser window.
#include "BrowserFixture.h"

#include "fullscreen/Unit2.h"
#include "toolkit/Application.h"
#include "toolkit/Errors.h"

using namespace glimtest;

namespace {

const std::string kCorpus = std::string("Z:") + GLIMMORA_CORPUS_DIR;

std::string Corpus(const std::string& relative) {
    std::string path = kCorpus + "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class Preview : public BrowserTest {
protected:
    void SetUp() override {
        CopyFileA(Corpus("generated/bmp/rgb24_227x149.bmp").c_str(),
                  scratch.File("photo.bmp").c_str(), FALSE);
        CopyFileA(Corpus("generated/bmp/pal8_227x149.bmp").c_str(),
                  scratch.File("other.bmp").c_str(), FALSE);
        scratch.AddFile("broken.bmp", FILE_ATTRIBUTE_NORMAL, "BM not a picture");
        OpenForm(scratch.Path());
        OpenFullView();
    }

    std::string Title() { return toolkit::Application().Title(); }
    bool Enabled(toolkit::TControl* c) { return IsWindowEnabled(c->Handle()) != FALSE; }
    void ExpectIdle() {
        browser::TForm1& f = *form;
        EXPECT_EQ(Title(), "Glimmora32 - [Noname]");
        EXPECT_EQ(WindowText(f.Handle()), "Glimmora32 - [Noname]");
        EXPECT_EQ(f.Panel5->Caption(), "Picture-Info:");
        EXPECT_FALSE(f.PMultiImage1->Visible());
        EXPECT_EQ(f.Panel1->Width(), 360);
        EXPECT_EQ(f.Panel1->Height(), 272);
        EXPECT_EQ(f.PMultiImage1->Width(), 352);
        EXPECT_EQ(f.PMultiImage1->Height(), 264);
        EXPECT_FALSE(Enabled(f.ButtonVollbild));
        EXPECT_FALSE(Enabled(f.ButtonCpy));
        EXPECT_FALSE(f.HasPicture());
        EXPECT_TRUE(Enabled(f.ButtonExit));
        EXPECT_TRUE(Enabled(f.BtnStretch));
        EXPECT_TRUE(IsWindowEnabled(f.Handle()));
        EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crDefault);
        EXPECT_EQ(fullscreen::Form2->PMultiImage1->Picture().Graphic(), nullptr);
    }
};

} // namespace

TEST_F(Preview, LoadsFailsAndReturnsToIdle) {
    browser::TForm1& f = *form;
    ExpectIdle();
    f.LoadPicture(scratch.File("photo.bmp"));
    EXPECT_EQ(Title(), "Glimmora32 - [PHOTO.BMP]");
    EXPECT_EQ(WindowText(f.Handle()), "Glimmora32 - [PHOTO.BMP]");
    EXPECT_EQ(f.Panel5->Caption(), "Picture-Info:  227x149x16M");
    EXPECT_TRUE(f.PMultiImage1->Visible());
    EXPECT_EQ(f.PMultiImage1->Width(), 227);
    EXPECT_EQ(f.Panel1->Width(), 235);
    EXPECT_EQ(f.Panel1->Height(), 157);
    EXPECT_TRUE(Enabled(f.ButtonVollbild));
    EXPECT_TRUE(Enabled(f.ButtonCpy));
    EXPECT_EQ(fullscreen::Form2->PMultiImage1->Picture().Width(), 227);
    EXPECT_TRUE(fullscreen::Form2->PMultiImage1->Visible());
    EXPECT_TRUE(dialogs.empty());

    f.LoadPicture(scratch.File("other.bmp"));
    EXPECT_EQ(f.Panel5->Caption(), "Picture-Info:  227x149x256");
    EXPECT_EQ(Title(), "Glimmora32 - [OTHER.BMP]");

    f.LoadPicture(scratch.File("broken.bmp"));
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back().title, "Fehler");
    EXPECT_EQ(dialogs.back().text, "BROKEN.BMP is not a valid Bitmapfile !");
    ExpectIdle();
    EXPECT_EQ(browser::LastLoadedPath(), "");
}

TEST_F(Preview, TheSamePathTwiceDoesNothingUnlessItFailed) {
    browser::TForm1& f = *form;
    f.LoadPicture(scratch.File("photo.bmp"));
    toolkit::Application().SetTitle("changed");
    f.LoadPicture(scratch.File("photo.bmp"));
    EXPECT_EQ(Title(), "changed");
    f.LoadPicture(scratch.File("PHOTO.bmp")); // letter case counts
    EXPECT_EQ(Title(), "Glimmora32 - [PHOTO.BMP]");

    f.LoadPicture(scratch.File("broken.bmp"));
    size_t boxes = dialogs.size();
    f.LoadPicture(scratch.File("broken.bmp")); // tried again
    EXPECT_GT(dialogs.size(), boxes);
}

TEST_F(Preview, AMissingFileFailsWithItsUpperCasedName) {
    form->LoadPicture(scratch.File("gone.jpg"));
    // The load shows nothing for a missing file; the information query that
    // follows reports the library's own text, then the failure box.
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, "Fehler");
    EXPECT_EQ(dialogs[1].text, "GONE.JPG is not a valid Bitmapfile !");
    ExpectIdle();
}

TEST_F(Preview, ColourTextsFollowTheBitsPerPixel) {
    struct Case {
        const char* file;
        const char* text;
    };
    const Case cases[] = {
        {"generated/bmp/pal1_227x149.bmp", "227x149x2"},
        {"png/pngsuite/basn3p02.png", "32x32x4"},
        {"generated/bmp/pal4_227x149.bmp", "227x149x16"},
        {"generated/bmp/rgb32_227x149.bmp", "227x149x4B"},
    };
    for (const Case& c : cases) {
        std::string name = std::string(c.file).substr(std::string(c.file).rfind('/') + 1);
        CopyFileA(Corpus(c.file).c_str(), scratch.File(name).c_str(), FALSE);
        form->LoadPicture(scratch.File(name));
        EXPECT_EQ(form->Panel5->Caption(), std::string("Picture-Info:  ") + c.text) << c.file;
    }
    form->LoadPicture("HARD.RES"); // a bitmap of the program: no depth reported
    EXPECT_EQ(form->Panel5->Caption(), "Picture-Info:  16x11xN/A");
    EXPECT_EQ(form->Panel1->Width(), 24);
    EXPECT_EQ(form->Panel1->Height(), 19);
}

TEST_F(Preview, StretchTogglesTheLampAndSizesThePreview) {
    browser::TForm1& f = *form;
    f.BtnStretch->Click(); // before any picture
    EXPECT_EQ(f.PanelLED->Color(), toolkit::clRed);
    EXPECT_TRUE(f.PMultiImage1->Stretch());
    EXPECT_EQ(f.Panel1->Width(), 360);
    f.LoadPicture(scratch.File("photo.bmp")); // 227 x 149, wider than the box
    // 352 / (227 / 149) = 231.05 -> 231
    EXPECT_EQ(f.PMultiImage1->Width(), 352);
    EXPECT_EQ(f.PMultiImage1->Height(), 232);
    EXPECT_EQ(f.Panel1->Height(), 240);
    f.BtnStretch->Click();
    EXPECT_EQ(f.PanelLED->Color(), toolkit::clMaroon);
    EXPECT_FALSE(f.PMultiImage1->Stretch());
    EXPECT_EQ(f.PMultiImage1->Width(), 227);
    EXPECT_EQ(FocusedName(), "FileListBox1");
}

TEST_F(Preview, ALargePictureGivesTheWindowScrollBars) {
    browser::TForm1& f = *form;
    f.Show();
    ProcessPending();
    EXPECT_FALSE(GetWindowLongA(f.Handle(), GWL_STYLE) & WS_HSCROLL);
    std::string large = scratch.AddFile("large.bmp", FILE_ATTRIBUTE_NORMAL, GreyBitmap(1024, 768));
    f.LoadPicture(large);
    EXPECT_EQ(f.Panel1->Width(), 1032);
    EXPECT_EQ(f.Panel1->Height(), 776);
    LONG style = GetWindowLongA(f.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & WS_VSCROLL);
    f.LoadPicture(scratch.File("broken.bmp"));
    style = GetWindowLongA(f.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_HSCROLL);
}

TEST_F(Preview, ScrolledToTheFarCornerASmallerPictureStaysInView) {
    browser::TForm1& f = *form;
    f.Show();
    ProcessPending();
    f.LoadPicture(scratch.AddFile("huge.bmp", FILE_ATTRIBUTE_NORMAL, GreyBitmap(2000, 1500)));
    SendMessageA(f.Handle(), WM_HSCROLL, SB_BOTTOM, 0);
    SendMessageA(f.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_GT(f.ScrollPosition().x, 1000);
    // Still scrolling, over a shorter range: the far corner is the new one.
    f.LoadPicture(scratch.AddFile("large.bmp", FILE_ATTRIBUTE_NORMAL, GreyBitmap(1024, 768)));
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(f.Panel1->Left() + f.Panel1->Width(), client.right);
    EXPECT_EQ(f.Panel1->Top() + f.Panel1->Height(), client.bottom);
    EXPECT_EQ(f.Panel1->Left(), 236 - f.ScrollPosition().x);
    f.LoadPicture(scratch.File("photo.bmp"));
    EXPECT_EQ(f.ScrollPosition().x, 0);
    EXPECT_EQ(f.ScrollPosition().y, 0);
    EXPECT_EQ(f.Panel1->Left(), 236);
    EXPECT_EQ(f.Panel1->Top(), 0);
}

TEST_F(Preview, AnIconLoaderErrorLeavesTheIdleStateWithoutASize) {
    browser::TForm1& f = *form;
    f.LoadPicture(scratch.File("photo.bmp"));
    scratch.AddFile("bad.ico", FILE_ATTRIBUTE_NORMAL, "not an icon at all, not at all");
    EXPECT_THROW(f.LoadPicture(scratch.File("bad.ico")), toolkit::Exception);
    ExpectIdle();
    EXPECT_EQ(f.PMultiImage1->InfoWidth, 0);
    EXPECT_EQ(f.PMultiImage1->InfoHeight, 0);
    f.BtnStretch->Click(); // nothing to fit: the design size stays
    EXPECT_EQ(f.Panel1->Width(), 360);
    EXPECT_EQ(f.Panel1->Height(), 272);
}

TEST_F(Preview, APictureThatDidNotDecodeIsAFailedLoad) {
    browser::TForm1& f = *form;
    f.LoadPicture(scratch.File("photo.bmp"));
    // The header reads (32 x 32), the data fails its checksum.
    CopyFileA(Corpus("png/pngsuite/xcsn0g01.png").c_str(), scratch.File("badcrc.png").c_str(),
              FALSE);
    f.LoadPicture(scratch.File("badcrc.png"));
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back().text, "BADCRC.PNG is not a valid Bitmapfile !");
    ExpectIdle();
}

TEST_F(Preview, CopyButtonPutsThePictureOnTheClipboard) {
    browser::TForm1& f = *form;
    f.LoadPicture(scratch.File("photo.bmp"));
    f.ButtonCpy->Click();
    ASSERT_TRUE(OpenClipboard(nullptr));
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info{};
    EXPECT_TRUE(bitmap && GetObjectA(bitmap, sizeof info, &info));
    CloseClipboard();
    EXPECT_EQ(info.bmWidth, 227);
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crDefault);
}
