// Colour types shared by the decoders and the colour reduction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sky {

struct Rgb8 {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb8&, const Rgb8&) = default;
};

using Palette = std::vector<Rgb8>;

// Straight alpha composed over white, rounded.
constexpr uint8_t OverWhite(unsigned value, unsigned alpha) {
    return static_cast<uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

// A true-colour picture, B, G, R per pixel. `top` is the first row shown;
// a negative stride walks a bottom-up DIB.
struct BgrView {
    uint8_t* top = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    ptrdiff_t stride = 0;
    uint8_t* Row(uint32_t y) const { return top + stride * static_cast<ptrdiff_t>(y); }
};

} // namespace sky
