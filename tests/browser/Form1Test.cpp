// Form1's creation: titles, folder caption, selection, system menu, help and
// the show state the program was started with.
#include "BrowserFixture.h"

#include "shell/ShellRegistration.h"
#include "shell/ShortenPath.h"
#include "toolkit/Application.h"

using namespace glimtest;
using browser::TForm1;

namespace {

struct MenuEntry {
    UINT id;
    UINT type;
    std::string text;
};

std::vector<MenuEntry> MenuEntries(HMENU menu) {
    std::vector<MenuEntry> entries;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        entries.push_back({info.wID, info.fType, text});
    }
    return entries;
}

bool Grayed(HMENU menu, UINT command) {
    return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

using Form1Create = BrowserTest;

} // namespace

TEST_F(Form1Create, SetsTitlesCaptionsAndSelection) {
    scratch.AddFile("b.txt");
    scratch.AddFile("a.txt");
    TForm1& f = OpenForm(scratch.Path());
    toolkit::TApplication& app = toolkit::Application();

    EXPECT_EQ(app.Title(), "Glimmora32 - [Noname]");
    EXPECT_EQ(WindowText(app.Handle()), "Glimmora32 - [Noname]");
    EXPECT_EQ(WindowText(f.Handle()), "Glimmora32 - [Noname]");
    EXPECT_EQ(WindowText(f.Panel5->Handle()), "Picture-Info:");

    ASSERT_EQ(f.FileListBox1->ShownFolder(), scratch.Path());
    ASSERT_GT(scratch.Path().size(), 30u);
    EXPECT_EQ(WindowText(f.Label2->Handle()), shell::ShortenPath(scratch.Path(), 30));
    EXPECT_LE(WindowText(f.Label2->Handle()).size(), 30u);

    // The first entry is selected without telling the name box.
    EXPECT_EQ(SendMessageA(f.FileListBox1->Handle(), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(f.Edit1->Text(), "*.*");

    EXPECT_FALSE(f.PMultiImage1->Stretch());
    EXPECT_FALSE(IsWindowVisible(f.PMultiImage1->Handle()));
    EXPECT_EQ(f.DriveComboBox1->Drive(), scratch.Path()[0]);
    EXPECT_EQ(browser::SavedDrive(), f.DriveComboBox1->Drive());
    EXPECT_EQ(f.ActiveControl(), f.Edit1);

    // Scroll bars once a control reaches past the client area, gone after.
    auto scrollBars = [&] {
        return GetWindowLongPtrA(f.Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
    };
    EXPECT_EQ(scrollBars(), 0);
    f.Panel1->SetBounds(236, 0, 900, 700);
    f.UpdateScrollRange();
    EXPECT_EQ(scrollBars(), WS_HSCROLL | WS_VSCROLL);
    f.Panel1->SetBounds(236, 0, 360, 272);
    f.UpdateScrollRange();
    EXPECT_EQ(scrollBars(), 0);
}

TEST_F(Form1Create, SystemMenuLosesSizeAndGainsAboutAndHelp) {
    TForm1& f = OpenForm(scratch.Path());
    HMENU menu = GetSystemMenu(f.Handle(), FALSE);
    EXPECT_EQ(menu, browser::SystemMenuHandle());

    EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

    std::vector<MenuEntry> entries = MenuEntries(menu);
    ASSERT_GE(entries.size(), 4u);
    const MenuEntry& separator = entries[entries.size() - 3];
    const MenuEntry& about = entries[entries.size() - 2];
    const MenuEntry& help = entries[entries.size() - 1];
    EXPECT_TRUE(separator.type & MFT_SEPARATOR);
    EXPECT_EQ(about.id, 272u);
    EXPECT_EQ(about.text, "About &Glimmora ...");
    EXPECT_EQ(help.id, 288u);
    EXPECT_EQ(help.text, "Glimmora &Help");
    // Only this window's copy of the menu changed.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(GetMenuState(GetSystemMenu(other, FALSE), 272, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyWindow(other);
}

TEST_F(Form1Create, HelpNeedsBothTheHelpFileAndItsContents) {
    struct Case {
        bool help, contents;
    };
    for (Case c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(testing::Message() << "help " << c.help << " contents " << c.contents);
        RemoveTree(programFolder.Path());
        CreateDirectoryA(programFolder.Path().c_str(), nullptr);
        AddHelpFiles(c.help, c.contents);
        TForm1& f = OpenForm(scratch.Path());
        EXPECT_TRUE(Grayed(browser::SystemMenuHandle(), 288));
        EXPECT_FALSE(Grayed(browser::SystemMenuHandle(), 272));
        EXPECT_EQ(toolkit::Application().HelpFile(), "");
        f.FileListBox1->SetFocus();
        PressKey(f.FileListBox1->Handle(), VK_F1);
        CloseForm();
        EXPECT_TRUE(helpCalls.empty()) << "F1 and closing call no help";
    }
    AddHelpFiles(true, true);
    OpenForm(scratch.Path());
    EXPECT_FALSE(Grayed(browser::SystemMenuHandle(), 288));
    EXPECT_EQ(toolkit::Application().HelpFile(), programFolder.File("GLIMR32.HLP") + ">Window1");
    EXPECT_EQ(shell::HelpFilePath(), programFolder.File("GLIMR32.HLP"));
}

TEST_F(Form1Create, HelpCommandOpensContentsInTheMainWindowThenF1UsesWindow1) {
    AddHelpFiles(true, true);
    TForm1& f = OpenForm(scratch.Path());
    const std::string helpFile = programFolder.File("GLIMR32.HLP");

    PostMessageA(f.Handle(), WM_SYSCOMMAND, 288, 0);
    ProcessPending();
    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].file, helpFile + ">main");
    EXPECT_EQ(helpCalls[0].command, static_cast<UINT>(HELP_FINDER));
    EXPECT_EQ(helpCalls[0].data, 0u);
    EXPECT_EQ(toolkit::Application().HelpFile(), helpFile + ">Window1");

    f.Show();
    f.FileListBox1->SetFocus();
    PressKey(f.FileListBox1->Handle(), VK_F1);
    ASSERT_EQ(helpCalls.size(), 2u);
    EXPECT_EQ(helpCalls[1].file, helpFile + ">Window1");
    EXPECT_EQ(helpCalls[1].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(helpCalls[1].data, 130u);

    CloseForm();
    ASSERT_EQ(helpCalls.size(), 3u);
    EXPECT_EQ(helpCalls[2].command, static_cast<UINT>(HELP_QUIT));
}

TEST_F(Form1Create, F1AsksForTheTopicOfTheFocusedControl) {
    AddHelpFiles(true, true);
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    f.ButtonVollbild->SetEnabled(true);
    f.ButtonCpy->SetEnabled(true);
    struct Case {
        toolkit::TControl* control;
        ULONG_PTR topic;
    };
    for (Case c : {Case{f.DriveComboBox1, 130}, Case{f.Edit1, 130}, Case{f.FileListBox1, 130},
                   Case{f.BtnStretch, 120}, Case{f.ButtonVollbild, 120}, Case{f.ButtonExit, 120},
                   Case{f.ButtonCpy, 120}}) {
        SCOPED_TRACE(c.control->Name);
        helpCalls.clear();
        c.control->SetFocus();
        ASSERT_EQ(GetFocus(), c.control->Handle());
        PressKey(c.control->Handle(), VK_F1);
        ASSERT_EQ(helpCalls.size(), 1u);
        EXPECT_EQ(helpCalls[0].command, static_cast<UINT>(HELP_CONTEXT));
        EXPECT_EQ(helpCalls[0].data, c.topic);
    }
}

TEST_F(Form1Create, AppMessageTakesOnlyAboutAndHelp) {
    TForm1& f = OpenForm(scratch.Path());
    auto handled = [&](UINT message, WPARAM wParam) {
        MSG msg{f.Handle(), message, wParam, 0, 0, {0, 0}};
        bool result = false;
        f.AppMessage(msg, result);
        return result;
    };
    EXPECT_TRUE(handled(WM_SYSCOMMAND, 272));
    EXPECT_TRUE(handled(WM_SYSCOMMAND, 288));
    // The whole parameter decides: nothing masked away.
    EXPECT_FALSE(handled(WM_SYSCOMMAND, 272 + 3));
    EXPECT_FALSE(handled(WM_SYSCOMMAND, 288 + 1));
    EXPECT_FALSE(handled(WM_SYSCOMMAND, SC_MINIMIZE));
    EXPECT_FALSE(handled(WM_SYSCOMMAND, SC_CLOSE));
    EXPECT_FALSE(handled(WM_COMMAND, 272));
    EXPECT_FALSE(handled(WM_KEYDOWN, 272));
}

TEST_F(Form1Create, SystemMenuCommandsStillWorkThroughTheHook) {
    TForm1& f = OpenForm(scratch.Path());
    f.Show();
    PostMessageA(f.Handle(), WM_SYSCOMMAND, 272, 0);
    ProcessPending();
    EXPECT_FALSE(IsIconic(f.Handle()));
    EXPECT_TRUE(helpCalls.empty());
    PostMessageA(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ProcessPending();
    EXPECT_TRUE(IsIconic(f.Handle()));
}

TEST_F(Form1Create, TakesTheShowStateFromTheStartUpInformation) {
    struct Case {
        int show;
        bool minimised, maximised;
    };
    for (Case c : {Case{SW_SHOWMAXIMIZED, false, true}, Case{SW_SHOWMINIMIZED, true, false},
                   Case{SW_MINIMIZE, true, false}, Case{SW_SHOWMINNOACTIVE, true, false},
                   Case{SW_SHOWNORMAL, false, false}, Case{SW_SHOWNOACTIVATE, false, false}}) {
        SCOPED_TRACE(c.show);
        browser::ProgramShowCommand() = SW_SHOWDEFAULT;
        startupShow = c.show;
        startupShowReads = 0;
        TForm1& f = OpenForm(scratch.Path());
        EXPECT_EQ(startupShowReads, 1);
        EXPECT_EQ(browser::ProgramShowCommand(), c.show);
        EXPECT_EQ(IsIconic(f.Handle()) != FALSE, c.minimised);
        EXPECT_EQ(IsZoomed(f.Handle()) != FALSE, c.maximised);
        if (!c.minimised && !c.maximised) {
            EXPECT_FALSE(IsWindowVisible(f.Handle())) << "left as it was";
        }
        CloseForm();
    }
}

TEST_F(Form1Create, ReadsTheStartUpInformationOnlyWhileTheCommandIsTheDefault) {
    browser::ProgramShowCommand() = SW_SHOWMAXIMIZED;
    startupShow = SW_SHOWMINIMIZED;
    TForm1& f = OpenForm(scratch.Path());
    EXPECT_EQ(startupShowReads, 0);
    EXPECT_TRUE(IsZoomed(f.Handle()));
    CloseForm();

    browser::ProgramShowCommand() = SW_SHOWDEFAULT;
    startupShow = SW_SHOWDEFAULT;
    TForm1& g = OpenForm(scratch.Path());
    EXPECT_EQ(startupShowReads, 1);
    EXPECT_FALSE(IsIconic(g.Handle()));
    EXPECT_FALSE(IsZoomed(g.Handle()));
}
