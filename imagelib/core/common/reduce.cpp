#include "reduce.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace sky {

namespace {

constexpr unsigned kUnbuilt = 0xFFFF;

uint32_t Key(const uint8_t* bgr) {
    return uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
}

// The picture's distinct colours in order of appearance, or empty when
// there are more than `limit`.
Palette DistinctColours(const BgrView& picture, unsigned limit) {
    constexpr size_t kSlots = 1024; // power of two, over 2 * 256
    std::array<uint32_t, kSlots> table;
    table.fill(0xFFFFFFFF);
    Palette found;
    uint32_t last = 0xFFFFFFFF;
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* p = picture.Row(y);
        for (uint32_t x = 0; x < picture.width; ++x, p += 3) {
            const uint32_t key = Key(p);
            if (key == last)
                continue;
            last = key;
            size_t slot = (key * 2654435761u) >> 22 & (kSlots - 1);
            while (table[slot] != key && table[slot] != 0xFFFFFFFF)
                slot = (slot + 1) & (kSlots - 1);
            if (table[slot] == key)
                continue;
            if (found.size() == limit)
                return {};
            table[slot] = key;
            found.push_back({p[2], p[1], p[0]});
        }
    }
    return found;
}

struct Bin {
    float r, g, b;
    uint32_t count;
};

struct Box {
    size_t begin, end;
    double count;
    double sum[3];
    double error; // sum of squared distances to the mean
};

double Channel(const Bin& bin, int c) {
    return c == 0 ? bin.r : c == 1 ? bin.g : bin.b;
}

void Measure(const std::vector<Bin>& bins, Box& box) {
    double sq = 0;
    box.count = 0;
    box.sum[0] = box.sum[1] = box.sum[2] = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        const Bin& bin = bins[i];
        for (int c = 0; c < 3; ++c) {
            const double v = Channel(bin, c);
            box.sum[c] += v * bin.count;
            sq += v * v * bin.count;
        }
        box.count += bin.count;
    }
    box.error = sq;
    for (double s : box.sum)
        box.error -= s * s / box.count;
}

// Splits along the channel of widest variance at the cut that leaves the
// least squared error in the two halves.
bool Split(std::vector<Bin>& bins, Box& box, Box& other) {
    if (box.end - box.begin < 2)
        return false;
    double mean[3], var[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c)
        mean[c] = box.sum[c] / box.count;
    for (size_t i = box.begin; i < box.end; ++i)
        for (int c = 0; c < 3; ++c) {
            const double d = Channel(bins[i], c) - mean[c];
            var[c] += d * d * bins[i].count;
        }
    const int axis = var[0] >= var[1] && var[0] >= var[2] ? 0 : var[1] >= var[2] ? 1 : 2;
    std::sort(bins.begin() + box.begin, bins.begin() + box.end,
              [axis](const Bin& a, const Bin& b) { return Channel(a, axis) < Channel(b, axis); });

    double leftCount = 0, leftSum[3] = {0, 0, 0};
    double best = std::numeric_limits<double>::max();
    size_t cut = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
        leftCount += bins[i].count;
        for (int c = 0; c < 3; ++c)
            leftSum[c] += Channel(bins[i], c) * bins[i].count;
        const double rightCount = box.count - leftCount;
        if (rightCount <= 0)
            break;
        // Minimising the halves' error is maximising this.
        double gain = 0;
        for (int c = 0; c < 3; ++c) {
            const double rs = box.sum[c] - leftSum[c];
            gain += leftSum[c] * leftSum[c] / leftCount + rs * rs / rightCount;
        }
        if (-gain < best) {
            best = -gain;
            cut = i + 1;
        }
    }
    other = {cut, box.end, 0, {0, 0, 0}, 0};
    box.end = cut;
    Measure(bins, box);
    Measure(bins, other);
    return true;
}

uint8_t Round255(double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

Palette MedianCut(const BgrView& picture, unsigned maxColours) {
    // 6 bits per channel; counts fit 32 bits within the pixel limit.
    auto key = [](const uint8_t* p) {
        return uint32_t{p[2]} >> 2 << 12 | uint32_t{p[1]} >> 2 << 6 | uint32_t{p[0]} >> 2;
    };
    std::vector<Bin> bins;
    auto addBin = [&bins](uint32_t n, const uint64_t* sum) {
        const double d = n;
        bins.push_back({static_cast<float>(static_cast<double>(sum[0]) / d),
                        static_cast<float>(static_cast<double>(sum[1]) / d),
                        static_cast<float>(static_cast<double>(sum[2]) / d), n});
    };
    const uint64_t pixels = uint64_t{picture.width} * picture.height;
    if (pixels < (1u << 16)) {
        // Small pictures: sorting the keys beats clearing a 2^18 table.
        std::vector<uint64_t> keyed;
        keyed.reserve(static_cast<size_t>(pixels));
        for (uint32_t y = 0; y < picture.height; ++y) {
            const uint8_t* p = picture.Row(y);
            for (uint32_t x = 0; x < picture.width; ++x, p += 3)
                keyed.push_back(uint64_t{key(p)} << 24 | uint64_t{p[2]} << 16 |
                                uint64_t{p[1]} << 8 | p[0]);
        }
        std::sort(keyed.begin(), keyed.end());
        for (size_t i = 0; i < keyed.size();) {
            uint64_t sum[3] = {0, 0, 0};
            uint32_t n = 0;
            const uint64_t bin = keyed[i] >> 24;
            for (; i < keyed.size() && keyed[i] >> 24 == bin; ++i, ++n) {
                sum[0] += keyed[i] >> 16 & 0xFF;
                sum[1] += keyed[i] >> 8 & 0xFF;
                sum[2] += keyed[i] & 0xFF;
            }
            addBin(n, sum);
        }
    } else {
        std::vector<uint32_t> count(1 << 18, 0);
        std::vector<std::array<uint64_t, 3>> sum(1 << 18, {0, 0, 0});
        for (uint32_t y = 0; y < picture.height; ++y) {
            const uint8_t* p = picture.Row(y);
            for (uint32_t x = 0; x < picture.width; ++x, p += 3) {
                const uint32_t i = key(p);
                ++count[i];
                sum[i][0] += p[2];
                sum[i][1] += p[1];
                sum[i][2] += p[0];
            }
        }
        for (size_t i = 0; i < count.size(); ++i)
            if (count[i])
                addBin(count[i], sum[i].data());
    }
    if (bins.empty())
        return {};

    std::vector<Box> boxes;
    boxes.push_back({0, bins.size(), 0, {0, 0, 0}, 0});
    Measure(bins, boxes[0]);
    while (boxes.size() < maxColours) {
        size_t pick = boxes.size();
        double worst = 0;
        for (size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i].end - boxes[i].begin > 1 && boxes[i].error > worst) {
                worst = boxes[i].error;
                pick = i;
            }
        if (pick == boxes.size())
            break;
        Box other;
        if (!Split(bins, boxes[pick], other))
            break;
        boxes.push_back(other);
    }

    Palette palette;
    for (const Box& box : boxes)
        palette.push_back({Round255(box.sum[0] / box.count), Round255(box.sum[1] / box.count),
                           Round255(box.sum[2] / box.count)});

    // k-means over the histogram bins moves each colour to its cluster's mean.
    for (int pass = 0; pass < 2; ++pass) {
        NearestColour nearest(palette);
        std::vector<std::array<double, 4>> acc(palette.size(), {0, 0, 0, 0});
        for (const Bin& bin : bins) {
            const uint8_t k = nearest.Find(Round255(bin.r), Round255(bin.g), Round255(bin.b));
            acc[k][0] += double{bin.r} * bin.count;
            acc[k][1] += double{bin.g} * bin.count;
            acc[k][2] += double{bin.b} * bin.count;
            acc[k][3] += bin.count;
        }
        for (size_t k = 0; k < palette.size(); ++k)
            if (acc[k][3] > 0)
                palette[k] = {Round255(acc[k][0] / acc[k][3]), Round255(acc[k][1] / acc[k][3]),
                              Round255(acc[k][2] / acc[k][3])};
    }
    return palette;
}

unsigned Distance(const Rgb8& c, unsigned r, unsigned g, unsigned b) {
    const int dr = int{c.r} - static_cast<int>(r);
    const int dg = int{c.g} - static_cast<int>(g);
    const int db = int{c.b} - static_cast<int>(b);
    return static_cast<unsigned>(dr * dr + dg * dg + db * db);
}

// Squared distance from a value to the range [lo, hi], and to its far end.
void AxisRange(int v, int lo, int hi, int& nearD, int& farD) {
    nearD = v < lo ? lo - v : v > hi ? v - hi : 0;
    farD = std::max(std::abs(v - lo), std::abs(v - hi));
}

class IndexWriter {
public:
    IndexWriter(uint8_t* row, unsigned bits) : row_(row), bits_(bits) {}
    void Put(uint32_t x, uint8_t index) {
        switch (bits_) {
        case 8:
            row_[x] = index;
            break;
        case 4: {
            uint8_t& b = row_[x >> 1];
            b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (index & 0x0F))
                        : static_cast<uint8_t>((b & 0x0F) | index << 4);
            break;
        }
        default: {
            uint8_t& b = row_[x >> 3];
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
            b = (index & 1) ? (b | bit) : (b & ~bit);
            break;
        }
        }
    }

private:
    uint8_t* row_;
    unsigned bits_;
};

} // namespace

const Palette& VgaPalette() {
    static const Palette vga = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    return vga;
}

Palette ChoosePalette(const BgrView& picture, unsigned maxColours, const Palette& source) {
    maxColours = std::clamp(maxColours, 1u, 256u);
    Palette distinct = DistinctColours(picture, maxColours);
    if (!distinct.empty()) {
        if (!source.empty() && source.size() <= maxColours &&
            std::all_of(distinct.begin(), distinct.end(), [&](const Rgb8& c) {
                return std::find(source.begin(), source.end(), c) != source.end();
            }))
            return source;
        return distinct;
    }
    return MedianCut(picture, maxColours);
}

NearestColour::NearestColour(const Palette& palette)
    : palette_(palette), cellStart_(32 * 32 * 32, 0), cellCount_(32 * 32 * 32, kUnbuilt) {
    if (palette_.empty())
        palette_.push_back({0, 0, 0});
    if (palette_.size() > 256)
        palette_.resize(256);
}

void NearestColour::BuildCell(unsigned cell) {
    const int lo[3] = {static_cast<int>(cell >> 10) << 3, static_cast<int>(cell >> 5 & 31) << 3,
                       static_cast<int>(cell & 31) << 3};
    unsigned nearest[256], farthest = std::numeric_limits<unsigned>::max();
    for (size_t i = 0; i < palette_.size(); ++i) {
        const int v[3] = {palette_[i].r, palette_[i].g, palette_[i].b};
        unsigned n = 0, f = 0;
        for (int c = 0; c < 3; ++c) {
            int nd, fd;
            AxisRange(v[c], lo[c], lo[c] + 7, nd, fd);
            n += static_cast<unsigned>(nd * nd);
            f += static_cast<unsigned>(fd * fd);
        }
        nearest[i] = n;
        farthest = std::min(farthest, f);
    }
    cellStart_[cell] = static_cast<uint32_t>(candidates_.size());
    uint16_t count = 0;
    for (size_t i = 0; i < palette_.size(); ++i)
        if (nearest[i] <= farthest) {
            candidates_.push_back(static_cast<uint8_t>(i));
            ++count;
        }
    cellCount_[cell] = count;
}

uint8_t NearestColour::Find(unsigned r, unsigned g, unsigned b) {
    const unsigned cell = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    if (cellCount_[cell] == kUnbuilt)
        BuildCell(cell);
    const uint8_t* c = candidates_.data() + cellStart_[cell];
    uint8_t best = c[0];
    unsigned bestD = Distance(palette_[best], r, g, b);
    for (unsigned i = 1; i < cellCount_[cell]; ++i) {
        const unsigned d = Distance(palette_[c[i]], r, g, b);
        if (d < bestD || (d == bestD && c[i] < best)) {
            bestD = d;
            best = c[i];
        }
    }
    return best;
}

void MapToPalette(const BgrView& picture, const Palette& palette, bool dither, uint8_t* indexTop,
                  ptrdiff_t indexStride, unsigned bitsPerIndex) {
    auto indexRow = [&](uint32_t y) { return indexTop + indexStride * static_cast<ptrdiff_t>(y); };
    if (palette.empty())
        return;
    NearestColour nearest(palette);
    const uint32_t w = picture.width;
    if (!dither) {
        for (uint32_t y = 0; y < picture.height; ++y) {
            const uint8_t* p = picture.Row(y);
            IndexWriter out(indexRow(y), bitsPerIndex);
            uint32_t lastKey = 0xFFFFFFFF;
            uint8_t last = 0;
            for (uint32_t x = 0; x < w; ++x, p += 3) {
                const uint32_t key = Key(p);
                if (key != lastKey) {
                    lastKey = key;
                    last = nearest.Find(p[2], p[1], p[0]);
                }
                out.Put(x, last);
            }
        }
        return;
    }

    // Errors in sixteenths, one pixel of margin on each side; serpentine.
    std::vector<int> errors[2] = {std::vector<int>((size_t{w} + 2) * 3, 0),
                                  std::vector<int>((size_t{w} + 2) * 3, 0)};
    const Rgb8* colours = palette.data();
    for (uint32_t y = 0; y < picture.height; ++y) {
        std::vector<int>& cur = errors[y & 1];
        std::vector<int>& next = errors[(y & 1) ^ 1];
        std::fill(next.begin(), next.end(), 0);
        const uint8_t* row = picture.Row(y);
        IndexWriter out(indexRow(y), bitsPerIndex);
        const bool forward = (y & 1) == 0;
        const int step = forward ? 1 : -1;
        for (uint32_t i = 0; i < w; ++i) {
            const uint32_t x = forward ? i : w - 1 - i;
            const uint8_t* p = row + size_t{x} * 3;
            int* e = &cur[(size_t{x} + 1) * 3];
            int v[3];
            // R, G, B from the B, G, R pixel.
            for (int c = 0; c < 3; ++c)
                v[c] = std::clamp(int{p[2 - c]} + ((e[c] + 8) >> 4), 0, 255);
            const uint8_t k = nearest.Find(static_cast<unsigned>(v[0]), static_cast<unsigned>(v[1]),
                                           static_cast<unsigned>(v[2]));
            out.Put(x, k);
            const int chosen[3] = {colours[k].r, colours[k].g, colours[k].b};
            int* ahead = e + 3 * step;
            int* below = &next[(size_t{x} + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                const int err = v[c] - chosen[c];
                ahead[c] += err * 7;
                below[c - 3 * step] += err * 3;
                below[c] += err * 5;
                below[c + 3 * step] += err;
            }
        }
    }
}

} // namespace sky
