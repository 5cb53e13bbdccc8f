// The file list of Form1 and its link to the name box, in scratch folders.
#include "BrowserFixture.h"

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

#include <algorithm>
#include <map>

using namespace glimtest;
using browser::GlyphKind;
using browser::TForm1;

namespace {

std::vector<std::string> Entries(const browser::TFileListBox& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.Count(); ++i)
        entries.push_back(list.Item(i));
    return entries;
}

int IndexOf(const browser::TFileListBox& list, const std::string& text) {
    return static_cast<int>(SendMessageA(list.Handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str())));
}

// The order the system's own sorted list box gives these texts.
std::vector<std::string> SystemSorted(std::vector<std::string> texts) {
    std::reverse(texts.begin(), texts.end());
    HWND box = CreateWindowExA(0, "LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
    for (const std::string& text : texts)
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    std::vector<std::string> sorted;
    for (size_t i = 0; i < texts.size(); ++i) {
        char text[MAX_PATH] = {};
        SendMessageA(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        sorted.push_back(text);
    }
    DestroyWindow(box);
    return sorted;
}

std::string NumberedName(char first, int number) {
    char name[32];
    wsprintfA(name, "%c%04d.txt", first, number);
    return name;
}

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::vector<toolkit::TCursor> cursorsSeen;
WNDPROC listProc = nullptr;

// Notes the screen cursor each time the list gets an entry.
LRESULT CALLBACK WatchCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_ADDSTRING)
        cursorsSeen.push_back(toolkit::Application().ScreenCursor());
    return CallWindowProcA(listProc, window, message, wParam, lParam);
}

// The folder of the edge cases: a sub-folder, pictures, a program, a hidden
// and a system file.
class FileList : public BrowserTest {
protected:
    FileList() {
        scratch.AddFolder("SUB");
        scratch.AddFile("Sunset.bmp");
        scratch.AddFile("readme.txt");
        scratch.AddFile("SETUP.EXE");
        scratch.AddFile("h.jpg", FILE_ATTRIBUTE_HIDDEN);
        scratch.AddFile("sys.bmp", FILE_ATTRIBUTE_SYSTEM);
        sub = scratch.File("SUB");
    }
    browser::TFileListBox& List() { return *form->FileListBox1; }
    std::string NameBox() { return form->Edit1->Text(); }

    std::string sub;
    ScratchFolder other;
};

} // namespace

TEST_F(FileList, ListsFoldersAndFilesInTheSystemOrderWithTheirGlyphs) {
    OpenForm(scratch.Path());
    const std::map<std::string, GlyphKind> expected = {
        {"[.]", GlyphKind::ClosedFolder},       {"[..]", GlyphKind::ClosedFolder},
        {"[SUB]", GlyphKind::ClosedFolder},     {"SETUP.EXE", GlyphKind::Executable},
        {"Sunset.bmp", GlyphKind::UnknownFile}, {"readme.txt", GlyphKind::UnknownFile},
        {"h.jpg", GlyphKind::UnknownFile},
    };
    std::vector<std::string> texts;
    for (const auto& [text, glyph] : expected)
        texts.push_back(text);
    std::vector<std::string> entries = Entries(List());
    EXPECT_EQ(entries, SystemSorted(texts));
    for (int i = 0; i < List().Count(); ++i) {
        auto it = expected.find(List().Item(i));
        ASSERT_NE(it, expected.end()) << List().Item(i);
        EXPECT_EQ(List().ItemGlyph(i), it->second) << it->first;
    }
    // Folders first; files without regard to letter case.
    ASSERT_EQ(entries.size(), 7u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(entries[i].front(), '[') << entries[i];
    EXPECT_EQ(std::vector<std::string>(entries.begin() + 3, entries.end()),
              (std::vector<std::string>{"h.jpg", "readme.txt", "SETUP.EXE", "Sunset.bmp"}));
}

TEST_F(FileList, ProgramGlyphGoesByTheLastExtensionInAnyCase) {
    for (const char* name : {"a.com", "b.Bat", "c.PIF", "d.exe.txt", "e.exes", "noext", "f.exe"})
        other.AddFile(name);
    other.AddFile("ro.txt", FILE_ATTRIBUTE_READONLY);
    other.AddFile("arc.txt", FILE_ATTRIBUTE_ARCHIVE);
    CreateDirectoryA(other.File("hidden").c_str(), nullptr);
    SetFileAttributesA(other.File("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA(other.File("sysdir").c_str(), nullptr);
    SetFileAttributesA(other.File("sysdir").c_str(), FILE_ATTRIBUTE_SYSTEM);
    OpenForm(other.Path());
    std::map<std::string, GlyphKind> glyphs;
    for (int i = 0; i < List().Count(); ++i)
        glyphs[List().Item(i)] = List().ItemGlyph(i);
    const std::map<std::string, GlyphKind> expected = {
        {"[.]", GlyphKind::ClosedFolder},      {"[..]", GlyphKind::ClosedFolder},
        {"[hidden]", GlyphKind::ClosedFolder}, {"a.com", GlyphKind::Executable},
        {"b.Bat", GlyphKind::Executable},      {"c.PIF", GlyphKind::Executable},
        {"f.exe", GlyphKind::Executable},      {"d.exe.txt", GlyphKind::UnknownFile},
        {"e.exes", GlyphKind::UnknownFile},    {"noext", GlyphKind::UnknownFile},
        {"ro.txt", GlyphKind::UnknownFile},    {"arc.txt", GlyphKind::UnknownFile},
    };
    EXPECT_EQ(glyphs, expected);
}

TEST_F(FileList, DriveRootHasNoDotEntries) {
    OpenForm(scratch.Path());
    List().ApplyPath(scratch.Path().substr(0, 2) + "\\");
    EXPECT_EQ(List().ShownFolder(), scratch.Path().substr(0, 3));
    std::vector<std::string> entries = Entries(List());
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "[.]"), 0);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "[..]"), 0);
    // No second backslash after the root's.
    List().SetItemIndex(0);
    EXPECT_EQ(List().SelectedPath(), scratch.Path().substr(0, 3) + entries[0]);
}

TEST_F(FileList, ApplyPathEntersAndLeavesFolders) {
    scratch.AddFile("SUB\\inner.txt");
    OpenForm(scratch.Path());

    List().ApplyPath("[SUB]");
    EXPECT_EQ(List().ShownFolder(), sub);
    EXPECT_EQ(CurrentFolder(), sub);
    EXPECT_EQ(Entries(List()), SystemSorted({"[.]", "[..]", "inner.txt"}));
    EXPECT_EQ(NameBox(), "*.*");

    List().ApplyPath("[..]");
    EXPECT_EQ(List().ShownFolder(), scratch.Path());
    EXPECT_EQ(List().Count(), 7);

    List().ApplyPath(sub + "\\");
    EXPECT_EQ(List().ShownFolder(), sub);
    List().ApplyPath(Upper(scratch.Path()) + "\\");
    EXPECT_TRUE(lstrcmpiA(List().ShownFolder().c_str(), scratch.Path().c_str()) == 0)
        << List().ShownFolder();
}

TEST_F(FileList, SameFolderLeavesTheListAsItIs) {
    OpenForm(scratch.Path());
    List().SetItemIndex(3);
    scratch.AddFile("new.txt");
    List().ApplyPath("[.]");
    List().ApplyPath(scratch.Path() + "\\");
    List().ApplyPath(Upper(scratch.Path()) + "\\");
    EXPECT_EQ(List().ItemIndex(), 3);
    EXPECT_EQ(IndexOf(List(), "new.txt"), LB_ERR) << "the folder was not read again";
}

TEST_F(FileList, TextEqualToTheSelectedPathDoesNothing) {
    OpenForm(scratch.Path());
    int index = IndexOf(List(), "[SUB]");
    List().SetItemIndex(index);
    ASSERT_EQ(List().SelectedPath(), scratch.Path() + "\\[SUB]");
    std::string lower = List().SelectedPath();
    CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    EXPECT_NO_THROW(List().ApplyPath(List().SelectedPath()));
    EXPECT_NO_THROW(List().ApplyPath(lower));
    EXPECT_EQ(List().ShownFolder(), scratch.Path());
    EXPECT_EQ(List().ItemIndex(), index);
    List().SetItemIndex(-1);
    EXPECT_EQ(List().SelectedPath(), "");
    EXPECT_EQ(List().SelectedName(), "");
    EXPECT_NO_THROW(List().ApplyPath(""));
    EXPECT_EQ(List().ShownFolder(), scratch.Path());
}

TEST_F(FileList, DriveLetterShowsTheFolderLastShownOnThatDrive) {
    OpenForm(scratch.Path());
    const char drive = scratch.Path()[0];
    char other = drive == 'Z' ? 'C' : 'Z';
    List().ApplyPath("[SUB]");
    List().ApplyPath(std::string(1, other) + ":\\");
    EXPECT_EQ(List().ShownFolder(), std::string(1, other) + ":\\");

    char lowerDrive = static_cast<char>(drive - 'A' + 'a');
    List().ApplyPath(std::string(1, lowerDrive) + ":");
    EXPECT_EQ(List().ShownFolder(), sub);
    EXPECT_EQ(NameBox(), "*.*");
    List().ApplyPath(std::string(1, other) + ":");
    EXPECT_EQ(List().ShownFolder(), std::string(1, other) + ":\\");
    EXPECT_EQ(browser::DriveCurrentFolder(drive), sub);
}

TEST_F(FileList, FolderThatCannotBeEnteredRaisesAndKeepsTheList) {
    OpenForm(scratch.Path());
    List().SetItemIndex(2);
    std::vector<std::string> before = Entries(List());
    EXPECT_THROW(List().ApplyPath("[GONE]"), toolkit::EInOutError);
    EXPECT_THROW(List().ApplyPath(scratch.File("GONE") + "\\"), toolkit::EInOutError);
    EXPECT_EQ(List().ShownFolder(), scratch.Path());
    EXPECT_EQ(Entries(List()), before);
    EXPECT_EQ(List().ItemIndex(), 2);

    // The shown folder removed behind the list's back.
    List().ApplyPath("[SUB]");
    before = Entries(List());
    SetCurrentDirectoryA(scratch.Path().c_str());
    ASSERT_TRUE(RemoveDirectoryA(sub.c_str()));
    EXPECT_THROW(List().Refill(), toolkit::EInOutError);
    EXPECT_EQ(List().ShownFolder(), sub);
    EXPECT_EQ(Entries(List()), before);
}

TEST_F(FileList, RefillReadsAgainAndClearsTheSelection) {
    OpenForm(scratch.Path());
    List().SetItemIndex(4);
    scratch.AddFile("later.txt");
    form->Edit1->SetText("SOMETHING");
    List().Refill();
    EXPECT_EQ(List().ItemIndex(), -1);
    EXPECT_EQ(NameBox(), "*.*");
    EXPECT_NE(IndexOf(List(), "later.txt"), LB_ERR);
    EXPECT_EQ(form->Edit1->Selection(), std::make_pair(0, 3));
}

TEST_F(FileList, SelectingAnEntryWritesItsNameUpperCasedAndHighlighted) {
    other.AddFile("a.txt");
    other.AddFile("\xfc"
                  "bung.txt"); // u-umlaut in code page 1252
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    HWND list = List().Handle();
    List().SetFocus();
    List().SetItemIndex(IndexOf(List(), "[SUB]") - 1);
    PressKey(list, VK_DOWN);
    EXPECT_EQ(List().SelectedName(), "[SUB]");
    EXPECT_EQ(NameBox(), "[SUB]");
    EXPECT_EQ(f.Edit1->Selection(), std::make_pair(0, 5));

    List().SetItemIndex(IndexOf(List(), "Sunset.bmp") - 1);
    PressKey(list, VK_DOWN);
    EXPECT_EQ(List().SelectedName(), "Sunset.bmp");
    EXPECT_EQ(NameBox(), "SUNSET.BMP");
    EXPECT_EQ(f.Edit1->Selection(), std::make_pair(0, 10));

    // Letters beyond ASCII too, in the system's code page.
    List().ApplyPath(other.Path() + "\\");
    List().SetItemIndex(IndexOf(List(), "\xfc"
                                        "bung.txt") -
                        1);
    PressKey(list, VK_DOWN);
    EXPECT_EQ(NameBox(), "\xdc"
                         "BUNG.TXT");

    PressKey(list, VK_HOME);
    EXPECT_EQ(List().ItemIndex(), 0);
    EXPECT_EQ(NameBox(), List().Item(0));
}

TEST_F(FileList, NameBoxFollowsOnlyASelectionAtANewIndex) {
    TForm1& f = OpenForm(scratch.Path());
    HWND list = List().Handle();
    int readme = IndexOf(List(), "readme.txt");
    List().SetItemIndex(readme - 1);
    PressKey(list, VK_DOWN);
    ASSERT_EQ(NameBox(), "README.TXT");

    // The user types over it; the same entry reported again changes nothing.
    f.Edit1->SetText("MINE");
    SendMessageA(f.Panel6->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(NameBox(), "MINE");

    PressKey(list, VK_DOWN);
    EXPECT_EQ(NameBox(), Upper(List().Item(readme + 1)));

    // Setting the index from the program tells nobody.
    List().SetItemIndex(0);
    EXPECT_EQ(NameBox(), Upper(List().Item(readme + 1)));
}

TEST_F(FileList, HourglassOnceAHundredEntriesAreFoundUntilTheEnd) {
    ScratchFolder many;
    for (int i = 0; i < 150; ++i)
        many.AddFile(NumberedName('f', i));
    ScratchFolder hundred; // [.], [..] and 98 files: positions 0 to 99
    for (int i = 0; i < 98; ++i)
        hundred.AddFile(NumberedName('g', i));
    OpenForm(scratch.Path());

    // Watch the screen cursor while each entry is added.
    std::vector<toolkit::TCursor>& seen = cursorsSeen;
    seen.clear();
    HWND list = List().Handle();
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchCursor)));

    List().ApplyPath(many.Path() + "\\");
    ASSERT_EQ(seen.size(), 152u);
    // Already while the folder was searched, before the first entry was added.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), toolkit::TCursor::crHourGlass), 152);
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crDefault);

    // The pointer in force before comes back, whatever it was.
    toolkit::Application().SetScreenCursor(toolkit::TCursor::crNone);
    List().Refill();
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crNone);

    seen.clear();
    toolkit::Application().SetScreenCursor(toolkit::TCursor::crDefault);
    List().ApplyPath(hundred.Path() + "\\");
    ASSERT_EQ(seen.size(), 100u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), toolkit::TCursor::crHourGlass), 0);
    EXPECT_EQ(toolkit::Application().ScreenCursor(), toolkit::TCursor::crDefault);

    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
    SetCurrentDirectoryA(folderGuard.Saved().c_str());
    CloseForm();
}
