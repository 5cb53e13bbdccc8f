#include "browser/DriveComboBox.h"

#include "shell/ErrorMode.h"
#include "shell/LetterCase.h"
#include "toolkit/Gdi.h"

#include <windows.h>
#include <winnetwk.h>

namespace browser {

namespace {

DriveProbe& CurrentProbe() {
    static DriveProbe probe = DriveProbe::System();
    return probe;
}

bool IsDriveLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

// None (0) for a folder on a network share.
char CurrentFolderDrive() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    const char drive = shell::UpperCaseAnsi(folder[0]);
    return IsDriveLetter(drive) && folder[1] == ':' ? drive : 0;
}

} // namespace

DriveProbe DriveProbe::System() {
    DriveProbe probe;
    probe.logicalDrives = [] { return GetLogicalDrives(); };
    probe.driveType = [](const std::string& root) { return GetDriveTypeA(root.c_str()); };
    probe.volumeLabel = [](const std::string& root, std::string& label) {
        const shell::CriticalErrorsOff errorsOff;
        char name[MAX_PATH + 1] = {};
        BOOL ok = GetVolumeInformationA(root.c_str(), name, sizeof name, nullptr, nullptr, nullptr,
                                        nullptr, 0);
        label = ok ? name : "";
        return ok != FALSE;
    };
    probe.remoteName = [](const std::string& drive, std::string& remote) {
        char name[MAX_PATH + 1] = {};
        DWORD size = sizeof name;
        if (WNetGetConnectionA(drive.c_str(), name, &size) != NO_ERROR)
            return false;
        remote = name;
        return true;
    };
    return probe;
}

std::vector<DriveEntry> ReadDriveEntries(const DriveProbe& probe) {
    std::vector<DriveEntry> entries;
    DWORD drives = probe.logicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i)))
            continue;
        char letter = static_cast<char>('A' + i);
        std::string drive = std::string(1, letter) + ":";
        std::string root = drive + "\\";
        auto labelled = [&]() {
            std::string label;
            probe.volumeLabel(root, label);
            return drive + " [" + shell::UpperCaseAnsi(label) + "]";
        };
        switch (probe.driveType(root)) {
        case DRIVE_REMOVABLE:
            entries.push_back({drive, GlyphKind::Floppy});
            break;
        case DRIVE_FIXED:
            entries.push_back({labelled(), GlyphKind::Hard});
            break;
        case DRIVE_REMOTE: {
            std::string remote;
            if (probe.remoteName(drive, remote))
                entries.push_back({drive + " " + shell::UpperCaseAnsi(remote), GlyphKind::Network});
            else
                entries.push_back({labelled(), GlyphKind::Network});
            break;
        }
        case DRIVE_CDROM:
            entries.push_back({labelled(), GlyphKind::CdRom});
            break;
        case DRIVE_RAMDISK:
            entries.push_back({labelled(), GlyphKind::Ram});
            break;
        default:
            break;
        }
    }
    return entries;
}

TDriveComboBox::TDriveComboBox(toolkit::TControl* parent)
    : TControl(parent), drive_(CurrentFolderDrive()) {
    tabStop_ = true;
    color_ = toolkit::clWindow;
}

void TDriveComboBox::SetProbe(DriveProbe probe) {
    CurrentProbe() = std::move(probe);
}

toolkit::TControl::CreateParams TDriveComboBox::GetCreateParams() const {
    return {"COMBOBOX",
            CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
}

bool TDriveComboBox::SetProperty(const std::string& name, const toolkit::LayoutValue& value) {
    if (name == "TextCase")
        return true; // drive names always in upper case
    if (name == "Height") {
        // The layout gives the closed box; the window also holds the drop-down list.
        height_ = static_cast<int>(value.integer) + 8 * 16;
        return true;
    }
    return TControl::SetProperty(name, value);
}

void TDriveComboBox::AfterCreate() {
    SendMessageA(handle_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 16);
    SendMessageA(handle_, CB_SETITEMHEIGHT, 0, 16);
    entries_ = ReadDriveEntries(CurrentProbe());
    for (const DriveEntry& entry : entries_)
        SendMessageA(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    SelectEntryOf(drive_);
}

int TDriveComboBox::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0)) : -1;
}

void TDriveComboBox::SelectEntryOf(char letter) {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].text[0] == letter) {
            SendMessageA(handle_, CB_SETCURSEL, i, 0);
            return;
        }
    }
}

void TDriveComboBox::SelectDrive(char letter) {
    const char upper = shell::UpperCaseAnsi(letter);
    if (!IsDriveLetter(upper)) {
        // A share is shown: no entry selected, and any drive chosen is new.
        drive_ = 0;
        if (handle_)
            SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    if (ItemIndex() >= 0 && upper == drive_)
        return;
    drive_ = upper;
    SelectEntryOf(upper);
    if (OnChange)
        OnChange(this);
}

void TDriveComboBox::CommandNotify(WORD code) {
    if (code != CBN_SELCHANGE)
        return;
    int index = ItemIndex();
    if (index >= 0 && index < static_cast<int>(entries_.size()))
        SelectDrive(entries_[static_cast<size_t>(index)].text[0]);
}

bool TDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
    GlyphRow row{item, toolkit::ColorToRGB(color_), toolkit::ColorToRGB(font_.Color()),
                 font_.Handle()};
    if (BeginGlyphRow(row) && item.itemID < entries_.size()) {
        const DriveEntry& entry = entries_[item.itemID];
        FinishGlyphRow(row, entry.glyph, entry.text, kGlyphTextOffset);
    }
    return true;
}

} // namespace browser
