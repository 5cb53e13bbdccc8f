// TForm1: the drive check, the Enter chain, type-ahead, opening entries,
// and deleting and renaming files from the list.
#include "browser/TypeAhead.h"
#include "browser/Unit1.h"
#include "shell/ErrorMode.h"
#include "shell/Extensions.h"
#include "shell/Paths.h"
#include "shell/ShortenPath.h"
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
    if (key == '\r')
        Edit1->SetFocus();
}

void TForm1::Edit1KeyPress(toolkit::TControl*, char& key) {
    if (key == '\r') {
        OpenSelectedEntry();
        FileListBox1->SetFocus();
        key = 0;
        return;
    }
    Edit1->Tag = 1;
}

void TForm1::Edit1KeyUp(toolkit::TControl* sender, WORD&, unsigned) {
    Edit1->Tag = 1;
    Edit1Change(sender);
}

void TForm1::Edit1Change(toolkit::TControl*) {
    if (Edit1->Tag == 1) {
        FileListBox1->SetItemIndex(TypeAheadIndex(FileListBox1->Entries(), Edit1->Text()));
    }
    Edit1->Tag = 0;
}

void TForm1::FileListBox1KeyPress(toolkit::TControl*, char& key) {
    if (key == '\r')
        OpenSelectedEntry();
}

void TForm1::FileListBox1DblClick(toolkit::TControl*) {
    OpenSelectedEntry();
}

void TForm1::OpenSelectedEntry() {
    std::string path = FileListBox1->SelectedPath();
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
        std::string from = FileListBox1->ShownFolder();
        if (from.empty() || from.back() != '\\')
            from += '\\';
        from += name;
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

} // namespace browser
