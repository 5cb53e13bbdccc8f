// Form1's layout as the user meets it: geometry, texts, states, colours,
// fonts, tab order and access keys.
#include "BrowserFixture.h"

#include "toolkit/Application.h"
#include "toolkit/Gdi.h"

#include <algorithm>

using namespace glimtest;
using browser::TForm1;

namespace {

struct Geometry {
    int left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.left << "," << g.top << " " << g.width << "x" << g.height;
}

// Position in the parent's client area and size, as the system has them.
Geometry WindowGeometry(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

LOGFONTA FontOf(HWND window) {
    LOGFONTA font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (handle)
        GetObjectA(handle, sizeof font, &font);
    return font;
}

// A window's client area painted into a 24-bit bitmap.
class Rendered {
public:
    Rendered(HWND window, UINT message) {
        RECT client;
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_.Get());
        SendMessageA(window, message, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~Rendered() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
    int CountInRow(int y, COLORREF colour) const {
        int n = 0;
        for (int x = 0; x < width_; ++x)
            n += Pixel(x, y) == colour;
        return n;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    toolkit::BitmapHandle bitmap_;
    HDC dc_;
    HGDIOBJ old_;
    int width_, height_;
};

using Form1Layout = BrowserTest;

} // namespace

TEST_F(Form1Layout, WindowIsAFixedSizeFrameOf598By449) {
    TForm1& f = OpenForm(scratch.Path());
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, 598);
    EXPECT_EQ(client.bottom, 449);
    LONG_PTR style = GetWindowLongPtrA(f.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL)) << "nothing reaches past the client area";

    auto icon = reinterpret_cast<HICON>(SendMessageA(f.Handle(), WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(info.hbmColor ? mask.bmHeight : mask.bmHeight / 2, 32);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST_F(Form1Layout, EveryControlSitsAtItsPlace) {
    TForm1& f = OpenForm(scratch.Path());
    struct Case {
        toolkit::TControl* control;
        toolkit::TControl* parent;
        Geometry place;
    };
    const Case cases[] = {
        {f.Panel6, &f, {16, 38, 204, 280}},
        {f.DriveComboBox1, f.Panel6, {20, 8, 164, 22}},
        {f.Edit1, f.Panel6, {40, 34, 120, 24}},
        {f.FileListBox1, f.Panel6, {8, 62, 188, 212}},
        {f.Panel3, &f, {16, 322, 112, 36}},
        {f.BtnStretch, f.Panel3, {32, 6, 68, 24}},
        {f.PanelLED, f.Panel3, {12, 12, 12, 12}},
        {f.Panel4, &f, {132, 322, 88, 36}},
        {f.ButtonVollbild, f.Panel4, {8, 6, 72, 24}},
        {f.ButtonExit, &f, {16, 408, 204, 24}},
        {f.ButtonCpy, &f, {16, 360, 204, 24}},
        {f.Panel1, &f, {236, 0, 360, 272}},
        {f.PMultiImage1, f.Panel1, {4, 4, 352, 264}},
        {f.Panel2, &f, {4, 0, 228, 36}},
        {f.Label1, f.Panel2, {100, 4, 25, 13}},
        {f.Label2, f.Panel2, {4, 20, 220, 13}},
        {f.Panel5, &f, {16, 386, 204, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control->Name);
        EXPECT_EQ(GetParent(c.control->Handle()), c.parent->Handle());
        EXPECT_EQ(WindowGeometry(c.control->Handle()), c.place);
    }
    // Whole rows of 16 pixels in the file list.
    RECT list;
    GetClientRect(f.FileListBox1->Handle(), &list);
    EXPECT_EQ(list.bottom % 16, 0);
    EXPECT_EQ(SendMessageA(f.FileListBox1->Handle(), LB_GETITEMHEIGHT, 0, 0), 16);
}

TEST_F(Form1Layout, TextsStatesAndTags) {
    TForm1& f = OpenForm(scratch.Path());
    EXPECT_EQ(WindowText(f.Panel1->Handle()), "Glimmora");
    EXPECT_EQ(WindowText(f.Label1->Handle()), "Path:");
    EXPECT_EQ(WindowText(f.Edit1->Handle()), "*.*");
    EXPECT_EQ(WindowText(f.BtnStretch->Handle()), "&STRETCH");
    EXPECT_EQ(WindowText(f.ButtonVollbild->Handle()), "&FULLVIEW");
    EXPECT_EQ(WindowText(f.ButtonExit->Handle()), "E &X I T");
    EXPECT_EQ(WindowText(f.ButtonCpy->Handle()), "&COPY TO CLIPBOARD");
    for (toolkit::TPanel* empty : {f.Panel2, f.Panel3, f.Panel4, f.Panel6, f.PanelLED})
        EXPECT_EQ(WindowText(empty->Handle()), "") << empty->Name;

    EXPECT_EQ(f.ButtonVollbild->Tag, 1);
    EXPECT_EQ(f.ButtonCpy->Tag, 1);
    EXPECT_FALSE(IsWindowEnabled(f.ButtonVollbild->Handle()));
    EXPECT_FALSE(IsWindowEnabled(f.ButtonCpy->Handle()));
    EXPECT_TRUE(IsWindowEnabled(f.BtnStretch->Handle()));
    EXPECT_TRUE(IsWindowEnabled(f.ButtonExit->Handle()));
    EXPECT_FALSE(IsWindowEnabled(f.PanelLED->Handle()));
    EXPECT_FALSE(IsWindowVisible(f.PMultiImage1->Handle()));
    EXPECT_FALSE(f.PMultiImage1->TabStop());
    // The name box turns typed letters to upper case.
    EXPECT_TRUE(GetWindowLongPtrA(f.Edit1->Handle(), GWL_STYLE) & ES_UPPERCASE);
}

TEST_F(Form1Layout, FontsOfTheLists) {
    TForm1& f = OpenForm(scratch.Path());
    for (toolkit::TControl* c : {static_cast<toolkit::TControl*>(f.DriveComboBox1),
                                 static_cast<toolkit::TControl*>(f.Edit1),
                                 static_cast<toolkit::TControl*>(f.FileListBox1)}) {
        LOGFONTA font = FontOf(c->Handle());
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif") << c->Name;
        EXPECT_EQ(font.lfHeight, -13) << c->Name;
    }
    LOGFONTA buttonFont = FontOf(f.ButtonExit->Handle());
    EXPECT_STREQ(buttonFont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(buttonFont.lfHeight, -11);
}

TEST_F(Form1Layout, ColoursOfWindowFrameAndLamp) {
    TForm1& f = OpenForm(scratch.Path());
    const COLORREF maroon = RGB(128, 0, 0);
    {
        Rendered window(f.Handle(), WM_ERASEBKGND);
        EXPECT_EQ(window.Pixel(2, 440), maroon);
        EXPECT_EQ(window.Pixel(300, 300), maroon);
    }
    {
        // The empty preview frame: "Glimmora" in red on black.
        Rendered frame(f.Panel1->Handle(), WM_PRINTCLIENT);
        EXPECT_EQ(frame.Pixel(20, 20), RGB(0, 0, 0));
        int red = 0;
        for (int y = 0; y < frame.Height(); ++y)
            red += frame.CountInRow(y, RGB(255, 0, 0));
        EXPECT_GT(red, 100);
        EXPECT_EQ(frame.CountInRow(20, RGB(255, 0, 0)), 0) << "caption centred vertically";
    }
    {
        Rendered lamp(f.PanelLED->Handle(), WM_PRINTCLIENT);
        EXPECT_EQ(lamp.Pixel(6, 6), maroon);
    }
}

TEST_F(Form1Layout, TabGoesFromTheNameBoxThroughTheEnabledControls) {
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    ProcessPending();
    ASSERT_EQ(FocusedName(), "Edit1");
    std::vector<std::string> order;
    for (int i = 0; i < 5; ++i) {
        PressKey(GetFocus(), VK_TAB);
        order.push_back(FocusedName());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"FileListBox1", "BtnStretch", "ButtonExit",
                                               "DriveComboBox1", "Edit1"}));

    // With a picture loaded: the preview shows but is never reached.
    f.ButtonVollbild->SetEnabled(true);
    f.ButtonCpy->SetEnabled(true);
    f.PMultiImage1->SetVisible(true);
    order.clear();
    for (int i = 0; i < 7; ++i) {
        PressKey(GetFocus(), VK_TAB);
        order.push_back(FocusedName());
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"FileListBox1", "BtnStretch", "ButtonVollbild",
                                        "ButtonExit", "ButtonCpy", "DriveComboBox1", "Edit1"}));

    HoldShift(true);
    PressKey(GetFocus(), VK_TAB);
    std::string back = FocusedName();
    PressKey(GetFocus(), VK_TAB);
    std::string backAgain = FocusedName();
    HoldShift(false);
    EXPECT_EQ(back, "DriveComboBox1");
    EXPECT_EQ(backAgain, "ButtonCpy");
}

TEST_F(Form1Layout, AltLetterPressesTheButtonsThatCanReact) {
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    ProcessPending();
    int stretch = 0, fullview = 0, copy = 0;
    f.BtnStretch->OnClick = [&](toolkit::TControl*) { ++stretch; };
    f.ButtonVollbild->OnClick = [&](toolkit::TControl*) { ++fullview; };
    f.ButtonCpy->OnClick = [&](toolkit::TControl*) { ++copy; };

    PressAltLetter(f.Edit1->Handle(), 'f');
    PressAltLetter(f.FileListBox1->Handle(), 'c');
    EXPECT_EQ(fullview, 0) << "FULLVIEW is disabled";
    EXPECT_EQ(copy, 0) << "COPY TO CLIPBOARD is disabled";
    PressAltLetter(f.FileListBox1->Handle(), 's');
    EXPECT_EQ(stretch, 1);

    f.ButtonVollbild->SetEnabled(true);
    f.ButtonCpy->SetEnabled(true);
    PressAltLetter(f.DriveComboBox1->Handle(), 'F');
    PressAltLetter(f.Edit1->Handle(), 'C');
    EXPECT_EQ(fullview, 1);
    EXPECT_EQ(copy, 1);
}

TEST_F(Form1Layout, AltXClosesTheWindow) {
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    ProcessPending();
    ASSERT_TRUE(IsWindowVisible(f.Handle()));
    PressAltLetter(f.FileListBox1->Handle(), 'x');
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_TRUE(toolkit::Application().Terminated());
}

TEST_F(Form1Layout, AnAmpersandInTheFolderCaptionTakesNoAccessKey) {
    std::string folder = scratch.AddFolder("Fotos&Scans");
    TForm1& f = OpenForm(folder);
    f.Show();
    ProcessPending();
    ASSERT_NE(WindowText(f.Label2->Handle()).find("&S"), std::string::npos);
    int stretch = 0;
    f.BtnStretch->OnClick = [&](toolkit::TControl*) { ++stretch; };
    PressAltLetter(f.FileListBox1->Handle(), 's');
    EXPECT_EQ(stretch, 1);
    // Nor does one in the name box, as a selected file name can put there.
    f.Edit1->SetText("R&S.BMP");
    PressAltLetter(f.FileListBox1->Handle(), 's');
    EXPECT_EQ(stretch, 2);
    // And the caption shows the ampersand: "C:\R&D" is wider than "C:\RD".
    auto inkEnd = [&f](const std::string& caption) {
        f.Label2->SetCaption(caption);
        Rendered label(f.Label2->Handle(), WM_PRINTCLIENT);
        const COLORREF background = label.Pixel(label.Width() - 1, 0);
        int end = 0;
        for (int y = 0; y < label.Height(); ++y)
            for (int x = 0; x < label.Width(); ++x)
                if (label.Pixel(x, y) != background)
                    end = std::max(end, x + 1);
        return end;
    };
    EXPECT_GT(inkEnd("C:\\R&D"), inkEnd("C:\\RD"));
}
