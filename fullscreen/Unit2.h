// TForm2: the full-screen view window; created hidden at start.
#pragma once

#include "toolkit/Form.h"

namespace fullscreen {

class TForm2 : public toolkit::TForm {
public:
    TForm2();
};

// The one full-screen window.
extern TForm2* Form2;

} // namespace fullscreen
