// The build's program (or dist/win32 in the shipped 32-bit walk) installed
// into a folder of its own and used from another process as a user uses it:
// clicks and keys through the input queue, what the windows show read back,
// and screenshots under out/walk.
#include "common/TestSupport.h"
#include "common/ProgramWindows.h"
#include "UserInput.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

using namespace e2e;
using namespace glimtest;

namespace {

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

const std::string kRelease = WindowsPath(GLIMMORA_RELEASE_DIR);
const std::string kShots = WindowsPath(GLIMMORA_SOURCE_DIR "/out/walk");
const std::string kCorpus = WindowsPath(GLIMMORA_CORPUS_DIR);

// A 24-bit bitmap file whose four quarters have their own colour, each with
// a one-pixel black border, so that every edge and corner is recognisable.
struct Quarters {
    int width, height;
    static COLORREF Colour(int x, int y, int width, int height) { // 0x00RRGGBB
        if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
            return 0;
        const bool right = x >= width / 2, bottom = y >= height / 2;
        return bottom ? (right ? 0xFFFF00 : 0x0000FF) : (right ? 0x00FF00 : 0xFF0000);
    }
    std::string Bytes() const {
        const int stride = (width * 3 + 3) & ~3;
        std::string pixels(static_cast<size_t>(stride) * height, '\0');
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = Colour(x, y, width, height);
                char* p = &pixels[static_cast<size_t>(height - 1 - y) * stride + x * 3];
                p[0] = static_cast<char>(c & 0xFF);
                p[1] = static_cast<char>(c >> 8 & 0xFF);
                p[2] = static_cast<char>(c >> 16 & 0xFF);
            }
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
        info.biSize = sizeof info;
        info.biWidth = width;
        info.biHeight = height;
        info.biPlanes = 1;
        info.biBitCount = 24;
        std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
        bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
        return bytes + pixels;
    }
};

// A Windows metafile of a filled rectangle.
void WriteMetafile(const std::string& path) {
    HDC dc = CreateMetaFileA(path.c_str());
    ASSERT_NE(dc, nullptr);
    SetWindowExtEx(dc, 200, 150, nullptr);
    RECT box{10, 10, 190, 140};
    HBRUSH brush = CreateSolidBrush(RGB(0, 128, 255));
    FillRect(dc, &box, brush);
    DeleteObject(brush);
    DeleteMetaFile(CloseMetaFile(dc));
}

struct Picture {
    const char* name;   // in the picture folder
    const char* source; // below the corpus folder, or null for one made here
    const char* info;   // the info panel after loading
};

const Picture kPictures[] = {
    {"baseline_420_227x149.jpg", "generated/jpeg/baseline_420_227x149.jpg",
     "Picture-Info:  227x149x16M"},
    {"photo_227x149.gif", "generated/gif/photo_227x149.gif", "Picture-Info:  227x149x256"},
    {"own_8bit_227x149.pcx", "generated/pcx/own_8bit_227x149.pcx", "Picture-Info:  227x149x256"},
    {"rgb8_lzw.tif", "generated/tiff/rgb8_lzw.tif", "Picture-Info:  227x149x16M"},
    {"rle8_227x149.bmp", "generated/bmp/rle8_227x149.bmp", "Picture-Info:  227x149x256"},
};

class UserWalk : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CreateDirectoryA(kShots.c_str(), nullptr); }

    UserWalk() {
        // The release folder's files in a program folder of their own.
        for (const char* file : {"GLIMR32.EXE", "SKY32DEM.DLL"})
            EXPECT_TRUE(
                CopyFileA((kRelease + "\\" + file).c_str(), install.File(file).c_str(), FALSE))
                << kRelease << "\\" << file << ": build it first";
        for (const Picture& p : kPictures)
            EXPECT_TRUE(CopyFileA((kCorpus + "\\" + p.source).c_str(),
                                  pictures.File(p.name).c_str(), FALSE))
                << p.source;
        pictures.AddFile("broken.jpg", FILE_ATTRIBUTE_NORMAL, "JFIF? no, only text");
        pictures.AddFile("big.bmp", FILE_ATTRIBUTE_NORMAL, kBig.Bytes());
        pictures.AddFile("notes.txt", FILE_ATTRIBUTE_NORMAL, "not a picture");
        // The browser offers neither PNG files nor enhanced metafiles.
        EXPECT_TRUE(CopyFileA((kCorpus + "\\png\\pngsuite\\basn2c08.png").c_str(),
                              pictures.File("basn2c08.png").c_str(), FALSE));
        pictures.AddFile("drawing.emf", FILE_ATTRIBUTE_NORMAL, "EMF");
        WriteMetafile(pictures.File("drawing.wmf"));
        EXPECT_TRUE(CopyFileA(GLIMMORA_BITMAPS_DIR "\\GLIMMORA.ICO",
                              pictures.File("glimmora.ico").c_str(), FALSE));
        pictures.AddFolder("Holiday");
        pictures.AddFile("Holiday\\beach.bmp", FILE_ATTRIBUTE_NORMAL, SmallBitmap());
    }

    // Starts the installed program in the picture folder and waits for its window.
    void Start(const std::string& arguments = "", const wchar_t* title = kNoname) {
        program = std::make_unique<RunningProgram>(arguments, pictures.Path(), -1,
                                                   install.File("GLIMR32.EXE"));
        ASSERT_TRUE(program->Started());
        window = program->WaitForWindow(kFormClass, title, kStartPatience);
        ASSERT_NE(window, nullptr) << "no browser window";
        ASSERT_TRUE(BringToFront(window));
        Settle(window);
        Find();
    }

    void Find() {
        std::vector<ChildWindow> children = Children(window);
        auto child = [&](const wchar_t* cls, const std::string& text = "\x01") {
            const ChildWindow* c = FindChild(children, cls, text);
            EXPECT_NE(c, nullptr) << Narrow(cls) << " " << text;
            return c ? c->handle : nullptr;
        };
        drives = child(L"ComboBox");
        edit = child(L"Edit");
        list = child(L"ListBox");
        stretch = child(L"Button", "&STRETCH");
        fullview = child(L"Button", "&FULLVIEW");
        copy = child(L"Button", "&COPY TO CLIPBOARD");
        exitButton = child(L"Button", "E &X I T");
        for (const ChildWindow& c : children)
            if (c.text.rfind("Picture-Info:", 0) == 0)
                info = c.handle;
        EXPECT_NE(info, nullptr);
    }

    // Clicks into a field and types over what it holds.
    void TypeInto(HWND field, const std::string& text) {
        Click(field);
        PostMessageW(field, EM_SETSEL, 0, -1); // typing replaces what is there
        Type(field, text);
        EXPECT_TRUE(WaitUntil([&] {
            return lstrcmpiA(ControlText(field).c_str(), text.c_str()) == 0;
        })) << text
            << ": the field holds " << ControlText(field);
    }

    // Clicks once and waits for the click's visible effect.
    bool ClickAndWait(HWND control, const std::function<bool()>& done) {
        Click(control);
        return WaitUntil(done, 8000 * kSlowdown);
    }

    // Opens the picture and shows it full screen: the view, shown and in
    // front, or null after a failure.
    HWND ShowFullView(const std::string& name) {
        Open(name);
        HWND view = FindWindowW(kFormClass, L"Form2");
        if (!WaitForTitle(name) || !view) {
            ADD_FAILURE() << name << " not opened";
            return nullptr;
        }
        const bool shown = ClickAndWait(
            fullview, [&] { return IsWindowVisible(view) && GetForegroundWindow() == view; });
        EXPECT_TRUE(shown) << "no full-screen view";
        return shown ? view : nullptr;
    }

    // Types a name into the name box and presses Enter, as a user opens a file.
    void Open(const std::string& name) {
        TypeInto(edit, name);
        Press(edit, VK_RETURN);
        // Enter opens the entry and then moves the focus to the list; a box
        // about the file comes before that.
        EXPECT_TRUE(WaitUntil([&] { return HasFocus(list) || program->FindBox(); })) << name;
    }

    // One picture of each library format, with its title and info line.
    void OpenEachLibraryFormat() {
        for (const Picture& p : kPictures) {
            SCOPED_TRACE(p.name);
            Open(p.name);
            EXPECT_TRUE(WaitForTitle(p.name)) << Narrow(Title());
            EXPECT_EQ(ControlText(info), p.info);
            EXPECT_EQ(program->FindBox(), nullptr);
        }
    }

    std::wstring Title() const { return TextW(window); }
    static std::wstring TitleOf(const std::string& name) {
        std::string upper = name;
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
        std::wstring wide(upper.begin(), upper.end());
        return L"Glimmora32 - [" + wide + L"]";
    }
    // False, with a screenshot of what was there, when the title does not come.
    bool WaitForTitle(const std::string& name) {
        if (WaitUntil([&] { return Title() == TitleOf(name); }))
            return true;
        Shot("failed-" + name);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        ADD_FAILURE() << "focus " << Narrow(ClassW(info.hwndFocus)) << " '"
                      << Narrow(TextW(info.hwndFocus)) << "', active "
                      << Narrow(TextW(info.hwndActive)) << ", foreground "
                      << Narrow(TextW(GetForegroundWindow())) << ", edit " << ControlText(edit);
        return false;
    }

    void Shot(const std::string& name) {
        Settle(window);
        Sleep(150); // let the other process paint
        EXPECT_TRUE(SaveScreen(kShots + "\\" + name + ".bmp")) << name;
    }

    // What the screen showed when a step went wrong.
    void TearDown() override {
        if (HasFailure() && window)
            Shot(std::string("failed-") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    // Copies the shown 227 x 149 photograph; this test is the other program
    // and pastes what was copied.
    void PasteWhatCopyCopies() {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
        ASSERT_TRUE(
            ClickAndWait(copy, [] { return IsClipboardFormatAvailable(CF_BITMAP) != FALSE; }));
        ASSERT_TRUE(OpenClipboard(nullptr));
        BITMAP bitmap{};
        HBITMAP handle = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        ASSERT_NE(handle, nullptr);
        ASSERT_NE(GetObjectW(handle, sizeof bitmap, &bitmap), 0);
        EXPECT_EQ(bitmap.bmWidth, 227);
        EXPECT_EQ(bitmap.bmHeight, 149);
        // The picture itself, not an empty sheet: the photograph has many colours.
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = 227;
        format.bmiHeader.biHeight = 149;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        std::vector<DWORD> pixels(227 * 149);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(GetDIBits(screen, handle, 0, 149, pixels.data(), &format, DIB_RGB_COLORS), 149);
        ReleaseDC(nullptr, screen);
        CloseClipboard();
        std::sort(pixels.begin(), pixels.end());
        EXPECT_GT(std::unique(pixels.begin(), pixels.end()) - pixels.begin(), 100);
    }

    // Escape closes the full-screen view: the browser is active again, with
    // the focus back in one of its controls.
    void LeaveFullView(HWND view) {
        Press(view, VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(view); }));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window && HasFocus(window); }));
    }

    void CloseProgram() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program->WaitForExit(), 0);
    }

    // Larger than the screen by a few pages (10 pixels) and lines (2 pixels).
    static constexpr Quarters kBig{1100, 850};
    SavedProgramKeys savedEntries;
    ScratchFolder install;
    ScratchFolder pictures;
    std::unique_ptr<RunningProgram> program;
    HWND window = nullptr, drives = nullptr, edit = nullptr, list = nullptr, stretch = nullptr,
         fullview = nullptr, copy = nullptr, exitButton = nullptr, info = nullptr;
};

std::vector<std::string> Sorted(std::vector<std::string> entries) {
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

TEST_F(UserWalk, BrowsesDrivesFoldersAndTypesAhead) {
    Start();
    const std::vector<std::string> folderEntries = Sorted(ListEntries(list));
    EXPECT_EQ(
        folderEntries,
        Sorted({"[.]", "[..]", "[Holiday]", "baseline_420_227x149.jpg", "basn2c08.png", "big.bmp",
                "broken.jpg", "drawing.emf", "drawing.wmf", "glimmora.ico", "notes.txt",
                "own_8bit_227x149.pcx", "photo_227x149.gif", "rgb8_lzw.tif", "rle8_227x149.bmp"}));
    Shot("01-start");

    // Type-ahead: each letter narrows the selection.
    TypeInto(edit, "b");
    EXPECT_TRUE(WaitUntil([&] { return ListSelection(list) == "baseline_420_227x149.jpg"; }));
    Type(edit, "ig");
    EXPECT_TRUE(WaitUntil([&] { return ListSelection(list) == "big.bmp"; })) << ListSelection(list);
    EXPECT_EQ(Title(), kNoname); // selecting is not opening

    // Into a folder and back up with Enter.
    Open("[h");
    EXPECT_TRUE(WaitUntil([&] { return Sorted(ListEntries(list)).size() == 3; }));
    EXPECT_EQ(Sorted(ListEntries(list)), Sorted({"[.]", "[..]", "beach.bmp"}));
    Open("[..");
    EXPECT_TRUE(WaitUntil([&] { return Sorted(ListEntries(list)) == folderEntries; }));

    // Drive Z: (the Unix root under Wine) from the drive box, then back to C:,
    // which shows the folder last shown there.
    const LRESULT driveCount = SendMessageW(drives, CB_GETCOUNT, 0, 0);
    ASSERT_GE(driveCount, 2);
    // The drive box takes the first and last drive with Home and End.
    auto chooseDrive = [&](WORD key, const std::string& drive) {
        Click(drives);
        Press(drives, VK_ESCAPE); // the list it dropped down goes up again
        Press(drives, key);
        EXPECT_TRUE(WaitUntil([&] { return ComboSelection(drives).substr(0, 2) == drive; }));
    };
    chooseDrive(VK_END, "Z:");
    EXPECT_TRUE(WaitUntil([&] {
        std::vector<std::string> entries = ListEntries(list);
        return std::find(entries.begin(), entries.end(), "[work]") != entries.end();
    })) << "Z:\\ lists the Unix root";
    Shot("02-drive-z");
    chooseDrive(VK_HOME, "C:");
    EXPECT_TRUE(WaitUntil([&] { return Sorted(ListEntries(list)) == folderEntries; }));
    EXPECT_EQ(program->FindBox(), nullptr);
    CloseProgram();
}

TEST_F(UserWalk, OpensEveryFormatAndStretchesThePreview) {
    Start();
    OpenEachLibraryFormat();
    // Metafiles and icons through the toolkit.
    Open("drawing.wmf");
    EXPECT_TRUE(WaitForTitle("drawing.wmf"));
    EXPECT_EQ(ControlText(info).substr(0, 15), "Picture-Info:  ");
    EXPECT_EQ(ControlText(info).substr(ControlText(info).size() - 4), "xN/A");
    Open("glimmora.ico");
    EXPECT_TRUE(WaitForTitle("glimmora.ico"));
    EXPECT_EQ(ControlText(info), "Picture-Info:  32x32xN/A");
    Shot("03-icon");
    // Files outside the offered set are selected but not opened.
    for (const char* name : {"basn2c08.png", "drawing.emf", "notes.txt"}) {
        Open(name);
        EXPECT_EQ(ListSelection(list), name);
        EXPECT_EQ(Title(), TitleOf("glimmora.ico"));
        EXPECT_EQ(program->FindBox(), nullptr);
    }
    Open("rle8");
    EXPECT_TRUE(WaitForTitle("rle8_227x149.bmp"));
    EXPECT_TRUE(IsWindowEnabled(stretch));
    Shot("04-preview-natural");

    // Stretched, the picture fills more of the preview; again, it is back.
    RECT frame;
    GetWindowRect(window, &frame);
    auto previewPixels = [&] {
        std::vector<COLORREF> pixels;
        for (int x = 240; x < 590; x += 7)
            pixels.push_back(ScreenPixel({frame.left + x, frame.top + 200}));
        return pixels;
    };
    std::vector<COLORREF> natural = previewPixels();
    WaitUntil([&] { // painted
        Sleep(100);
        return std::exchange(natural, previewPixels()) == natural;
    });
    EXPECT_TRUE(ClickAndWait(stretch, [&] { return previewPixels() != natural; }));
    Shot("05-preview-stretched");
    EXPECT_TRUE(ClickAndWait(stretch, [&] { return previewPixels() == natural; }));
    CloseProgram();
}

TEST_F(UserWalk, FullViewStepsThroughTheFolder) {
    Start();
    const HWND view = ShowFullView("photo_227x149.gif");
    ASSERT_NE(view, nullptr);
    RECT covered;
    GetWindowRect(view, &covered);
    EXPECT_EQ(covered.left, 0);
    EXPECT_EQ(covered.top, 0);
    EXPECT_EQ(covered.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(covered.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel({1, 1}) != 0; })) << "the picture is drawn";
    Shot("06-fullview");

    // "+" shows the next picture of the list, "-" the one before.
    const std::vector<std::string> entries = ListEntries(list);
    const auto at = std::find(entries.begin(), entries.end(), "photo_227x149.gif");
    ASSERT_NE(at, entries.end());
    // The keypad's keys: "+" on the main row needs Shift, and a key with
    // one modifier held closes the view.
    Press(view, VK_ADD);
    EXPECT_TRUE(WaitForTitle(*(at + 1))) << Narrow(Title());
    EXPECT_EQ(ListSelection(list), *(at + 1));
    Press(view, VK_SUBTRACT);
    EXPECT_TRUE(WaitForTitle("photo_227x149.gif")) << Narrow(Title());
    LeaveFullView(view);

    // The next picture opened from the browser is shown in its own size.
    ASSERT_EQ(ShowFullView("big.bmp"), view);
    RECT shown{};
    GetWindowRect(GetWindow(view, GW_CHILD), &shown);
    EXPECT_EQ(shown.right - shown.left, kBig.width);
    EXPECT_EQ(shown.bottom - shown.top, kBig.height);
    CloseProgram();
}

TEST_F(UserWalk, FullViewScrollsALargePictureToEveryEdge) {
    // A picture larger than the screen, scrolled to each edge by keys.
    Start();
    const HWND view = ShowFullView("big.bmp");
    ASSERT_NE(view, nullptr);
    Settle(view);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    auto expectCorner = [&](int x, int y, int pictureX, int pictureY, const char* where) {
        const COLORREF expected = Quarters::Colour(pictureX, pictureY, kBig.width, kBig.height);
        EXPECT_TRUE(WaitUntil(
            [&] {
                return ScreenPixel({x, y}) == expected;
            },
            5000))
            << where << ": " << ScreenPixel({x, y}) << " instead of " << expected;
    };
    expectCorner(1, 1, 1, 1, "top left");
    for (int i = 0; i < 20; ++i)
        Press(view, VK_END); // page by page to the right edge
    for (int i = 0; i < 20; ++i)
        Press(view, VK_NEXT); // and down to the bottom
    const int right = screenWidth - 1, bottom = screenHeight - 1;
    expectCorner(right, bottom, kBig.width - 1, kBig.height - 1, "bottom right, the border");
    expectCorner(right - 1, bottom - 1, kBig.width - 2, kBig.height - 2, "bottom right");
    Shot("07-fullview-bottom-right");
    for (int i = 0; i < 20; ++i)
        Press(view, VK_HOME);
    expectCorner(1, bottom - 1, 1, kBig.height - 2, "bottom left");
    for (int i = 0; i < 20; ++i)
        Press(view, VK_PRIOR);
    expectCorner(1, 1, 1, 1, "top left again");
    for (int i = 0; i < 60; ++i)
        Press(view, VK_RIGHT); // line by line: 60 lines are more than the width left
    Settle(view);
    expectCorner(right - 1, 1, kBig.width - 2, 1, "top right");
    for (int i = 0; i < 60; ++i)
        Press(view, VK_DOWN);
    expectCorner(right - 1, bottom - 1, kBig.width - 2, kBig.height - 2, "bottom right by lines");
    for (int i = 0; i < 60; ++i)
        Press(view, VK_UP);
    for (int i = 0; i < 60; ++i)
        Press(view, VK_LEFT);
    expectCorner(0, 0, 0, 0, "top left by lines");
    Shot("08-fullview-top-left");

    // A click closes the view.
    ClickAt({screenWidth / 2, screenHeight / 2});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(view); }));
    EXPECT_EQ(Title(), TitleOf("big.bmp"));
    CloseProgram();
}

TEST_F(UserWalk, CopiesThePictureForAnotherProgram) {
    Start();
    EXPECT_FALSE(IsWindowEnabled(copy));
    Open("photo_227x149.gif");
    ASSERT_TRUE(WaitForTitle("photo_227x149.gif"));
    PasteWhatCopyCopies();
    CloseProgram();
}

TEST_F(UserWalk, DeletesToTheRecycleBinAndRenames) {
    const std::string victim = "victim-" + std::to_string(GetTickCount()) + ".bmp";
    pictures.AddFile(victim, FILE_ATTRIBUTE_NORMAL, SmallBitmap());
    Start();
    Open(victim);
    ASSERT_TRUE(WaitForTitle(victim));
    ASSERT_EQ(ListSelection(list), victim);
    // Enter left the focus in the list: Delete there, and the shell asks.
    Press(list, VK_DELETE);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        question = GetForegroundWindow();
        return ClassW(question) == L"#32770";
    })) << "no confirmation";
    Shot("09-delete-question");
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(pictures.File(victim)); }));
    EXPECT_TRUE(WaitUntil([&] {
        std::vector<std::string> entries = ListEntries(list);
        return std::find(entries.begin(), entries.end(), victim) == entries.end();
    }));
    char xdg[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("XDG_DATA_HOME", xdg, MAX_PATH), 0u);
    EXPECT_TRUE(FileExists(WindowsPath(std::string(xdg) + "/Trash/files/" + victim)));

    Open("basn2c08.png"); // selected, not opened
    ASSERT_EQ(ListSelection(list), "basn2c08.png");
    const LRESULT renamedAt = SendMessageW(list, LB_GETCURSEL, 0, 0);
    Press(list, VK_INSERT);
    HWND box = program->WaitForWindow(kDialogClass, L"Rename File");
    ASSERT_NE(box, nullptr);
    const ChildWindow* field = FindChild(Children(box), L"Edit");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(ControlText(field->handle), "basn2c08.png");
    Shot("10-rename");
    TypeInto(field->handle, "renamed.png");
    Press(field->handle, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(pictures.File("renamed.png")); }));
    EXPECT_FALSE(FileExists(pictures.File("basn2c08.png")));
    // The list is read again and the same position selected.
    EXPECT_TRUE(WaitUntil([&] {
        std::vector<std::string> entries = ListEntries(list);
        return std::find(entries.begin(), entries.end(), "renamed.png") != entries.end();
    }));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), renamedAt);
    EXPECT_EQ(program->FindBox(), nullptr);
    CloseProgram();
}

TEST_F(UserWalk, ABrokenFileIsReportedAndTheNextOneOpens) {
    Start();
    // Typed ahead, Tab into the list and Enter there.
    TypeInto(edit, "broken");
    Press(edit, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return HasFocus(list); }));
    Press(list, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return program->FindBox() != nullptr; })) << "no report";
    Shot("11-broken-file");
    EXPECT_EQ(program->DismissBoxes(window), "BROKEN.JPG is not a valid Bitmapfile !");
    EXPECT_EQ(Title(), kNoname);
    EXPECT_EQ(ControlText(info), "Picture-Info:");
    EXPECT_TRUE(IsWindowEnabled(exitButton));
    // The next key reaches the browser: active again, the focus in the list.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window && HasFocus(list); }));

    // Stepping onto it in the full-screen view leaves the view in front.
    const HWND view = ShowFullView("big.bmp");
    ASSERT_NE(view, nullptr);
    Press(view, VK_ADD);
    EXPECT_EQ(program->DismissBoxes(window), "BROKEN.JPG is not a valid Bitmapfile !");
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == view; }));
    Press(view, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(view); }));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window && HasFocus(list); }));
    Open("rgb8_lzw.tif");
    EXPECT_TRUE(WaitForTitle("rgb8_lzw.tif"));
    // EXIT ends the program.
    EXPECT_TRUE(ClickAndWait(exitButton, [&] { return program->Ended(); }));
    EXPECT_EQ(program->WaitForExit(), 0);
}

TEST_F(UserWalk, StartsWithAPictureFromTheShell) {
    Start(Quoted(pictures.File("own_8bit_227x149.pcx")), TitleOf("own_8bit_227x149.pcx").c_str());
    EXPECT_EQ(ListSelection(list), "own_8bit_227x149.pcx");
    EXPECT_EQ(ControlText(info), "Picture-Info:  227x149x256");
    Shot("12-started-with-picture");
    CloseProgram();
}

namespace {

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

// Short scenarios, one program start each: a start with a picture through
// every format, full view and copy; -u answered Yes; and what the 32-bit
// build's limits show (scripts/test-win32.sh runs it emulated).
class ShortWalk : public UserWalk {
protected:
    ShortWalk() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPathsKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "Glimmora32");
    }
    SavedFile savedWinHelp{WindowsFolder() + "\\WINHELP.INI"};
};

} // namespace

TEST_F(ShortWalk, StartsWithAPictureShowsEachFormatFullViewAndCopies) {
    Start(Quoted(pictures.File("own_8bit_227x149.pcx")), TitleOf("own_8bit_227x149.pcx").c_str());
    EXPECT_EQ(ListSelection(list), "own_8bit_227x149.pcx");
    EXPECT_EQ(ControlText(info), "Picture-Info:  227x149x256");

    // Registered at start with the folder it was installed to.
    const std::string exe = install.File("GLIMR32.EXE");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey), exe);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path"), install.Path());
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Glimmora 1.1b -32");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), exe + " -u");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Glimmora32\\shell\\open\\command"), exe + " %1");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "Glimmora32\\EXEPath"), install.Path());

    OpenEachLibraryFormat();
    // The browser offers no PNG files: the library's PNG reader is walked
    // through the corpus test.
    Open("basn2c08.png");
    EXPECT_EQ(ListSelection(list), "basn2c08.png");
    EXPECT_EQ(Title(), TitleOf(kPictures[std::size(kPictures) - 1].name));

    const HWND view = ShowFullView("photo_227x149.gif");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel({1, 1}) != 0; })) << "the picture is drawn";
    Shot("32-fullview");
    LeaveFullView(view);
    EXPECT_EQ(Title(), TitleOf("photo_227x149.gif"));

    PasteWhatCopyCopies();
    CloseProgram();
}

TEST_F(ShortWalk, MinusUAnsweredYesLeavesTheUninstallerToRemoveTheFolder) {
    const std::string uninstaller = WindowsFolder() + "\\GLUNINST.EXE";
    const std::string log = WindowsFolder() + "\\GLUNINST.LOG";
    ASSERT_TRUE(CopyFileA((kRelease + "\\GLUNINST.EXE").c_str(), uninstaller.c_str(), FALSE));
    program =
        std::make_unique<RunningProgram>("-u", install.Path(), -1, install.File("GLIMR32.EXE"));
    ASSERT_TRUE(program->Started());
    const HWND question = program->WaitForWindow(kDialogClass, L"Best\u00e4tigen", kStartPatience);
    ASSERT_NE(question, nullptr) << "no question";
    ASSERT_TRUE(RunningProgram::Answer(question, "&Ja"));
    const HWND handOver = program->WaitForWindow(kDialogClass, L"Information");
    ASSERT_NE(handOver, nullptr) << "no hand-over message";
    EXPECT_TRUE(FileExists(install.File("GLIMR32.EXE")));
    ASSERT_TRUE(RunningProgram::Answer(handOver, "OK"));
    EXPECT_EQ(program->WaitForExit(), 0);

    // GLUNINST.EXE deletes the files, the folder and its log last.
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(log); })) << "the log is still there";
    EXPECT_EQ(GetFileAttributesA(install.Path().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kAppPathsKey), "<missing>");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "<missing>");
    DeleteFileA(uninstaller.c_str());
}

// What only the 32-bit build shows: its library's limit of 2^26 pixels.
TEST_F(ShortWalk, RefusesAPictureOverThePixelLimitAndShowsOneUnderIt) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "the 64-bit library's limit is 2^28 pixels";
    pictures.AddFile("over.bmp", FILE_ATTRIBUTE_NORMAL, WhiteMonochromeBitmap(8193, 8192));
    pictures.AddFile("under.bmp", FILE_ATTRIBUTE_NORMAL, WhiteMonochromeBitmap(8192, 8191));
    Start();
    Open("over.bmp");
    // The library's own text, then the program's failure box.
    EXPECT_TRUE(WaitUntil([&] {
        const HWND box = program->FindBox();
        return box && FindChild(Children(box), L"Static",
                                "The picture is too large (more than 32767 pixels on a side or "
                                "too many pixels).") != nullptr;
    })) << "no box with the library's text";
    EXPECT_EQ(program->DismissBoxes(window), "OVER.BMP is not a valid Bitmapfile !");
    EXPECT_EQ(Title(), kNoname);

    Open("under.bmp");
    EXPECT_TRUE(WaitForTitle("under.bmp"));
    EXPECT_EQ(ControlText(info), "Picture-Info:  8192x8191x2");
    EXPECT_EQ(program->FindBox(), nullptr);
    CloseProgram();
}

// A photograph's size, shown in both windows within the 32-bit address space.
TEST_F(ShortWalk, ShowsATwelveMegapixelPictureInBothWindows) {
    constexpr Quarters kLarge{4000, 3000};
    pictures.AddFile("large.bmp", FILE_ATTRIBUTE_NORMAL, kLarge.Bytes());
    Start();
    const HWND view = ShowFullView("large.bmp");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(ControlText(info), "Picture-Info:  4000x3000x16M");
    const COLORREF topLeft = Quarters::Colour(1, 1, kLarge.width, kLarge.height);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel({1, 1}) == topLeft; })) << ScreenPixel({1, 1});
    Shot("33-fullview-12-megapixels");
    LeaveFullView(view);
    EXPECT_EQ(program->FindBox(), nullptr);
    CloseProgram();
}
