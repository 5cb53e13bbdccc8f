// TForm1: the browser window, the program's main window.
#pragma once

#include "browser/DriveComboBox.h"
#include "browser/FileListBox.h"
#include "fullscreen/PictureFolder.h"
#include "image/TMultiP.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

#include <functional>
#include <string>

namespace browser {

// How the browser reaches the full-screen view; the program fills it in.
// An empty member means there is no view.
struct FullViewLink {
    std::function<void(const toolkit::TPicture&)> showPicture; // after each load
    std::function<void()> clearPicture;                        // the idle state
    std::function<void()> open;                                // FULLVIEW
};

class TForm1 : public toolkit::TForm, public fullscreen::PictureFolder {
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

    void SetFullViewLink(FullViewLink link) { fullView_ = std::move(link); }
    // A picture is shown: COPY and FULLVIEW are enabled after each load.
    bool HasPicture() const { return hasPicture_; }
    // The name box's text was typed (not written by the list): type-ahead runs.
    bool NameTyped() const { return nameTyped_; }

    // The preview (Unit1Preview.cpp).
    void LoadPicture(const std::string& path) override;
    void FitPreview();
    void ResetPreviewSize();
    void BtnStretchClick(toolkit::TControl* sender);
    void ButtonVollbildClick(toolkit::TControl* sender);
    void ButtonCpyClick(toolkit::TControl* sender);
    void ButtonExitClick(toolkit::TControl* sender);

    // The file browsing panel (Unit1Browsing.cpp).
    void DriveComboBox1Change(toolkit::TControl* sender);
    void DriveComboBox1KeyPress(toolkit::TControl* sender, char& key);
    void Edit1KeyPress(toolkit::TControl* sender, char& key);
    void Edit1KeyUp(toolkit::TControl* sender, WORD& key, unsigned shift);
    void Edit1Change(toolkit::TControl* sender);
    void FileListBox1KeyPress(toolkit::TControl* sender, char& key);
    void FileListBox1DblClick(toolkit::TControl* sender);
    void FileListBox1KeyDown(toolkit::TControl* sender, WORD& key, unsigned shift);
    // Enters a folder entry or loads a picture entry.
    void OpenSelectedEntry();
    // The start with a picture: the list on its folder and its entry, the
    // drive box on its drive, the name box on its name; then it is loaded.
    void OpenPicturePath(const std::string& path);

    // The folder the full-screen view steps through: the file list.
    std::string SelectedEntryPath() const override;
    int SelectedEntry() const override;
    int EntryCount() const override;
    std::string EntryText(int index) const override;
    void SelectEntry(int index) override;
    void SetNameText(const std::string& name) override;
    SIZE PictureSize() const override;

private:
    FullViewLink fullView_;
    bool hasPicture_ = false;
    bool nameTyped_ = false;
    class LoadLock;
    void ShowIdleState();
    void ReselectAfterRefill(int index);
};

// Seams for tests: the drive query, the shell's delete operation.
using DriveQuery = bool (*)(const std::string& root);
void SetDriveQuery(DriveQuery query);
using FileDeleter = int (*)(HWND owner, const std::string& pathList);
void SetFileDeleter(FileDeleter deleter);

// The one browser window.
extern TForm1* Form1;

// System menu commands added by FormCreate.
constexpr UINT kAboutCommand = 272;
constexpr UINT kHelpCommand = 288;

// The unit's state between events.
HMENU SystemMenuHandle();
// The drive a failed drive check returns to; 0 while a share is shown.
char SavedDrive();
void SetSavedDrive(char drive);
const std::string& LastLoadedPath();
void SetLastLoadedPath(const std::string& path);

// The show command the program was started with (SW_SHOWDEFAULT until read).
int& ProgramShowCommand();
// Where the start-up information comes from; tests give their own value.
void SetStartupShowWindowSource(int (*source)());

} // namespace browser
