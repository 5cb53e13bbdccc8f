#include "browser/Unit1.h"

#include "shell/Paths.h"
#include "shell/ShellRegistration.h"
#include "shell/ShortenPath.h"
#include "toolkit/Application.h"

#include <windows.h>

namespace browser {

TForm1* Form1 = nullptr;

namespace {
HMENU systemMenu = nullptr;
char savedDrive = 0;
std::string lastLoadedPath;
int showCommand = SW_SHOWDEFAULT;

int StartupShowWindow() {
    STARTUPINFOA info{};
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    return info.wShowWindow;
}
int (*showWindowSource)() = StartupShowWindow;
} // namespace

HMENU SystemMenuHandle() {
    return systemMenu;
}
char SavedDrive() {
    return savedDrive;
}
void SetSavedDrive(char drive) {
    savedDrive = drive;
}
const std::string& LastLoadedPath() {
    return lastLoadedPath;
}
void SetLastLoadedPath(const std::string& path) {
    lastLoadedPath = path;
}
int& ProgramShowCommand() {
    return showCommand;
}
void SetStartupShowWindowSource(int (*source)()) {
    showWindowSource = source;
}

TForm1::TForm1() {
    toolkit::RegisterStandardControls();
    image::TPMultiImage::Register();
    TForm::RegisterControlClass("TDriveComboBox",
                                [](TControl* p) { return std::make_unique<TDriveComboBox>(p); });
    TForm::RegisterControlClass("TFileListBox",
                                [](TControl* p) { return std::make_unique<TFileListBox>(p); });
    OnCreate = [this](TControl* sender) { FormCreate(sender); };
    OnDestroy = [this](TControl* sender) { FormDestroy(sender); };

    LoadLayout(toolkit::LoadLayoutResource("FORM1"));
    Panel1 = Find<toolkit::TPanel>("Panel1");
    Panel2 = Find<toolkit::TPanel>("Panel2");
    Label1 = Find<toolkit::TLabel>("Label1");
    Label2 = Find<toolkit::TLabel>("Label2");
    Panel3 = Find<toolkit::TPanel>("Panel3");
    Panel4 = Find<toolkit::TPanel>("Panel4");
    Panel5 = Find<toolkit::TPanel>("Panel5");
    Panel6 = Find<toolkit::TPanel>("Panel6");
    DriveComboBox1 = Find<TDriveComboBox>("DriveComboBox1");
    Edit1 = Find<toolkit::TEdit>("Edit1");
    FileListBox1 = Find<TFileListBox>("FileListBox1");
    BtnStretch = Find<toolkit::TButton>("BtnStretch");
    ButtonVollbild = Find<toolkit::TButton>("ButtonVollbild");
    ButtonExit = Find<toolkit::TButton>("ButtonExit");
    ButtonCpy = Find<toolkit::TButton>("ButtonCpy");
    PMultiImage1 = Find<image::TPMultiImage>("PMultiImage1");
    PanelLED = Find<toolkit::TPanel>("PanelLED");
    SetActiveControl(Edit1);

    BtnStretch->OnClick = [this](TControl* s) { BtnStretchClick(s); };
    ButtonVollbild->OnClick = [this](TControl* s) { ButtonVollbildClick(s); };
    ButtonCpy->OnClick = [this](TControl* s) { ButtonCpyClick(s); };
    ButtonExit->OnClick = [this](TControl* s) { ButtonExitClick(s); };
    DriveComboBox1->OnChange = [this](TControl* s) { DriveComboBox1Change(s); };
    DriveComboBox1->OnKeyPress = [this](TControl* s, char& k) { DriveComboBox1KeyPress(s, k); };
    Edit1->OnKeyPress = [this](TControl* s, char& k) { Edit1KeyPress(s, k); };
    Edit1->OnKeyUp = [this](TControl* s, WORD& k, unsigned sh) { Edit1KeyUp(s, k, sh); };
    Edit1->OnChange = [this](TControl* s) { Edit1Change(s); };
    FileListBox1->OnKeyPress = [this](TControl* s, char& k) { FileListBox1KeyPress(s, k); };
    FileListBox1->OnDblClick = [this](TControl* s) { FileListBox1DblClick(s); };
    FileListBox1->OnKeyDown = [this](TControl* s, WORD& k, unsigned sh) {
        FileListBox1KeyDown(s, k, sh);
    };

    OnCreate(this);
}

TForm1::~TForm1() {
    if (OnDestroy)
        OnDestroy(this);
    toolkit::Application().OnMessage = nullptr;
}

void TForm1::FormCreate(toolkit::TControl*) {
    toolkit::TApplication& app = toolkit::Application();
    // Titles.
    app.SetTitle("Glimmora32 - [Noname]");
    SetCaption(app.Title());
    // Scroll bars when controls reach past the client area.
    AutoScroll = true;
    // First entry, folder caption.
    FileListBox1->SetItemIndex(0);
    Label2->SetCaption(shell::ShortenPath(FileListBox1->ShownFolder(), 30));
    // Natural size, the empty information line, the drive to come back to.
    PMultiImage1->SetStretch(false);
    Panel5->SetCaption("Picture-Info:");
    savedDrive = DriveComboBox1->Drive();
    // System menu: no Size entry; About and Help below a separator.
    systemMenu = GetSystemMenu(Handle(), FALSE);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, kAboutCommand, "About &Glimmora ...");
    AppendMenuA(systemMenu, MF_STRING, kHelpCommand, "Glimmora &Help");
    DrawMenuBar(Handle());
    // Help only with both the help file and its contents file.
    std::string contents = shell::PathInFolder(shell::ProgramFolder(), "GLIMR32.CNT");
    if (shell::IsExistingFile(shell::HelpFilePath()) && shell::IsExistingFile(contents))
        app.SetHelpFile(shell::HelpFilePath() + ">Window1");
    else
        EnableMenuItem(systemMenu, kHelpCommand, MF_BYCOMMAND | MF_GRAYED);
    // About and Help from the system menu.
    app.OnMessage = [this](MSG& msg, bool& handled) { AppMessage(msg, handled); };
    // The show state the program was started with.
    if (showCommand == SW_SHOWDEFAULT)
        showCommand = showWindowSource();
    if (showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE ||
        showCommand == SW_SHOWMINNOACTIVE)
        ShowWindow(Handle(), SW_MINIMIZE);
    else if (showCommand == SW_SHOWMAXIMIZED)
        ShowWindow(Handle(), SW_SHOWMAXIMIZED);
}

void TForm1::AppMessage(MSG& msg, bool& handled) {
    if (msg.message != WM_SYSCOMMAND)
        return;
    if (msg.wParam == kAboutCommand) {
        handled = true;
        MessageBeep(MB_ICONASTERISK);
    } else if (msg.wParam == kHelpCommand) {
        handled = true;
        toolkit::TApplication& app = toolkit::Application();
        app.SetHelpFile(shell::HelpFilePath() + ">main");
        app.HelpCommand(HELP_FINDER, 0);
        app.SetHelpFile(shell::HelpFilePath() + ">Window1");
    }
}

void TForm1::FormDestroy(toolkit::TControl*) {
    toolkit::Application().HelpCommand(HELP_QUIT, 0);
}

} // namespace browser
