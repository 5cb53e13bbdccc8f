#include "program/WindowLinks.h"

namespace program {

WindowLinks::WindowLinks(browser::TForm1& browser, fullscreen::TForm2& view)
    : browser_(browser), view_(view) {
    view_.SetPictureFolder(&browser_);
    browser_.SetFullViewLink(
        {[this](const toolkit::TPicture& picture) { view_.ShowPicture(picture); },
         [this] { view_.ClearPicture(); }, [this] { view_.ShowMaximized(); }});
}

WindowLinks::~WindowLinks() {
    browser_.SetFullViewLink({});
    view_.SetPictureFolder(nullptr);
}

} // namespace program
