// The browser's handlers on the drive box, the name box and the file list.
#include "BrowserFixture.h"

#include "fullscreen/Unit2.h"
#include "toolkit/Application.h"
#include "toolkit/Errors.h"
#include "shell/AnsiNames.h"
#include "shell/FileHandle.h"
#include "shell/Paths.h"

using namespace glimtest;

namespace {

std::vector<std::string> deletedLists;
int deleteResult = 0;

int FakeDelete(HWND, const std::string& pathList) {
    deletedLists.push_back(pathList);
    if (deleteResult == 0) {
        std::string path = pathList.substr(0, pathList.find('\0'));
        DeleteFileA(path.c_str());
    }
    return deleteResult;
}

std::vector<std::string> queriedRoots;
bool QueryFails(const std::string& root) {
    queriedRoots.push_back(root);
    return root != "Q:\\";
}

class Browsing : public BrowserTest {
protected:
    void SetUp() override {
        deletedLists.clear();
        deleteResult = 0;
        browser::SetFileDeleter(FakeDelete);
        OpenForm(scratch.Path());
        OpenFullView();
        form->Show();
        ProcessPending();
    }
    void TearDown() override {
        browser::SetFileDeleter(nullptr);
        browser::SetDriveQuery(nullptr);
        BrowserTest::TearDown();
    }
    // The window created anew on the process's current folder, as at a start.
    void ReopenOnCurrentFolder() {
        CloseForm();
        form = std::make_unique<browser::TForm1>();
        browser::Form1 = form.get();
        OpenFullView();
        form->Show();
        ProcessPending();
    }
    void Fill(const std::vector<std::string>& files) {
        for (const std::string& f : files)
            scratch.AddFile(f);
        form->FileListBox1->Refill();
    }
    void TypeInNameBox(const std::string& text) {
        HWND edit = form->Edit1->Handle();
        form->Edit1->SetFocus();
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (char c : text) {
            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
            PostMessageA(edit, WM_KEYUP, 'A', 0xC0000001);
        }
        ProcessPending();
    }
};

} // namespace

TEST_F(Browsing, TypingSelectsAheadButLeavesTheTypedText) {
    Fill({"apple.bmp", "pear.gif", "plum.jpg"});
    TypeInNameBox("P");
    EXPECT_EQ(form->FileListBox1->ItemIndex(), EntryIndex("pear.gif"));
    TypeInNameBox("PL");
    EXPECT_EQ(form->FileListBox1->ItemIndex(), EntryIndex("plum.jpg"));
    EXPECT_EQ(form->Edit1->Text(), "PL");
    TypeInNameBox("B");
    EXPECT_EQ(form->FileListBox1->ItemIndex(), 0); // the first folder entry
    EXPECT_FALSE(form->NameTyped());
}

TEST_F(Browsing, TextTheListWritesStartsNoTypeAhead) {
    Fill({"apple.bmp", "pear.gif"});
    form->FileListBox1->SetItemIndex(EntryIndex("pear.gif"));
    form->Edit1->SetText("A"); // as the list writes it: not typed
    EXPECT_EQ(form->FileListBox1->ItemIndex(), EntryIndex("pear.gif"));
}

TEST_F(Browsing, EnterChainMovesFocusAndOpensTheSelection) {
    scratch.AddFolder("SUB");
    form->FileListBox1->Refill();
    form->DriveComboBox1->SetFocus();
    SendMessageA(form->DriveComboBox1->Handle(), WM_CHAR, '\r', 1);
    EXPECT_EQ(FocusedName(), "Edit1");
    form->FileListBox1->SetItemIndex(EntryIndex("[SUB]"));
    SendMessageA(form->Edit1->Handle(), WM_CHAR, '\r', 1);
    EXPECT_EQ(FocusedName(), "FileListBox1");
    EXPECT_EQ(form->FileListBox1->ShownFolder(), scratch.File("SUB"));
    EXPECT_EQ(form->Edit1->Text(), "*.*");
    EXPECT_EQ(WindowText(form->Label2->Handle()).empty(), false);
}

TEST_F(Browsing, OpeningFoldersParentsPicturesAndOtherFiles) {
    std::string sub = scratch.AddFolder("SUB");
    CopyFileA(
        (std::string("Z:") + GLIMMORA_CORPUS_DIR + "\\generated\\bmp\\pal8_227x149.bmp").c_str(),
        (sub + "\\pic.bmp").c_str(), FALSE);
    scratch.AddFile("notes.txt");
    form->FileListBox1->Refill();
    form->FileListBox1->SetItemIndex(EntryIndex("notes.txt"));
    form->OpenSelectedEntry();
    EXPECT_EQ(toolkit::Application().Title(), "Glimmora32 - [Noname]");
    EXPECT_EQ(form->FileListBox1->ShownFolder(), scratch.Path());

    form->FileListBox1->SetItemIndex(EntryIndex("[SUB]"));
    SendMessageA(form->FileListBox1->Handle(), WM_CHAR, '\r', 1);
    EXPECT_EQ(form->FileListBox1->ShownFolder(), sub);
    form->FileListBox1->SetItemIndex(EntryIndex("pic.bmp"));
    form->OpenSelectedEntry();
    EXPECT_EQ(toolkit::Application().Title(), "Glimmora32 - [PIC.BMP]");
    form->FileListBox1->SetItemIndex(EntryIndex("[..]"));
    form->OpenSelectedEntry();
    EXPECT_EQ(form->FileListBox1->ShownFolder(), scratch.Path());
}

TEST_F(Browsing, AVanishedFileReachesTheGeneralErrorReport) {
    Fill({"gone.bmp"});
    form->FileListBox1->SetItemIndex(EntryIndex("gone.bmp"));
    DeleteFileA(scratch.File("gone.bmp").c_str());
    // Through the list's window, as a double click arrives.
    SendMessageA(form->Panel6->Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(form->FileListBox1->Handle()));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, toolkit::Application().Title());
    EXPECT_EQ(dialogs[0].text.rfind("E/A-Fehler", 0), 0u) << dialogs[0].text;
    EXPECT_EQ(dialogs[0].text.back(), '.');
    EXPECT_EQ(form->FileListBox1->ShownFolder(), scratch.Path());
}

TEST_F(Browsing, DeleteGoesThroughTheShellAndReselects) {
    Fill({"a.bmp", "b.bmp", "c.bmp"});
    HWND list = form->FileListBox1->Handle();
    form->FileListBox1->SetItemIndex(EntryIndex("b.bmp"));
    SendMessageA(list, WM_KEYDOWN, VK_DELETE, 1);
    ASSERT_EQ(deletedLists.size(), 1u);
    EXPECT_EQ(deletedLists[0], scratch.File("b.bmp") + std::string(1, '\0'));
    EXPECT_EQ(deletedLists[0].c_str()[deletedLists[0].size()], '\0'); // ends in two zeros
    EXPECT_EQ(form->FileListBox1->SelectedName(), "c.bmp");           // the entry that followed
    EXPECT_EQ(form->Edit1->Text(), "*.*");

    SendMessageA(list, WM_KEYDOWN, VK_DELETE, 1); // the last entry
    EXPECT_EQ(form->FileListBox1->SelectedName(), "a.bmp");

    deleteResult = 5;
    SendMessageA(list, WM_KEYDOWN, VK_DELETE, 1);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, "Warnung");
    EXPECT_EQ(dialogs[0].text, "Error occured while deleting file !");
    EXPECT_TRUE(FileExists(scratch.File("a.bmp")));

    form->FileListBox1->SetItemIndex(EntryIndex("[..]"));
    SendMessageA(list, WM_KEYDOWN, VK_DELETE, 1);
    SendMessageA(list, WM_KEYDOWN, VK_INSERT, 1);
    EXPECT_EQ(deletedLists.size(), 3u);
    EXPECT_EQ(dialogs.size(), 1u);
}

TEST_F(Browsing, RenameMovesAndNeverOverwrites) {
    Fill({"photo.bmp", "taken.bmp"});
    std::string sub = scratch.AddFolder("SUB");
    form->FileListBox1->Refill();
    HWND list = form->FileListBox1->Handle();
    std::vector<std::string> answers = {"SUB\\photo.bmp"};
    toolkit::SetDialogHook([&](toolkit::DialogRecord& box) {
        dialogs.push_back(box);
        if (box.isInput) {
            if (answers.empty())
                return static_cast<int>(toolkit::mrCancel);
            box.value = answers.front();
            answers.erase(answers.begin());
        }
        return static_cast<int>(toolkit::mrOk);
    });
    form->FileListBox1->SetItemIndex(EntryIndex("photo.bmp"));
    SendMessageA(list, WM_KEYDOWN, VK_INSERT, 1);
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs[0].title, "Rename File");
    EXPECT_EQ(dialogs[0].text, "New Name:");
    EXPECT_EQ(dialogs[0].value, "photo.bmp");
    EXPECT_TRUE(FileExists(sub + "\\photo.bmp"));
    EXPECT_EQ(EntryIndex("photo.bmp"), -1);

    dialogs.clear();
    answers = {"SUB"}; // a folder of that name exists
    form->FileListBox1->SetItemIndex(EntryIndex("taken.bmp"));
    SendMessageA(list, WM_KEYDOWN, VK_INSERT, 1);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[1].text, "Error occured while renaming file !");
    EXPECT_TRUE(FileExists(scratch.File("taken.bmp")));

    dialogs.clear(); // cancelled: nothing happens
    SendMessageA(list, WM_KEYDOWN, VK_INSERT, 1);
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(FileExists(scratch.File("taken.bmp")));
}

TEST_F(Browsing, AnUnreadableDriveReturnsToTheSavedDrive) {
    queriedRoots.clear();
    browser::SetDriveQuery(QueryFails);
    char saved = browser::SavedDrive();
    form->DriveComboBox1->SelectDrive('Q');
    ASSERT_GE(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, "Warnung");
    EXPECT_EQ(dialogs[0].text, "Access Error on Drive Q: !");
    EXPECT_EQ(form->DriveComboBox1->Drive(), saved);
    EXPECT_EQ(browser::SavedDrive(), saved);
    ASSERT_EQ(queriedRoots.size(), 2u);
    EXPECT_EQ(queriedRoots[0], "Q:\\");
    EXPECT_EQ(queriedRoots[1], std::string(1, saved) + ":\\");
    EXPECT_EQ(form->FileListBox1->ShownFolder(), scratch.Path());
}

TEST_F(Browsing, ADriveWhoseRememberedFolderIsGoneOrCannotBeEnteredShowsItsRoot) {
    scratch.AddFolder("GONE");
    form->FileListBox1->ApplyPath("[GONE]");
    const char drive = form->DriveComboBox1->Drive();
    const char other = drive == 'Z' ? 'C' : 'Z';
    form->DriveComboBox1->SelectDrive(other);
    ASSERT_TRUE(RemoveDirectoryA(scratch.File("GONE").c_str()));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_NO_THROW(form->DriveComboBox1->SelectDrive(drive));
        EXPECT_EQ(form->FileListBox1->ShownFolder(), std::string(1, drive) + ":\\");
        EXPECT_EQ(WindowText(form->Label2->Handle()), form->FileListBox1->ShownFolder());
        EXPECT_EQ(browser::SavedDrive(), drive);
        form->DriveComboBox1->SelectDrive(other);
        EXPECT_EQ(form->FileListBox1->ShownFolder()[0], other);
    }
    EXPECT_TRUE(dialogs.empty());
    // Still there, but it can no longer be entered (held here without sharing,
    // as a folder whose access was withdrawn).
    const std::string held = scratch.AddFolder("HELD");
    form->DriveComboBox1->SelectDrive(drive);
    form->FileListBox1->ApplyPath(held + "\\");
    form->DriveComboBox1->SelectDrive(other);
    {
        const shell::FileHandle holder(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                                   nullptr));
        ASSERT_TRUE(holder);
        EXPECT_NO_THROW(form->DriveComboBox1->SelectDrive(drive));
    }
    EXPECT_EQ(form->FileListBox1->ShownFolder(), std::string(1, drive) + ":\\");
    EXPECT_TRUE(dialogs.empty());
    form->DriveComboBox1->SelectDrive(other);
    // A drive that answers the size query but whose root cannot be entered.
    browser::SetDriveQuery([](const std::string&) { return true; });
    EXPECT_THROW(form->DriveComboBox1->SelectDrive('Q'), toolkit::EInOutError);
    EXPECT_EQ(form->DriveComboBox1->Drive(), other);
    EXPECT_EQ(form->FileListBox1->ShownFolder()[0], other);
}

TEST_F(Browsing, RealDeleteSendsTheFileToTheTrash) {
    browser::SetFileDeleter(nullptr); // the shell's own operation
    std::string name = "trash-me-" + std::to_string(GetTickCount()) + ".bmp";
    Fill({name});
    form->FileListBox1->SetItemIndex(EntryIndex(name));
    // The shell asks before it deletes: answer its question.
    UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND box = GetForegroundWindow();
        char cls[64] = {};
        GetClassNameA(box, cls, sizeof cls);
        if (std::string(cls) == "#32770")
            PostMessageA(box, WM_COMMAND, IDYES, 0);
    });
    SendMessageA(form->FileListBox1->Handle(), WM_KEYDOWN, VK_DELETE, 1);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(FileExists(scratch.File(name)));
    char xdg[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("XDG_DATA_HOME", xdg, MAX_PATH), 0u);
    std::string trashed = std::string("Z:") + xdg + "\\Trash\\files\\" + name;
    for (char& c : trashed)
        if (c == '/')
            c = '\\';
    EXPECT_TRUE(FileExists(trashed)) << trashed;
    EXPECT_TRUE(dialogs.empty());
}

// A folder on a network share has no drive letter: the box shows none, any
// drive chosen from it goes there, and a drive that fails its check returns
// to the share with one warning.
TEST_F(Browsing, AShareShowsNoDriveAndEveryDriveChosenGoesThere) {
    const std::string share = "\\\\localhost\\glimshare";
    const std::string picture = share + "\\NET.BMP";
    if (!testsupport::TryWriteBytes(picture, SmallBitmap()))
        GTEST_SKIP() << "no test share here";
    const char start = form->DriveComboBox1->Drive();
    form->OpenPicturePath(picture);
    EXPECT_EQ(form->DriveComboBox1->ItemIndex(), -1);
    form->DriveComboBox1->SelectDrive(start);
    EXPECT_EQ(form->FileListBox1->ShownFolder(), scratch.Path());
    EXPECT_EQ(form->DriveComboBox1->Drive(), start);

    // Started with the share as its current folder, as the shell starts it.
    ASSERT_TRUE(SetCurrentDirectoryA(share.c_str()));
    ReopenOnCurrentFolder();
    EXPECT_EQ(form->DriveComboBox1->ItemIndex(), -1);
    dialogs.clear();
    form->DriveComboBox1->SelectDrive('Q'); // no such drive
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text, "Access Error on Drive Q: !");
    EXPECT_EQ(form->DriveComboBox1->ItemIndex(), -1);
    EXPECT_EQ(lstrcmpiA(form->FileListBox1->ShownFolder().c_str(), share.c_str()), 0);
    form->DriveComboBox1->SelectDrive(start);
    EXPECT_EQ(form->FileListBox1->ShownFolder()[0], start);
    EXPECT_EQ(dialogs.size(), 1u);
    DeleteFileA(picture.c_str());
}

// Names the code page cannot hold: the folder and its entries are reached
// through their short forms, for opening and for stepping.
TEST_F(Browsing, NamesBeyondTheCodePageAreReachedThroughTheirShortForms) {
    const std::wstring folder = shell::WideText(scratch.Path()) + L"\\\x0141ukasz \x8868";
    const std::wstring picture = folder + L"\\\x8868.bmp";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    {
        HANDLE file = CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string bytes = SmallBitmap();
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    ReopenOnCurrentFolder();
    const std::string shown = form->FileListBox1->ShownFolder();
    EXPECT_EQ(shown.find('?'), std::string::npos) << shown;
    ASSERT_EQ(form->FileListBox1->Count(), 3) // [.], [..] and the picture
        << testing::PrintToString(form->FileListBox1->Entries());
    const std::string entry = form->FileListBox1->Item(2);
    EXPECT_EQ(entry.find('?'), std::string::npos) << entry;
    form->FileListBox1->SetItemIndex(2);
    form->OpenSelectedEntry();
    EXPECT_TRUE(dialogs.empty()) << (dialogs.empty() ? "" : dialogs[0].text);
    EXPECT_EQ(browser::LastLoadedPath(), shell::PathInFolder(shown, entry));
    // Stepping from the folder entry before it reaches it.
    form->FileListBox1->SetItemIndex(1);
    SendMessageA(form2->Handle(), WM_CHAR, '+', 1);
    EXPECT_EQ(form->FileListBox1->ItemIndex(), 2);

    CloseForm();
    SetCurrentDirectoryA(scratch.Path().c_str());
    DeleteFileW(picture.c_str());
    RemoveDirectoryW(folder.c_str());
}
