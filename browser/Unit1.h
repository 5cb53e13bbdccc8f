// TForm1: the browser window, the program's main window.
#pragma once

#include "browser/DriveComboBox.h"
#include "browser/FileListBox.h"
#include "image/TMultiP.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

#include <string>

namespace browser {

class TForm1 : public toolkit::TForm {
public:
    TForm1();
    ~TForm1() override;

    toolkit::TPanel* Panel1;
    toolkit::TPanel* Panel2;
    toolkit::TLabel* Label1;
    toolkit::TLabel* Label2;
    toolkit::TPanel* Panel3;
    toolkit::TPanel* Panel4;
    toolkit::TPanel* Panel5;
    toolkit::TPanel* Panel6;
    TDriveComboBox* DriveComboBox1;
    toolkit::TEdit* Edit1;
    TFileListBox* FileListBox1;
    toolkit::TButton* BtnStretch;
    toolkit::TButton* ButtonVollbild;
    toolkit::TButton* ButtonExit;
    toolkit::TButton* ButtonCpy;
    image::TPMultiImage* PMultiImage1;
    toolkit::TPanel* PanelLED;

    void FormCreate(toolkit::TControl* sender);
    void FormDestroy(toolkit::TControl* sender);
    void AppMessage(MSG& msg, bool& handled);

    // Opens a picture in the preview.
    void LoadPicture(const std::string& path);
};

// The one browser window.
extern TForm1* Form1;

// System menu commands added by FormCreate.
constexpr UINT kAboutCommand = 272;
constexpr UINT kHelpCommand = 288;

// The unit's state between events.
HMENU SystemMenuHandle();
char SavedDrive();
void SetSavedDrive(char drive);
const std::string& LastLoadedPath();

// The show command the program was started with (SW_SHOWDEFAULT until read).
int& ProgramShowCommand();
// Where the start-up information comes from; tests give their own value.
void SetStartupShowWindowSource(int (*source)());

} // namespace browser
