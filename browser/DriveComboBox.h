// The drive box: a drop-down list of the machine's drives with their glyphs.
#pragma once

#include "browser/Glyphs.h"
#include "toolkit/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace browser {

// What the drive box asks the system; tests put a machine of their own here.
struct DriveProbe {
    std::function<DWORD()> logicalDrives;
    std::function<UINT(const std::string& root)> driveType;
    // False when the label cannot be read.
    std::function<bool(const std::string& root, std::string& label)> volumeLabel;
    // False when the drive has no connection.
    std::function<bool(const std::string& drive, std::string& remote)> remoteName;

    static DriveProbe System();
};

struct DriveEntry {
    std::string text;
    GlyphKind glyph;
};

// The entries in drive letter order, texts as the box shows them.
std::vector<DriveEntry> ReadDriveEntries(const DriveProbe& probe);

class TDriveComboBox : public toolkit::TControl {
public:
    explicit TDriveComboBox(toolkit::TControl* parent);

    // The probe used when the window is created (set before CreateHandle).
    static void SetProbe(DriveProbe probe);

    // The selected drive's letter; 0 while a folder without one is shown.
    char Drive() const { return drive_; }
    // Any character other than a drive letter ("\\" of a share) selects no
    // drive and raises no change.
    void SelectDrive(char letter);
    const std::vector<DriveEntry>& Entries() const { return entries_; }
    int ItemIndex() const;

    bool SetProperty(const std::string& name, const toolkit::LayoutValue& value) override;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void CommandNotify(WORD code) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void SelectEntryOf(char letter);

    char drive_;
    std::vector<DriveEntry> entries_;
};

} // namespace browser
