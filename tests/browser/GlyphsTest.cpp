// The glyph bitmaps among the resources and how the rows draw them.
#include "BrowserFixture.h"

#include "toolkit/Gdi.h"

using namespace glimtest;
using browser::GlyphKind;

namespace {

// A 32-bit drawing surface of the given size.
class Surface {
public:
    Surface(int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_.Get());
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    toolkit::BitmapHandle bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

// A glyph resource of this program, its pixels readable.
class Glyph {
public:
    explicit Glyph(const char* name)
        : bitmap_(LoadBitmapA(GetModuleHandleA(nullptr), name)), dc_(CreateCompatibleDC(nullptr)) {
        GetObjectA(bitmap_.Get(), sizeof info_, &info_);
        old_ = SelectObject(dc_, bitmap_.Get());
    }
    ~Glyph() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    bool Loaded() const { return bitmap_.Get() != nullptr; }
    int Width() const { return info_.bmWidth; }
    int Height() const { return info_.bmHeight; }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    toolkit::BitmapHandle bitmap_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
    BITMAP info_{};
};

int ResourceBitCount(const char* name) {
    HRSRC resource = FindResourceA(nullptr, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!resource)
        return 0;
    auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, resource)));
    return header ? header->biBitCount : 0;
}

// Draws one row of an owner-drawn list as the system asks its parent to.
void DrawRow(toolkit::TControl& control, UINT type, int index, const Surface& surface) {
    DRAWITEMSTRUCT item{};
    item.CtlType = type;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(control.Handle()));
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = control.Handle();
    item.hDC = surface.Dc();
    item.rcItem = {0, 0, 160, 16};
    SendMessageA(GetParent(control.Handle()), WM_DRAWITEM, item.CtlID,
                 reinterpret_cast<LPARAM>(&item));
}

// The glyph 2 pixels from the left, centred, its bottom-left colour showing
// the background; nothing else before the text at 22 pixels.
void ExpectGlyphThenText(const Surface& row, const char* name, COLORREF background) {
    Glyph glyph(name);
    ASSERT_TRUE(glyph.Loaded()) << name;
    const int top = (16 - glyph.Height()) / 2;
    const COLORREF transparent = glyph.Pixel(0, glyph.Height() - 1);
    int opaque = 0;
    for (int y = 0; y < glyph.Height(); ++y)
        for (int x = 0; x < glyph.Width(); ++x) {
            COLORREF source = glyph.Pixel(x, y);
            COLORREF expected = source == transparent ? background : source;
            opaque += source != transparent;
            ASSERT_EQ(row.Pixel(2 + x, top + y), expected) << name << " at " << x << "," << y;
        }
    EXPECT_GT(opaque, 20) << name;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(row.Pixel(x, y), background) << x << "," << y;
        for (int x = 2 + glyph.Width(); x < 22; ++x)
            EXPECT_EQ(row.Pixel(x, y), background) << x << "," << y;
    }
    int text = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 22; x < 60; ++x)
            text += row.Pixel(x, y) != background;
    EXPECT_GT(text, 5) << "the row's text";
}

using GlyphRows = BrowserTest;

} // namespace

TEST(GlyphResources, ElevenFourBitBitmapsOfTheirSizes) {
    struct Case {
        const char* name;
        int width, height;
    };
    for (Case c :
         {Case{"FLOPPY", 16, 11}, Case{"HARD", 16, 11}, Case{"NETWORK", 16, 11},
          Case{"CDROM", 16, 11}, Case{"RAM", 16, 11}, Case{"CLOSEDFOLDER", 16, 15},
          Case{"OPENFOLDER", 16, 15}, Case{"CURRENTFOLDER", 16, 15}, Case{"EXECUTABLE", 16, 15},
          Case{"UNKNOWNFILE", 16, 15}, Case{"KNOWNFILE", 16, 15}}) {
        Glyph glyph(c.name);
        ASSERT_TRUE(glyph.Loaded()) << c.name;
        EXPECT_EQ(glyph.Width(), c.width) << c.name;
        EXPECT_EQ(glyph.Height(), c.height) << c.name;
        EXPECT_EQ(ResourceBitCount(c.name), 4) << c.name;
    }
    for (GlyphKind kind :
         {GlyphKind::Floppy, GlyphKind::Hard, GlyphKind::Network, GlyphKind::CdRom, GlyphKind::Ram,
          GlyphKind::ClosedFolder, GlyphKind::Executable, GlyphKind::UnknownFile}) {
        Glyph glyph(browser::GlyphResourceName(kind));
        SIZE size = browser::GlyphSet::Shared().Size(kind);
        EXPECT_EQ(size.cx, glyph.Width());
        EXPECT_EQ(size.cy, glyph.Height());
    }
}

TEST_F(GlyphRows, FileAndDriveRowsDrawTheirGlyphsBeforeTheText) {
    scratch.AddFolder("SUB");
    scratch.AddFile("SETUP.EXE");
    scratch.AddFile("zz.txt");
    browser::TForm1& f = OpenForm(scratch.Path());
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    auto& list = *f.FileListBox1;
    struct Case {
        std::string entry;
        const char* glyph;
    };
    for (const Case& c : {Case{"[SUB]", "CLOSEDFOLDER"}, Case{"SETUP.EXE", "EXECUTABLE"},
                          Case{"zz.txt", "UNKNOWNFILE"}}) {
        SCOPED_TRACE(c.entry);
        int index = static_cast<int>(SendMessageA(list.Handle(), LB_FINDSTRINGEXACT,
                                                  static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(c.entry.c_str())));
        ASSERT_GE(index, 0);
        Surface row(160, 16);
        DrawRow(list, ODT_LISTBOX, index, row);
        ExpectGlyphThenText(row, c.glyph, window);
    }
    auto& drives = *f.DriveComboBox1;
    for (size_t i = 0; i < drives.Entries().size(); ++i) {
        SCOPED_TRACE(drives.Entries()[i].text);
        Surface row(160, 16);
        DrawRow(drives, ODT_COMBOBOX, static_cast<int>(i), row);
        ExpectGlyphThenText(row, browser::GlyphResourceName(drives.Entries()[i].glyph), window);
    }
}
