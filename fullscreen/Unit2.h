// TForm2: the full-screen view window; created hidden at start.
#pragma once

#include "image/TMultiP.h"
#include "toolkit/Form.h"

#include <string>

namespace fullscreen {

class TForm2 : public toolkit::TForm {
public:
    TForm2();

    image::TPMultiImage* PMultiImage1;

private:
    bool stopFlag_ = false;
    bool pictureFlag_ = false;
    std::string lastShownPath_;
};

// The one full-screen window.
extern TForm2* Form2;

} // namespace fullscreen
