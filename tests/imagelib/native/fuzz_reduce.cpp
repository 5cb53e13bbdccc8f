// Colour reduction: the input's first bytes choose the size, depth and
// dither; the rest are the pixels.
#include "reduce.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const uint32_t width = 1 + data[0] % 64;
    const unsigned bits = data[1] % 3 == 0 ? 1 : data[1] % 3 == 1 ? 4 : 8;
    const bool dither = data[2] & 1;
    const bool withSource = data[2] & 2;
    data += 3;
    size -= 3;
    const uint32_t height = static_cast<uint32_t>(size / (size_t{width} * 3));
    if (height == 0)
        return 0;
    std::vector<uint8_t> pixels(data, data + size_t{width} * 3 * height);
    const sky::BgrView view{pixels.data(), width, height, static_cast<ptrdiff_t>(width) * 3};
    sky::Palette source;
    if (withSource)
        for (size_t i = 0; i + 2 < size && source.size() < 16; i += 3)
            source.push_back({data[i], data[i + 1], data[i + 2]});
    const sky::Palette palette = sky::ChoosePalette(view, 1u << bits, source);
    if (palette.empty() || palette.size() > (1u << bits))
        __builtin_trap();
    const size_t stride = (size_t{width} * bits + 31) / 32 * 4;
    std::vector<uint8_t> indices(stride * height);
    sky::MapToPalette(view, palette, dither, indices.data(), static_cast<ptrdiff_t>(stride), bits);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* row = indices.data() + stride * y;
            const unsigned index = bits == 8   ? row[x]
                                   : bits == 4 ? (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15
                                               : (row[x / 8] >> (7 - x % 8)) & 1;
            if (index >= palette.size())
                __builtin_trap();
        }
    return 0;
}
