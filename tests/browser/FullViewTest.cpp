// The full-screen window: showing, scrolling, stepping and closing.
#include "BrowserFixture.h"

#include "fullscreen/Unit2.h"
#include "toolkit/Application.h"

using namespace glimtest;
using fullscreen::ScrolledPosition;

namespace {

std::string CorpusFile(const char* relative) {
    std::string path = std::string("Z:") + GLIMMORA_CORPUS_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Sets the thread's view of the modifier keys for the messages that follow.
void SetModifiers(bool shift, bool alt, bool ctrl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_MENU] = alt ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
}

class FullView : public BrowserTest {
protected:
    void SetUp() override {
        scratch.AddFolder("SUB");
        CopyFileA(CorpusFile("generated/bmp/pal8_227x149.bmp").c_str(),
                  scratch.File("a.bmp").c_str(), FALSE);
        scratch.AddFile("b.txt");
        CopyFileA(CorpusFile("generated/jpeg/baseline_420_227x149.jpg").c_str(),
                  scratch.File("c.jpg").c_str(), FALSE);
        OpenForm(scratch.Path());
        OpenFullView();
        form->Show();
        ProcessPending();
    }
    void TearDown() override {
        SetModifiers(false, false, false);
        BrowserTest::TearDown();
    }
    void Show(const std::string& name) {
        form->FileListBox1->SetItemIndex(EntryIndex(name));
        form->OpenSelectedEntry();
        form->ButtonVollbild->Click();
        ProcessPending();
    }
    void Char(char c) { SendMessageA(form2->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1); }
    bool Shown() { return IsWindowVisible(form2->Handle()) != FALSE; }
};

} // namespace

TEST(ScrolledPosition, MovesALargePictureByTheTable) {
    const SIZE picture{2000, 1500}, screen{1024, 768};
    POINT p{0, 0};
    p = ScrolledPosition(VK_END, p, picture, screen);
    EXPECT_EQ(p.x, -10);
    for (int i = 0; i < 200; ++i)
        p = ScrolledPosition(VK_END, p, picture, screen);
    EXPECT_EQ(p.x, 1024 - 2000); // right edges aligned, no further
    p = ScrolledPosition(VK_HOME, p, picture, screen);
    EXPECT_EQ(p.x, 1024 - 2000 + 10);
    for (int i = 0; i < 200; ++i)
        p = ScrolledPosition(VK_HOME, p, picture, screen);
    EXPECT_EQ(p.x, 0);
    p = ScrolledPosition(VK_RIGHT, p, picture, screen);
    EXPECT_EQ(p.x, -2);
    p = ScrolledPosition(VK_LEFT, p, picture, screen);
    EXPECT_EQ(p.x, 0);
    p = ScrolledPosition(VK_LEFT, p, picture, screen); // already at the edge
    EXPECT_EQ(p.x, 0);
    p = ScrolledPosition(VK_DOWN, p, picture, screen);
    EXPECT_EQ(p.y, -2);
    p = ScrolledPosition(VK_UP, p, picture, screen);
    EXPECT_EQ(p.y, 0);
    p = {0, -725}; // 7 pixels beyond the bottom: aligned, not moved by 10
    p = ScrolledPosition(VK_NEXT, p, picture, screen);
    EXPECT_EQ(p.y, 768 - 1500);
    p = {0, -5};
    p = ScrolledPosition(VK_PRIOR, p, picture, screen);
    EXPECT_EQ(p.y, 0);
    // A picture no larger than the screen never moves.
    for (WORD key : {VK_DOWN, VK_UP, VK_RIGHT, VK_LEFT, VK_NEXT, VK_PRIOR, VK_END, VK_HOME}) {
        POINT q = ScrolledPosition(key, {0, 0}, {800, 600}, screen);
        EXPECT_EQ(q.x, 0);
        EXPECT_EQ(q.y, 0);
    }
}

TEST(IsSingleModifier, ExactlyOneModifierAndNoButton) {
    EXPECT_TRUE(fullscreen::IsSingleModifier(toolkit::ssShift, false));
    EXPECT_TRUE(fullscreen::IsSingleModifier(toolkit::ssAlt, false));
    EXPECT_TRUE(fullscreen::IsSingleModifier(toolkit::ssCtrl, false));
    EXPECT_FALSE(fullscreen::IsSingleModifier(0, false));
    EXPECT_FALSE(fullscreen::IsSingleModifier(toolkit::ssShift | toolkit::ssCtrl, false));
    EXPECT_FALSE(fullscreen::IsSingleModifier(toolkit::ssShift, true));
}

TEST_F(FullView, ShowsThePictureOverTheWholeScreenWithoutPointer) {
    Show("a.bmp");
    ASSERT_TRUE(Shown());
    RECT r;
    GetWindowRect(form2->Handle(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(form2->PMultiImage1->Width(), 227);
    EXPECT_EQ(form2->PMultiImage1->Height(), 149);
    EXPECT_EQ(form2->PMultiImage1->Picture().Width(), 227);
    EXPECT_TRUE(dialogs.empty()) << (dialogs.empty() ? "" : dialogs[0].text);
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crNone);
    Char(27);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crDefault);
}

TEST_F(FullView, PlusAndMinusStepOverOtherFilesAndStopAtFolders) {
    Show("a.bmp");
    Char('+');
    EXPECT_EQ(toolkit::Application().Title(), "Glimmora32 - [C.JPG]");
    EXPECT_EQ(form->FileListBox1->SelectedName(), "c.jpg");
    EXPECT_EQ(form->Edit1->Text(), "C.JPG");
    Char('+'); // the end of the list: nothing new
    EXPECT_EQ(form->FileListBox1->SelectedName(), "c.jpg");
    Char('-');
    EXPECT_EQ(toolkit::Application().Title(), "Glimmora32 - [A.BMP]");
    EXPECT_EQ(form->FileListBox1->SelectedName(), "a.bmp");
    Char('-'); // meets [SUB]
    EXPECT_EQ(form->FileListBox1->SelectedName(), "a.bmp");
    EXPECT_EQ(toolkit::Application().Title(), "Glimmora32 - [A.BMP]");
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(dialogs.empty());
}

// A held "+" over pictures slower than the key repeat: the repeats that came
// in while one was shown go, and Escape behind them closes the view at once.
TEST_F(FullView, AHeldPlusStepsOncePerPictureShownAndEscapeIsNotKeptWaiting) {
    for (const char* name : {"d.bmp", "e.bmp", "f.bmp"})
        CopyFileA(scratch.File("a.bmp").c_str(), scratch.File(name).c_str(), FALSE);
    form->FileListBox1->Refill();
    Show("a.bmp");
    constexpr LPARAM kRepeat = 1 | (1 << 30); // the key was down before
    PostMessageA(form2->Handle(), WM_CHAR, '+', 1);
    for (int i = 0; i < 4; ++i)
        PostMessageA(form2->Handle(), WM_CHAR, '+', kRepeat);
    PostMessageA(form2->Handle(), WM_CHAR, 27, 1);
    ProcessPending();
    EXPECT_EQ(form->FileListBox1->SelectedName(), "c.jpg");
    EXPECT_FALSE(Shown());
}

TEST_F(FullView, EnterSpaceClickAndASingleModifierClose) {
    for (char key : {'\r', ' '}) {
        Show("a.bmp");
        Char(key);
        EXPECT_FALSE(Shown()) << int(key);
    }
    Show("a.bmp");
    // A click on the disabled picture reaches the window.
    POINT inside{10, 10};
    ClientToScreen(form2->PMultiImage1->Handle(), &inside);
    ScreenToClient(form2->Handle(), &inside);
    LRESULT hit = SendMessageA(form2->PMultiImage1->Handle(), WM_NCHITTEST, 0, 0);
    EXPECT_EQ(hit, HTTRANSPARENT);
    SendMessageA(form2->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_FALSE(Shown());

    Show("a.bmp");
    SendMessageA(form2->Handle(), WM_KEYDOWN, VK_RIGHT, 1); // no modifier: stays
    EXPECT_TRUE(Shown());
    SetModifiers(true, false, false);
    SendMessageA(form2->Handle(), WM_KEYDOWN, VK_SHIFT, 1);
    EXPECT_FALSE(Shown());
    Show("a.bmp");
    SetModifiers(true, false, true); // two modifiers
    SendMessageA(form2->Handle(), WM_KEYDOWN, 'A', 1);
    EXPECT_TRUE(Shown());
    SetModifiers(false, true, false);
    SendMessageA(form2->Handle(), WM_SYSKEYDOWN, VK_TAB, 1);
    EXPECT_FALSE(Shown());
}

TEST_F(FullView, AFailingPictureStopsSteppingAndLeavesTheWindowOpen) {
    scratch.AddFile("b2.gif", FILE_ATTRIBUTE_NORMAL, "GIF89a broken");
    form->FileListBox1->Refill();
    Show("a.bmp");
    Char('+');
    EXPECT_EQ(form->FileListBox1->SelectedName(), "b2.gif");
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back().text, "B2.GIF is not a valid Bitmapfile !");
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(form2->PMultiImage1->Visible());
}

TEST_F(FullView, ABrokenIconStopsSteppingAsAnyFailingPictureDoes) {
    scratch.AddFile("b2.ico", FILE_ATTRIBUTE_NORMAL, "not an icon at all, not at all");
    form->FileListBox1->Refill();
    Show("a.bmp");
    Char('+');
    ASSERT_FALSE(dialogs.empty()); // the loader's error
    EXPECT_TRUE(Shown());
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crNone);
    EXPECT_EQ(form->FileListBox1->SelectedName(), "b2.ico");
    EXPECT_EQ(form->Edit1->Text(), "B2.ICO");
    Char(27);
    EXPECT_FALSE(Shown());
}
