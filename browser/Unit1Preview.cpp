// TForm1: the preview, its four buttons and LoadPicture.
#include "browser/PreviewSize.h"
#include "browser/Unit1.h"
#include "shell/LetterCase.h"
#include "shell/Paths.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

#include <windows.h>

namespace browser {

// While a picture loads the window and its buttons are disabled under the
// hourglass; every way out of LoadPicture gives them back.
class TForm1::LoadLock {
public:
    explicit LoadLock(TForm1& form) : form_(form), hourglass_(toolkit::TCursor::crHourGlass) {
        form.ButtonCpy->SetEnabled(false);
        form.BtnStretch->SetEnabled(false);
        form.ButtonVollbild->SetEnabled(false);
        form.ButtonExit->SetEnabled(false);
        form.SetEnabled(false);
    }
    ~LoadLock() {
        form_.ButtonCpy->SetEnabled(form_.hasPicture_);
        form_.ButtonVollbild->SetEnabled(form_.hasPicture_);
        form_.BtnStretch->SetEnabled(true);
        form_.ButtonExit->SetEnabled(true);
        form_.SetEnabled(true);
    }
    LoadLock(const LoadLock&) = delete;
    LoadLock& operator=(const LoadLock&) = delete;

private:
    TForm1& form_;
    toolkit::ScopedCursor hourglass_;
};

void TForm1::LoadPicture(const std::string& path) {
    if (path == LastLoadedPath())
        return;
    SetLastLoadedPath(path);
    const LoadLock lock(*this);
    try {
        PMultiImage1->SetImageName(path);
        PMultiImage1->QueryImageInfo(path);
    } catch (...) {
        // A loader error: back to the idle state, then the general error report.
        ShowIdleState();
        throw;
    }
    const toolkit::TGraphic* shown = PMultiImage1->Picture().Graphic();
    if (PMultiImage1->InfoWidth <= 0 || (shown && shown->Empty())) {
        // "File Load Error": the failure steps.
        ShowIdleState();
        MessageBeep(MB_ICONHAND);
        toolkit::MessageDlg(shell::UpperCaseAnsi(shell::NamePart(path)) +
                                " is not a valid Bitmapfile !",
                            toolkit::TMsgDlgType::mtError, {toolkit::TMsgDlgBtn::mbOK});
        return;
    }
    FitPreview();
    PMultiImage1->SetVisible(true);
    std::string colours = ColourText(PMultiImage1->InfoBits * PMultiImage1->InfoPlanes);
    Panel5->SetCaption("Picture-Info:  " + std::to_string(PMultiImage1->InfoWidth) + "x" +
                       std::to_string(PMultiImage1->InfoHeight) + "x" + colours);
    toolkit::TApplication& app = toolkit::Application();
    app.SetTitle("Glimmora32 - [" + shell::UpperCaseAnsi(shell::NamePart(path)) + "]");
    SetCaption(app.Title());
    if (fullView_.showPicture)
        fullView_.showPicture(PMultiImage1->Picture());
    hasPicture_ = true;
}

void TForm1::ShowIdleState() {
    toolkit::TApplication& app = toolkit::Application();
    app.SetScreenCursor(toolkit::TCursor::crDefault);
    PMultiImage1->SetVisible(false);
    PMultiImage1->SetImageName("");
    PMultiImage1->ClearImageInfo();
    if (fullView_.clearPicture)
        fullView_.clearPicture();
    SetLastLoadedPath("");
    Panel5->SetCaption("Picture-Info:");
    app.SetTitle("Glimmora32 - [Noname]");
    SetCaption(app.Title());
    hasPicture_ = false;
    ResetPreviewSize();
}

void TForm1::FitPreview() {
    if (PMultiImage1->InfoWidth < 1)
        return;
    PreviewSize size =
        FitPreviewSize(PMultiImage1->InfoWidth, PMultiImage1->InfoHeight, PMultiImage1->Stretch());
    Panel1->SetBounds(Panel1->Left(), Panel1->Top(), size.frameWidth, size.frameHeight);
    PMultiImage1->SetBounds(PMultiImage1->Left(), PMultiImage1->Top(), size.imageWidth,
                            size.imageHeight);
    UpdateScrollRange();
}

void TForm1::ResetPreviewSize() {
    Panel1->SetBounds(Panel1->Left(), Panel1->Top(), kDesignPreview.frameWidth,
                      kDesignPreview.frameHeight);
    PMultiImage1->SetBounds(PMultiImage1->Left(), PMultiImage1->Top(), kDesignPreview.imageWidth,
                            kDesignPreview.imageHeight);
    UpdateScrollRange();
}

void TForm1::BtnStretchClick(toolkit::TControl*) {
    FileListBox1->SetFocus();
    PanelLED->SetColor(PanelLED->Color() == toolkit::clMaroon ? toolkit::clRed : toolkit::clMaroon);
    PMultiImage1->SetStretch(!PMultiImage1->Stretch());
    FitPreview();
}

void TForm1::ButtonVollbildClick(toolkit::TControl*) {
    FileListBox1->SetFocus();
    if (fullView_.open)
        fullView_.open();
}

void TForm1::ButtonCpyClick(toolkit::TControl*) {
    const toolkit::ScopedCursor hourglass(toolkit::TCursor::crHourGlass);
    PMultiImage1->CopyToClipboard();
}

void TForm1::ButtonExitClick(toolkit::TControl*) {
    Close();
}

} // namespace browser
