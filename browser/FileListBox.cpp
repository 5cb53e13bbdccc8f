#include "browser/FileListBox.h"

#include "shell/AnsiNames.h"
#include "shell/FileHandle.h"
#include "shell/LetterCase.h"
#include "shell/Paths.h"
#include "toolkit/Application.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace browser {

namespace {

std::map<char, std::string>& DriveFolders() {
    static std::map<char, std::string> folders;
    return folders;
}

char UpperDrive(char c) {
    return shell::UpperCaseAnsi(c);
}

bool SameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string CurrentFolder() {
    char folder[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    return n > 0 && n < sizeof folder ? std::string(folder, n) : std::string();
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH + 1] = {};
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

// Without a trailing backslash, except for a drive root.
std::string TrimFolder(std::string folder) {
    while (folder.size() > 3 && shell::EndsInBackslash(folder))
        folder.pop_back();
    return folder;
}

// Whether the folder can be made the current one (it may exist without the
// right to enter it). The current folder stays.
bool CanEnter(const std::string& folder) {
    const std::string current = CurrentFolder();
    if (!SetCurrentDirectoryA(folder.c_str()))
        return false;
    SetCurrentDirectoryA(current.c_str());
    return true;
}

// The drive's remembered folder, or its root once that folder is gone or
// can no longer be entered.
std::string EnterableDriveFolder(char drive) {
    std::string folder = DriveCurrentFolder(drive);
    if (CanEnter(folder))
        return folder;
    DriveFolders().erase(UpperDrive(drive));
    return DriveCurrentFolder(drive);
}

} // namespace

GlyphKind FileGlyph(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return GlyphKind::UnknownFile;
    std::string extension = name.substr(dot);
    for (auto known : {".exe", ".com", ".bat", ".pif"})
        if (SameText(extension, known))
            return GlyphKind::Executable;
    return GlyphKind::UnknownFile;
}

bool IsListedAttribute(DWORD attributes) {
    // The search asks for read-only, hidden, folder and archive entries;
    // system files and volume labels are never shown.
    return !(attributes & (FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */));
}

std::string DriveCurrentFolder(char drive) {
    char letter = UpperDrive(drive);
    auto it = DriveFolders().find(letter);
    if (it != DriveFolders().end())
        return it->second;
    return std::string(1, letter) + ":\\";
}

TFileListBox::TFileListBox(toolkit::TControl* parent) : TControl(parent) {
    tabStop_ = true;
    color_ = toolkit::clWindow;
    // A start folder whose name the code page cannot hold is entered through
    // its short form; without one, its drive's root is shown.
    const std::string reachable = shell::ReachableCurrentFolder();
    const std::string given = CurrentFolder();
    if (reachable.empty()) {
        if (given.size() >= 3 && given[1] == ':')
            SetCurrentDirectoryA(given.substr(0, 3).c_str());
    } else if (reachable != given) {
        SetCurrentDirectoryA(reachable.c_str());
    }
    shownFolder_ = CurrentFolder();
}

toolkit::TControl::CreateParams TFileListBox::GetCreateParams() const {
    return {"LISTBOX",
            LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP,
            WS_EX_CLIENTEDGE};
}

bool TFileListBox::SetProperty(const std::string& name, const toolkit::LayoutValue& value) {
    if (name == "ItemHeight") {
        itemHeight_ = static_cast<int>(value.integer);
        return true;
    }
    if (name == "FileEdit") {
        toolkit::TForm* form = ParentForm();
        fileEdit_ = form ? dynamic_cast<toolkit::TEdit*>(form->FindChild(value.text)) : nullptr;
        return fileEdit_ != nullptr;
    }
    if (name == "ShowGlyphs" || name == "IntegralHeight" || name == "FileType" || name == "Mask")
        return true; // fixed for this program: glyphs on, whole rows, the usual kinds, *.*
    return TControl::SetProperty(name, value);
}

void TFileListBox::AfterCreate() {
    SendMessageA(handle_, LB_SETITEMHEIGHT, 0, itemHeight_);
    // Whole rows only.
    RECT r;
    GetWindowRect(handle_, &r);
    SetWindowPos(handle_, nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(handle_, &client);
    int excess = client.bottom % itemHeight_;
    if (excess) {
        height_ -= excess;
        SetWindowPos(handle_, nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER);
    }
    ReadFolder();
}

int TFileListBox::Count() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETCOUNT, 0, 0)) : 0;
}

std::string TFileListBox::Item(int index) const {
    if (index < 0 || index >= Count())
        throw toolkit::EListError("Listenindex überschreitet das Maximum (" +
                                  std::to_string(index) + ")");
    LRESULT length = SendMessageA(handle_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(handle_, LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

GlyphKind TFileListBox::ItemGlyph(int index) const {
    LRESULT data = SendMessageA(handle_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == LB_ERR ? GlyphKind::None : static_cast<GlyphKind>(data);
}

int TFileListBox::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0)) : -1;
}

void TFileListBox::SetItemIndex(int index) {
    if (handle_)
        SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TFileListBox::SelectedName() const {
    int index = ItemIndex();
    return index >= 0 ? Item(index) : std::string();
}

std::string TFileListBox::SelectedPath() const {
    std::string name = SelectedName();
    return name.empty() ? std::string() : shell::PathInFolder(shownFolder_, name);
}

void TFileListBox::ApplyPath(const std::string& text) {
    if (text.empty() || SameText(text, SelectedPath()))
        return;
    std::string drive; // "X:" when the text names one
    std::string path;
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        path = text.substr(1, text.size() - 2);
    } else if (text.size() >= 2 && text[1] == ':') {
        drive = std::string(1, UpperDrive(text[0])) + ":";
        path = text.substr(2);
    } else {
        path = text;
    }
    size_t slash = shell::LastSeparator(path, "\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (slash == 0)
        folder.assign(1, '\\');

    std::string base;
    if (folder.empty())
        base = drive.empty() ? shownFolder_ : EnterableDriveFolder(drive[0]);
    else if (drive.empty() && folder.rfind("\\\\", 0) == 0)
        base = folder; // a network path: \\server\share\...
    else if (folder[0] == '\\')
        base = (drive.empty() ? shownFolder_.substr(0, 2) : drive) + folder;
    else
        base = shell::PathInFolder(drive.empty() ? shownFolder_ : EnterableDriveFolder(drive[0]),
                                   folder);

    if (!name.empty() && name.find_first_of("*?") == std::string::npos &&
        !shell::IsExistingFile(shell::PathInFolder(base, name)))
        base = shell::PathInFolder(base, name);

    std::string resolved = TrimFolder(FullPath(base));
    if (!SameText(resolved, shownFolder_))
        ChangeFolder(resolved);
}

void TFileListBox::ChangeFolder(const std::string& folder) {
    if (!SetCurrentDirectoryA(folder.c_str()))
        toolkit::RaiseInOutError(GetLastError());
    shownFolder_ = CurrentFolder();
    ReadFolder();
}

void TFileListBox::Refill() {
    if (!SetCurrentDirectoryA(shownFolder_.c_str()))
        toolkit::RaiseInOutError(GetLastError());
    ReadFolder();
}

void TFileListBox::ReadFolder() {
    SetCurrentDirectoryA(shownFolder_.c_str());
    if (shownFolder_.size() >= 2 && shownFolder_[1] == ':')
        DriveFolders()[UpperDrive(shownFolder_[0])] = shownFolder_;

    std::unique_ptr<toolkit::ScopedCursor> hourglass;
    struct Entry {
        std::string text;
        GlyphKind glyph;
    };
    std::vector<Entry> found;
    size_t textBytes = 0;
    size_t start = 0;
    // Several patterns separated by ";" are searched one after the other.
    while (start <= mask_.size()) {
        size_t end = mask_.find(';', start);
        std::string pattern = mask_.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? mask_.size() + 1 : end + 1;
        if (pattern.empty())
            continue;
        WIN32_FIND_DATAW data;
        shell::FindHandle search(shell::WideText(pattern), data);
        if (!search)
            continue;
        do {
            if (!IsListedAttribute(data.dwFileAttributes))
                continue;
            // A name the code page cannot hold is listed in its short form.
            const std::string name = shell::ReachableName(data);
            Entry entry;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                entry.text = '[';
                entry.text += name;
                entry.text += ']';
                entry.glyph = GlyphKind::ClosedFolder;
            } else {
                entry.text = name;
                entry.glyph = FileGlyph(entry.text);
            }
            textBytes += entry.text.size() + 1;
            found.push_back(std::move(entry));
            if (found.size() == 101) // a large folder: the hourglass while it is read
                hourglass = std::make_unique<toolkit::ScopedCursor>(toolkit::TCursor::crHourGlass);
        } while (search.Next(data));
    }
    // The list sorts them itself; handed over in the same order, each lands at
    // the end and nothing is moved.
    std::stable_sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.text.c_str(), -1,
                              b.text.c_str(), -1) == CSTR_LESS_THAN;
    });
    SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
    SendMessageA(handle_, LB_INITSTORAGE, found.size(), textBytes);
    entries_.clear();
    entries_.reserve(found.size());
    bool inListOrder = true;
    for (size_t i = 0; i < found.size(); ++i) {
        LRESULT index =
            SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found[i].text.c_str()));
        if (index < 0)
            continue;
        SendMessageA(handle_, LB_SETITEMDATA, static_cast<WPARAM>(index),
                     static_cast<LPARAM>(found[i].glyph));
        inListOrder = inListOrder && static_cast<size_t>(index) == entries_.size();
        entries_.push_back(std::move(found[i].text));
    }
    if (!inListOrder) {
        entries_.clear();
        for (int i = 0, n = Count(); i < n; ++i)
            entries_.push_back(Item(i));
    }
    SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle_, nullptr, TRUE);
    hourglass.reset();
    lastEditIndex_ = -2;
    UpdateFileEdit();
}

void TFileListBox::UpdateFileEdit() {
    int index = ItemIndex();
    lastEditIndex_ = index;
    if (!fileEdit_)
        return;
    fileEdit_->SetText(index >= 0 ? Item(index) : mask_);
    fileEdit_->SelectAll();
}

void TFileListBox::CommandNotify(WORD code) {
    if (code == LBN_SELCHANGE) {
        if (ItemIndex() != lastEditIndex_)
            UpdateFileEdit();
        if (OnClick)
            OnClick(this);
    } else if (code == LBN_DBLCLK) {
        if (OnDblClick)
            OnDblClick(this);
    }
}

bool TFileListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    GlyphRow row{item, toolkit::ColorToRGB(color_), toolkit::ColorToRGB(font_.Color()),
                 font_.Handle()};
    if (BeginGlyphRow(row)) {
        int index = static_cast<int>(item.itemID);
        GlyphKind glyph = ItemGlyph(index);
        FinishGlyphRow(row, glyph, Item(index), glyph == GlyphKind::None ? 2 : kGlyphTextOffset);
    }
    return true;
}

} // namespace browser
