// Palette choice, nearest colour and dithering.
#include "reduce.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace {

using sky::Palette;
using sky::Rgb8;

struct Picture {
    uint32_t width, height;
    std::vector<uint8_t> bgr;
    Picture(uint32_t w, uint32_t h) : width(w), height(h), bgr(size_t{w} * h * 3) {}
    sky::BgrView View() { return {bgr.data(), width, height, static_cast<ptrdiff_t>(width) * 3}; }
    void Set(uint32_t x, uint32_t y, Rgb8 c) {
        uint8_t* p = bgr.data() + (size_t{y} * width + x) * 3;
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }
};

// A smooth gradient with some noise: many colours.
Picture Photo(uint32_t w, uint32_t h) {
    Picture p(w, h);
    std::mt19937 random(7);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            p.Set(x, y,
                  {static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h),
                   static_cast<uint8_t>((x + y + random() % 16) % 256)});
    return p;
}

std::vector<unsigned> Indices(const std::vector<uint8_t>& packed, uint32_t w, uint32_t h,
                              size_t stride, unsigned bits) {
    std::vector<unsigned> out;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* row = packed.data() + stride * y;
            out.push_back(bits == 8   ? row[x]
                          : bits == 4 ? (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15
                                      : (row[x / 8] >> (7 - x % 8)) & 1);
        }
    return out;
}

TEST(Reduce, FewColoursAreKeptExactlyAndMapBackExactly) {
    Picture p(20, 10);
    const Rgb8 colours[3] = {{255, 0, 0}, {0, 0, 255}, {12, 34, 56}};
    for (uint32_t y = 0; y < 10; ++y)
        for (uint32_t x = 0; x < 20; ++x)
            p.Set(x, y, colours[(x + y) % 3]);
    const Palette palette = sky::ChoosePalette(p.View(), 16);
    ASSERT_EQ(palette.size(), 3u);
    std::vector<uint8_t> packed(12 * 10);
    sky::MapToPalette(p.View(), palette, true, packed.data(), 12, 4);
    const auto idx = Indices(packed, 20, 10, 12, 4);
    for (uint32_t i = 0; i < idx.size(); ++i)
        EXPECT_EQ(palette[idx[i]], colours[(i % 20 + i / 20) % 3]) << i;
}

TEST(Reduce, ASourcePaletteThatHoldsEveryColourIsKeptInItsOrder) {
    Picture p(4, 1);
    const Palette source = {{9, 9, 9}, {1, 2, 3}, {200, 100, 0}, {7, 7, 7}};
    p.Set(0, 0, source[2]);
    p.Set(1, 0, source[1]);
    p.Set(2, 0, source[2]);
    p.Set(3, 0, source[1]);
    EXPECT_EQ(sky::ChoosePalette(p.View(), 16, source), source);
    // Too big for the depth: the used colours only.
    EXPECT_EQ(sky::ChoosePalette(p.View(), 2, source).size(), 2u);
    // A colour missing from the source palette: not kept.
    p.Set(0, 0, {1, 1, 1});
    EXPECT_NE(sky::ChoosePalette(p.View(), 16, source), source);
}

TEST(Reduce, ManyColoursGiveAtMostTheLimit) {
    Picture p = Photo(300, 200);
    for (unsigned limit : {256u, 16u, 2u}) {
        const Palette palette = sky::ChoosePalette(p.View(), limit);
        EXPECT_LE(palette.size(), limit);
        EXPECT_GE(palette.size(), limit / 2) << "median cut stopped early";
    }
}

TEST(Reduce, NearestColourEqualsABruteForceSearch) {
    std::mt19937 random(3);
    Palette palette;
    for (int i = 0; i < 200; ++i)
        palette.push_back({static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                           static_cast<uint8_t>(random())});
    sky::NearestColour nearest(palette);
    for (int i = 0; i < 20000; ++i) {
        const unsigned r = random() & 255, g = random() & 255, b = random() & 255;
        unsigned best = 0, bestD = ~0u;
        for (unsigned k = 0; k < palette.size(); ++k) {
            const int dr = palette[k].r - int(r), dg = palette[k].g - int(g),
                      db = palette[k].b - int(b);
            const unsigned d = unsigned(dr * dr + dg * dg + db * db);
            if (d < bestD) {
                bestD = d;
                best = k;
            }
        }
        ASSERT_EQ(nearest.Find(r, g, b), best) << r << "," << g << "," << b;
    }
}

// Mean of each 4x4 block against the original's: dithering keeps local
// averages; nearest colour does not.
double BlockError(const Picture& p, const Palette& palette, const std::vector<unsigned>& idx) {
    double sum = 0;
    size_t n = 0;
    for (uint32_t by = 0; by + 4 <= p.height; by += 4)
        for (uint32_t bx = 0; bx + 4 <= p.width; bx += 4)
            for (int c = 0; c < 3; ++c) {
                double a = 0, b = 0;
                for (uint32_t y = by; y < by + 4; ++y)
                    for (uint32_t x = bx; x < bx + 4; ++x) {
                        a += p.bgr[(size_t{y} * p.width + x) * 3 + c];
                        const Rgb8& q = palette[idx[size_t{y} * p.width + x]];
                        b += c == 0 ? q.b : c == 1 ? q.g : q.r;
                    }
                sum += std::abs(a - b) / 16;
                ++n;
            }
    return sum / n;
}

TEST(Reduce, DitheringKeepsLocalAveragesCloserThanNearestColour) {
    Picture p = Photo(256, 128);
    for (unsigned bits : {8u, 4u, 1u}) {
        const Palette palette = sky::ChoosePalette(p.View(), 1u << bits);
        const size_t stride = (256 * bits + 31) / 32 * 4;
        std::vector<uint8_t> plain(stride * 128), dithered(stride * 128);
        sky::MapToPalette(p.View(), palette, false, plain.data(), ptrdiff_t(stride), bits);
        sky::MapToPalette(p.View(), palette, true, dithered.data(), ptrdiff_t(stride), bits);
        const double e0 = BlockError(p, palette, Indices(plain, 256, 128, stride, bits));
        const double e1 = BlockError(p, palette, Indices(dithered, 256, 128, stride, bits));
        EXPECT_LT(e1, e0) << bits << " bits";
    }
}

TEST(Reduce, NegativeStrideWritesBottomUpRows) {
    Picture p(2, 2);
    p.Set(0, 0, {255, 255, 255});
    p.Set(1, 0, {255, 255, 255});
    const Palette palette = {{0, 0, 0}, {255, 255, 255}};
    uint8_t rows[2][4] = {};
    // Row 0 shown first lives in memory row 1.
    sky::MapToPalette(p.View(), palette, false, rows[1], -4, 8);
    EXPECT_EQ(rows[1][0], 1);
    EXPECT_EQ(rows[0][0], 0);
}

TEST(Reduce, VgaPaletteHasTheSixteenStandardColours) {
    const Palette& vga = sky::VgaPalette();
    ASSERT_EQ(vga.size(), 16u);
    EXPECT_EQ(vga[0], (Rgb8{0, 0, 0}));
    EXPECT_EQ(vga[7], (Rgb8{192, 192, 192}));
    EXPECT_EQ(vga[8], (Rgb8{128, 128, 128}));
    EXPECT_EQ(vga[15], (Rgb8{255, 255, 255}));
    std::set<std::tuple<int, int, int>> distinct;
    for (const Rgb8& c : vga)
        distinct.insert({c.r, c.g, c.b});
    EXPECT_EQ(distinct.size(), 16u);
}

} // namespace
