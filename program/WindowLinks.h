// WindowLinks: the two windows connected for as long as it lives. The view
// steps through the browser's list and gets each picture the browser loads;
// FULLVIEW opens it.
#pragma once

#include "browser/Unit1.h"
#include "fullscreen/Unit2.h"

namespace program {

class WindowLinks {
public:
    WindowLinks(browser::TForm1& browser, fullscreen::TForm2& view);
    ~WindowLinks();
    WindowLinks(const WindowLinks&) = delete;
    WindowLinks& operator=(const WindowLinks&) = delete;

private:
    browser::TForm1& browser_;
    fullscreen::TForm2& view_;
};

} // namespace program
