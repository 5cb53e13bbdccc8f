#include "fullscreen/Unit2.h"

namespace fullscreen {

TForm2* Form2 = nullptr;

TForm2::TForm2() {
    image::TPMultiImage::Register();
    LoadLayout(toolkit::LoadLayoutResource("FORM2"));
    PMultiImage1 = Find<image::TPMultiImage>("PMultiImage1");
}

} // namespace fullscreen
