// The file list: the entries of one folder, sub-folders in brackets, each
// with a glyph, sorted as the system's sorted list sorts; keeps the name box
// up to date with the selected entry.
#pragma once

#include "browser/Glyphs.h"
#include "toolkit/Control.h"

#include <map>
#include <string>
#include <vector>

namespace toolkit {
class TEdit;
}

namespace browser {

// The glyph of a file entry by its name: programs, batch files and PIFs get their own.
GlyphKind FileGlyph(const std::string& name);
// Whether a folder-listing entry with these attributes is shown.
bool IsListedAttribute(DWORD attributes);

class TFileListBox : public toolkit::TControl {
public:
    explicit TFileListBox(toolkit::TControl* parent);

    const std::string& ShownFolder() const { return shownFolder_; }
    const std::string& Mask() const { return mask_; }
    int Count() const;
    std::string Item(int index) const;
    GlyphKind ItemGlyph(int index) const;
    // Every entry's text in list order.
    const std::vector<std::string>& Entries() const { return entries_; }
    int ItemIndex() const;
    // Selects without any notification.
    void SetItemIndex(int index);
    std::string SelectedName() const;
    std::string SelectedPath() const;

    // "C:", "[SUB]", "[..]" or "C:\PICS\": moves the list to that drive or folder.
    void ApplyPath(const std::string& text);
    // Reads the shown folder again.
    void Refill();

    toolkit::TEdit* FileEdit() const { return fileEdit_; }
    void SetFileEdit(toolkit::TEdit* edit) { fileEdit_ = edit; }

    bool SetProperty(const std::string& name, const toolkit::LayoutValue& value) override;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void CommandNotify(WORD code) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void ChangeFolder(const std::string& folder);
    void ReadFolder();
    void UpdateFileEdit();

    std::string shownFolder_;
    std::vector<std::string> entries_;
    std::string mask_ = "*.*";
    toolkit::TEdit* fileEdit_ = nullptr;
    int lastEditIndex_ = -2;
    int itemHeight_ = 16;
};

// The folder last shown on each drive since the program started.
std::string DriveCurrentFolder(char drive);

} // namespace browser
