#include "BrowserFixture.h"

#include "shell/ShellRegistration.h"
#include "toolkit/Application.h"

namespace glimtest {

int startupShow = SW_SHOWNORMAL;
int startupShowReads = 0;

namespace {
int FakeStartupShow() {
    ++startupShowReads;
    return startupShow;
}
} // namespace

BrowserTest::BrowserTest() {
    startupShow = SW_SHOWNORMAL;
    startupShowReads = 0;
    browser::ProgramShowCommand() = SW_SHOWDEFAULT;
    browser::SetStartupShowWindowSource(FakeStartupShow);
    toolkit::Application().SetHelpFile("");
    toolkit::Application().SetHelpHook(
        [this](const std::string& file, UINT command, ULONG_PTR data) {
            helpCalls.push_back({file, command, data});
        });
    toolkit::SetDialogHook([this](toolkit::DialogRecord& box) {
        dialogs.push_back(box);
        return static_cast<int>(toolkit::mrOk);
    });
    shell::RegisterShellEntries({programFolder.File("GLIMR32.EXE"), windowsFolder.Path(),
                                 [](const std::exception& e) { ADD_FAILURE() << e.what(); }});
}

void BrowserTest::TearDown() {
    CloseForm();
    SetCurrentDirectoryA(folderGuard.Saved().c_str());
}

BrowserTest::~BrowserTest() {
    CloseForm();
    toolkit::Application().SetHelpFile("");
    toolkit::Application().SetHelpHook(nullptr);
    toolkit::SetDialogHook(nullptr);
    toolkit::Application().SetScreenCursor(toolkit::TCursor::crDefault);
}

browser::TForm1& BrowserTest::OpenForm(const std::string& folder) {
    EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
    form = std::make_unique<browser::TForm1>();
    browser::Form1 = form.get();
    return *form;
}

int BrowserTest::EntryIndex(const std::string& text) const {
    for (int i = 0; i < form->FileListBox1->Count(); ++i)
        if (form->FileListBox1->Item(i) == text)
            return i;
    return -1;
}

void BrowserTest::OpenFullView() {
    form2 = std::make_unique<fullscreen::TForm2>();
    fullscreen::Form2 = form2.get();
    links = std::make_unique<program::WindowLinks>(*form, *form2);
}

void BrowserTest::CloseForm() {
    links.reset();
    fullscreen::Form2 = nullptr;
    form2.reset();
    if (!form)
        return;
    form.reset();
    browser::Form1 = nullptr;
    ProcessPending();
}

void BrowserTest::AddHelpFiles(bool help, bool contents) {
    if (help)
        programFolder.AddFile("GLIMR32.HLP");
    if (contents)
        programFolder.AddFile("GLIMR32.CNT");
}

void ProcessPending() {
    toolkit::Application().ProcessMessages();
}

void PressKey(HWND window, WORD key) {
    UINT scan = MapVirtualKeyA(key, 0 /* MAPVK_VK_TO_VSC */);
    LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
    LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    PostMessageA(window, WM_KEYDOWN, key, down);
    PostMessageA(window, WM_KEYUP, key, up);
    ProcessPending();
}

void PressAltLetter(HWND window, char letter) {
    PostMessageA(window, WM_SYSCHAR, static_cast<unsigned char>(letter), 1 | (1 << 29));
    ProcessPending();
}

void HoldShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string FocusedName() {
    toolkit::TControl* control = toolkit::TControl::FromHandle(GetFocus());
    return control ? control->Name : std::string();
}

} // namespace glimtest
