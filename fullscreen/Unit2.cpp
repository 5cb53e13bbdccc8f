#include "fullscreen/Unit2.h"

namespace fullscreen {

TForm2* Form2 = nullptr;

TForm2::TForm2() {
    LoadLayout(toolkit::LoadLayoutResource("FORM2"));
}

} // namespace fullscreen
