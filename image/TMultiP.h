// TPMultiImage: the picture control. For now a plain window at its place in
// the layout that keeps its stored options; loading and painting come later.
#pragma once

#include "toolkit/Control.h"

#include <string>

namespace image {

class TPMultiImage : public toolkit::TControl {
public:
    explicit TPMultiImage(toolkit::TControl* parent);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

    bool SetProperty(const std::string& name, const toolkit::LayoutValue& value) override;

    // Makes "TPMultiImage" known to layouts.
    static void Register();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool stretch_ = false;
    std::string imageName_;
};

} // namespace image
