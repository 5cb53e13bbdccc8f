// TForm1: the drive check, the Enter chain, type-ahead, opening entries,
// and deleting and renaming files from the list.
#include "browser/TypeAhead.h"
#include "browser/Unit1.h"
#include "shell/AnsiNames.h"
#include "shell/ErrorMode.h"
#include "shell/Extensions.h"
#include "shell/LetterCase.h"
#include "shell/Paths.h"
#include "shell/ShortenPath.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

#include <windows.h>
#include <shellapi.h>

namespace browser {

namespace {

bool QueryDriveSize(const std::string& root) {
    DWORD sectors, bytes, freeClusters, clusters;
    return GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeClusters, &clusters) != FALSE;
}

int ShellDelete(HWND owner, const std::string& pathList) {
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = pathList.c_str();
    operation.pTo = "";
    operation.fFlags = FOF_ALLOWUNDO;
    operation.lpszProgressTitle = "";
    return SHFileOperationA(&operation);
}

DriveQuery driveQuery = QueryDriveSize;
FileDeleter fileDeleter = ShellDelete;

void Warn(const std::string& text) {
    MessageBeep(MB_ICONEXCLAMATION);
    toolkit::MessageDlg(text, toolkit::TMsgDlgType::mtWarning, {toolkit::TMsgDlgBtn::mbOK});
}

} // namespace

void SetDriveQuery(DriveQuery query) {
    driveQuery = query ? query : QueryDriveSize;
}
void SetFileDeleter(FileDeleter deleter) {
    fileDeleter = deleter ? deleter : ShellDelete;
}

void TForm1::DriveComboBox1Change(toolkit::TControl*) {
    char drive = DriveComboBox1->Drive();
    std::string root = std::string(1, drive) + ":\\";
    bool readable;
    {
        shell::CriticalErrorsOff errorsOff;
        readable = driveQuery(root);
    }
    if (readable) {
        try {
            FileListBox1->ApplyPath(std::string(1, drive) + ":");
        } catch (...) {
            // The drive box goes back with the list before the report.
            if (drive != SavedDrive())
                DriveComboBox1->SelectDrive(SavedDrive());
            throw;
        }
        FileListBox1->Invalidate();
        FileListBox1->SetItemIndex(0);
        Label2->SetCaption(shell::ShortenPath(FileListBox1->ShownFolder(), 30));
        SetSavedDrive(drive);
        return;
    }
    Warn("Access Error on Drive " + std::string(1, drive) + ":" + " !");
    DriveComboBox1->SelectDrive(SavedDrive());
}

void TForm1::DriveComboBox1KeyPress(toolkit::TControl*, char& key) {
    if (key == toolkit::kEnterChar)
        Edit1->SetFocus();
}

void TForm1::Edit1KeyPress(toolkit::TControl*, char& key) {
    if (key == toolkit::kEnterChar) {
        OpenSelectedEntry();
        FileListBox1->SetFocus();
        key = 0;
        return;
    }
    nameTyped_ = true;
}

void TForm1::Edit1KeyUp(toolkit::TControl* sender, WORD&, unsigned) {
    nameTyped_ = true;
    Edit1Change(sender);
}

void TForm1::Edit1Change(toolkit::TControl*) {
    if (nameTyped_)
        FileListBox1->SetItemIndex(TypeAheadIndex(FileListBox1->Entries(), Edit1->Text()));
    nameTyped_ = false;
}

void TForm1::FileListBox1KeyPress(toolkit::TControl*, char& key) {
    if (key == toolkit::kEnterChar)
        OpenSelectedEntry();
}

void TForm1::FileListBox1DblClick(toolkit::TControl*) {
    OpenSelectedEntry();
}

void TForm1::OpenSelectedEntry() {
    std::string path = FileListBox1->SelectedPath();
    if (shell::IsUnreachableName(FileListBox1->SelectedName())) {
        Warn(FileListBox1->SelectedName() +
             "\r\rThis name holds characters that the code page of this system cannot show, "
             "and the system keeps no short name for it: it cannot be opened.");
        return;
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (!shell::IsFileAttributes(attributes)) {
        // A folder entry: its bracketed text names nothing on disk.
        FileListBox1->ApplyPath(shell::NamePart(path));
        Label2->SetCaption(shell::ShortenPath(FileListBox1->ShownFolder(), 30));
    }
    path = FileListBox1->SelectedPath();
    if (shell::IsSupportedExtension(path) && shell::IsExistingFile(path))
        LoadPicture(path);
}

void TForm1::ReselectAfterRefill(int index) {
    if (index > FileListBox1->Count() - 1)
        --index;
    FileListBox1->SetItemIndex(index);
}

void TForm1::FileListBox1KeyDown(toolkit::TControl*, WORD& key, unsigned) {
    if (key != VK_DELETE && key != VK_INSERT)
        return;
    int index = FileListBox1->ItemIndex();
    if (index < 0)
        return;
    std::string name = FileListBox1->Item(index);
    if (!shell::IsExistingFile(name))
        return; // folder entries are neither deleted nor renamed
    if (key == VK_DELETE) {
        // A list of one path, ended by two zero characters.
        std::string from = shell::PathInFolder(FileListBox1->ShownFolder(), name);
        from.push_back('\0');
        if (fileDeleter(Handle(), from) != 0) {
            Warn("Error occured while deleting file !");
            return;
        }
        FileListBox1->Refill();
        ReselectAfterRefill(index);
        return;
    }
    std::string newName = name.substr(0, 255);
    if (!toolkit::InputQuery("Rename File", "New Name:", newName))
        return;
    if (!MoveFileA(name.c_str(), newName.c_str())) {
        Warn("Error occured while renaming file !");
        return;
    }
    FileListBox1->Refill();
    ReselectAfterRefill(index);
}

void TForm1::OpenPicturePath(const std::string& path) {
    const std::string fileName = shell::NamePart(path);
    // The list on the picture's folder, the drive box on its drive.
    FileListBox1->ApplyPath(shell::FolderPart(path));
    const std::string& folder = FileListBox1->ShownFolder();
    DriveComboBox1->SelectDrive(folder[0]);
    if (DriveComboBox1->Drive() == 0)
        SetSavedDrive(0); // a share: where a failed drive check returns to
    Label2->SetCaption(shell::ShortenPath(FileListBox1->ShownFolder(), 30));
    // Its entry, whatever the letter case on disk.
    std::string wanted = shell::LowerCaseAnsi(fileName);
    for (int i = 0; i < FileListBox1->Count(); ++i) {
        if (lstrcmpiA(FileListBox1->Item(i).c_str(), wanted.c_str()) == 0) {
            FileListBox1->SetItemIndex(i);
            Edit1->SetText(shell::UpperCaseAnsi(fileName));
            break;
        }
    }
    // Draw the window, focus the list, load.
    toolkit::Application().ProcessMessages();
    SetActiveControl(FileListBox1);
    LoadPicture(shell::UpperCaseAnsi(shell::PathInFolder(FileListBox1->ShownFolder(), fileName)));
}

std::string TForm1::SelectedEntryPath() const {
    return FileListBox1->SelectedPath();
}
int TForm1::SelectedEntry() const {
    return FileListBox1->ItemIndex();
}
int TForm1::EntryCount() const {
    return FileListBox1->Count();
}
std::string TForm1::EntryText(int index) const {
    return FileListBox1->Item(index);
}
void TForm1::SelectEntry(int index) {
    FileListBox1->SetItemIndex(index);
}
void TForm1::SetNameText(const std::string& name) {
    Edit1->SetText(name);
}
SIZE TForm1::PictureSize() const {
    return {PMultiImage1->InfoWidth, PMultiImage1->InfoHeight};
}

} // namespace browser
