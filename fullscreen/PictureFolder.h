// PictureFolder: what the full-screen view needs of the folder it steps
// through. The browser provides it; the program connects the two.
#pragma once

#include <windows.h>

#include <string>

namespace fullscreen {

class PictureFolder {
public:
    virtual ~PictureFolder() = default;

    // The selected entry's full path, "" when nothing is selected.
    virtual std::string SelectedEntryPath() const = 0;
    // The selected entry's index, -1 for none.
    virtual int SelectedEntry() const = 0;
    virtual int EntryCount() const = 0;
    // An entry's text as listed ("[name]" for a folder).
    virtual std::string EntryText(int index) const = 0;
    // Selects an entry; -1 clears the selection.
    virtual void SelectEntry(int index) = 0;
    // Loads a picture into the folder's window, which passes it on to the view.
    virtual void LoadPicture(const std::string& path) = 0;
    virtual void SetNameText(const std::string& name) = 0;
    // The size of the picture last loaded (0, 0 for none).
    virtual SIZE PictureSize() const = 0;
};

} // namespace fullscreen
