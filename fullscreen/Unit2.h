// TForm2: the full-screen view window; created hidden at start, shown by
// FULLVIEW. It scrolls a large picture and steps through a folder of pictures.
#pragma once

#include "fullscreen/PictureFolder.h"
#include "image/TMultiP.h"
#include "toolkit/Form.h"

#include <string>

namespace fullscreen {

class TForm2 : public toolkit::TForm {
public:
    TForm2();

    image::TPMultiImage* PMultiImage1;

    // The folder the view steps through; none until one is set.
    void SetPictureFolder(PictureFolder* folder) { folder_ = folder; }
    // The picture the view shows from now on, and none.
    void ShowPicture(const toolkit::TPicture& picture);
    void ClearPicture();

    void FormShow(toolkit::TControl* sender);
    void FormClick(toolkit::TControl* sender);
    void FormClose(toolkit::TControl* sender, toolkit::TCloseAction& action);
    void FormKeyPress(toolkit::TControl* sender, char& key);
    void FormKeyDown(toolkit::TControl* sender, WORD& key, unsigned shift);
    void PlaceFullScreenImage();
    void ShowSelectedPicture();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    PictureFolder* folder_ = nullptr;
    bool stopFlag_ = false;
    bool pictureFlag_ = false;
    std::string lastShownPath_;
};

// Where a scrolling key moves a picture of the given position and size on a
// client area of the given size; the position is unchanged when it does not move.
POINT ScrolledPosition(WORD key, POINT position, SIZE picture, SIZE client);
// True for exactly one of Shift, Alt and Ctrl with no mouse button.
bool IsSingleModifier(unsigned shift, bool mouseButtonDown);

// The one full-screen window.
extern TForm2* Form2;

} // namespace fullscreen
