// The picture a fuzzed decoder writes into, kept small so that runs stay fast
// (the size limits have tests of their own).
#pragma once

#include "color.h"

#include <cstdint>
#include <vector>

namespace skytest {

class FuzzCanvas {
public:
    FuzzCanvas(uint32_t width, uint32_t height) {
        const uint64_t pixels = uint64_t{width} * height;
        if (pixels > (1u << 22))
            return;
        pixels_.resize(pixels * 3);
        view_ = {pixels_.data(), width, height, static_cast<ptrdiff_t>(width) * 3};
    }
    bool Usable() const { return view_.top != nullptr; }
    const sky::BgrView& View() const { return view_; }

private:
    std::vector<uint8_t> pixels_;
    sky::BgrView view_;
};

} // namespace skytest
