#include "tiff_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sky {

SampleLayout SamplesOf(const TiffLayout& d) {
    SampleLayout l;
    l.bits = d.bits;
    l.floating = d.floating;
    l.signedSamples = d.sampleFormat == 2;
    l.colourSamples = d.ColourSamples();
    l.samples = d.samples;
    l.photometric = d.photometric;
    l.planar = d.planar == 2;
    l.bigEndian = d.bigEndian;
    l.alpha = d.alpha;
    l.colours = &d.colours;
    return l;
}

unsigned JpegComponents(const TiffLayout& d) {
    return d.ColourSamples() == 1 ? 1 : 3;
}

SampleLayout JpegSamplesOf(const TiffLayout& d) {
    SampleLayout l;
    l.samples = JpegComponents(d);
    l.colourSamples = l.samples;
    l.photometric = l.samples == 1 ? d.photometric : 2;
    return l;
}

namespace {

// `n` bytes from `p` in the file's byte order.
uint64_t Unsigned(const uint8_t* p, unsigned n, bool bigEndian) {
    uint64_t v = 0;
    for (unsigned k = 0; k < n; ++k)
        v = v << 8 | p[bigEndian ? k : n - 1 - k];
    return v;
}

// An IEEE sample clamped to 0..1 and scaled to 16 bits, NaN as 0.
uint32_t Float16(const uint8_t* p, unsigned bits, bool bigEndian) {
    const uint64_t raw = Unsigned(p, bits / 8, bigEndian);
    double v = 0;
    if (bits == 64) {
        std::memcpy(&v, &raw, sizeof v);
    } else {
        const uint32_t raw32 = static_cast<uint32_t>(raw);
        float f = 0;
        std::memcpy(&f, &raw32, sizeof f);
        v = f;
    }
    if (!(v > 0))
        return 0;
    return v >= 1 ? 65535 : static_cast<uint32_t>(std::lround(v * 65535));
}

// Sample `i` of a row of packed samples, as it is stored.
uint32_t StoredAt(const uint8_t* row, size_t i, const SampleLayout& l) {
    switch (l.bits) {
    case 8:
        return row[i];
    case 16:
        return static_cast<uint32_t>(Unsigned(row + 2 * i, 2, l.bigEndian));
    case 32:
        return static_cast<uint32_t>(Unsigned(row + 4 * i, 4, l.bigEndian));
    case 12: {
        const uint8_t* p = row + i * 3 / 2;
        return i % 2 ? ((p[0] & 0x0F) << 8 | p[1]) : (p[0] << 4 | p[1] >> 4);
    }
    default: {
        const size_t bit = i * l.bits;
        const uint8_t byte = row[bit / 8];
        return (byte >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
    }
    }
}

// Sample `i` as a value from 0 up: IEEE samples in 16 bits, signed ones
// moved up by half the range so that zero is the middle.
uint32_t SampleAt(const uint8_t* row, size_t i, const SampleLayout& l) {
    if (l.floating)
        return Float16(row + i * (l.bits / 8), l.bits, l.bigEndian);
    const uint32_t v = StoredAt(row, i, l);
    return l.signedSamples ? v ^ (uint32_t{1} << (l.bits - 1)) : v;
}

uint32_t MaxValue(unsigned bits) {
    return static_cast<uint32_t>((uint64_t{1} << bits) - 1);
}

// Scaled to 8 bits as ImageMagick does: small depths rounded, deeper ones
// through 16 bits, then truncated.
uint8_t To8(uint32_t v, unsigned bits) {
    if (bits == 8)
        return static_cast<uint8_t>(v);
    const uint64_t max = MaxValue(bits);
    if (bits < 8)
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    const uint64_t v16 = bits == 16 ? v : (v * uint64_t{65535} + max / 2) / max;
    return static_cast<uint8_t>(v16 / 257);
}

// Linear light to an sRGB level.
uint8_t SrgbLevel(double v) {
    v = std::clamp(v, 0.0, 1.0);
    const double coded = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::lround(coded * 255));
}

// 8-bit CIELab (L* in 0..255, a* and b* signed) relative to the D50 white,
// as the common decoders and ICC profiles take it, to sRGB: XYZ, then the
// sRGB primaries adapted to D50 (Bradford).
Rgb8 LabToSrgb(uint32_t l8, uint32_t a8, uint32_t b8) {
    const double fy = (l8 * 100.0 / 255 + 16) / 116;
    const double fx = fy + static_cast<int8_t>(a8) / 500.0;
    const double fz = fy - static_cast<int8_t>(b8) / 200.0;
    const auto f = [](double t) {
        return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29);
    };
    const double x = 0.9642 * f(fx), y = f(fy), z = 0.8249 * f(fz);
    return {SrgbLevel(3.1338561 * x - 1.6168667 * y - 0.4906146 * z),
            SrgbLevel(-0.9787684 * x + 1.9161415 * y + 0.0334540 * z),
            SrgbLevel(0.0719453 * x - 0.2289914 * y + 1.4052427 * z)};
}

uint8_t Cmyk(uint8_t ink, uint8_t black) {
    return static_cast<uint8_t>(((255 - ink) * (255 - black) + 127) / 255);
}

// Premultiplied colour over white: back to straight colour first, truncated
// as ImageMagick gives it.
uint8_t PremultipliedOverWhite(uint8_t value, uint8_t alpha) {
    if (alpha == 0)
        return 255;
    const unsigned straight = std::min(255u, value * 255u / alpha);
    return OverWhite(straight, alpha);
}

} // namespace

void RowWriter::Unpack(const uint8_t* const* planes, size_t offset, uint32_t width) {
    const unsigned n = layout_.samples;
    samples_.resize(size_t{width} * n);
    if (!layout_.planar) {
        for (size_t i = 0; i < samples_.size(); ++i)
            samples_[i] = SampleAt(planes[0] + offset, i, layout_);
        return;
    }
    for (unsigned s = 0; s < n; ++s)
        for (uint32_t x = 0; x < width; ++x)
            samples_[size_t{x} * n + s] = SampleAt(planes[s] + offset, x, layout_);
}

Rgb8 RowWriter::Colour(const uint32_t* s) const {
    const unsigned bits = ValueBits();
    switch (layout_.photometric) {
    case 0: {
        const uint8_t g = To8(MaxValue(bits) - s[0], bits);
        return {g, g, g};
    }
    case 2:
        return {To8(s[0], bits), To8(s[1], bits), To8(s[2], bits)};
    case 3:
        return s[0] < layout_.colours->size() ? (*layout_.colours)[s[0]] : Rgb8{};
    case 5: {
        const uint8_t k = To8(s[3], bits);
        return {Cmyk(To8(s[0], bits), k), Cmyk(To8(s[1], bits), k), Cmyk(To8(s[2], bits), k)};
    }
    case 8:
        return LabToSrgb(s[0], s[1], s[2]);
    default: {
        const uint8_t g = To8(s[0], bits);
        return {g, g, g};
    }
    }
}

bool RowWriter::WriteDirect(const uint8_t* plane, size_t rowBytes, const ChunkArea& area,
                            const BgrView& out) const {
    const SampleLayout& l = layout_;
    const bool rgb = l.photometric == 2 && l.samples >= 3;
    if (l.bits != 8 || l.floating || l.signedSamples || l.planar || l.alpha != TiffAlpha::None ||
        !(rgb || l.photometric == 1))
        return false;
    const unsigned n = l.samples;
    for (uint32_t r = 0; r < area.rows; ++r) {
        const uint8_t* src = plane + r * rowBytes;
        uint8_t* bgr = out.Row(area.y + r) + size_t{area.x} * 3;
        for (uint32_t x = 0; x < area.width; ++x, src += n, bgr += 3) {
            bgr[0] = src[rgb ? 2 : 0];
            bgr[1] = src[rgb ? 1 : 0];
            bgr[2] = src[0];
        }
    }
    return true;
}

void RowWriter::Write(const uint8_t* const* planes, size_t rowBytes, const ChunkArea& area,
                      const BgrView& out) {
    if (WriteDirect(planes[0], rowBytes, area, out))
        return;
    const unsigned n = layout_.samples;
    const unsigned alphaAt = layout_.colourSamples;
    for (uint32_t r = 0; r < area.rows; ++r) {
        Unpack(planes, r * rowBytes, area.width);
        uint8_t* bgr = out.Row(area.y + r) + size_t{area.x} * 3;
        for (uint32_t x = 0; x < area.width; ++x, bgr += 3) {
            const uint32_t* s = &samples_[size_t{x} * n];
            const Rgb8 c = Colour(s);
            const uint8_t rgb[3] = {c.r, c.g, c.b};
            const uint8_t a = layout_.alpha == TiffAlpha::None ? 255 : To8(s[alphaAt], ValueBits());
            for (int k = 0; k < 3; ++k) {
                const uint8_t v = rgb[2 - k];
                bgr[k] = layout_.alpha == TiffAlpha::Associated ? PremultipliedOverWhite(v, a)
                                                                : OverWhite(v, a);
            }
        }
    }
}

namespace {

double Coded(double v, double black, double white, double range) {
    const double span = white - black;
    return (v - black) * range / (span != 0 ? span : 1);
}

uint8_t Clamp8(double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

YCbCrWriter::YCbCrWriter(const TiffLayout& d)
    : subX_(d.subX), subY_(d.subY), luma_{d.luma[0], d.luma[1], d.luma[2]} {
    const double* rbw = d.referenceBlackWhite;
    for (unsigned v = 0; v < 256; ++v) {
        yTable_[v] = Coded(v, rbw[0], rbw[1], 255);
        cbTable_[v] = Coded(v, rbw[2], rbw[3], 127);
        crTable_[v] = Coded(v, rbw[4], rbw[5], 127);
    }
}

Rgb8 YCbCrWriter::Convert(unsigned y, unsigned cb, unsigned cr) const {
    const double luma = yTable_[y];
    const double r = luma + crTable_[cr] * (2 - 2 * luma_[0]);
    const double b = luma + cbTable_[cb] * (2 - 2 * luma_[2]);
    const double g = (luma - luma_[2] * b - luma_[0] * r) / luma_[1];
    return {Clamp8(r), Clamp8(g), Clamp8(b)};
}

void YCbCrWriter::Write(const uint8_t* blocks, uint32_t chunkWidth, const ChunkArea& area,
                        const BgrView& out) const {
    const uint32_t across = (chunkWidth + subX_ - 1) / subX_;
    const unsigned blockBytes = subX_ * subY_ + 2;
    for (uint32_t y = 0; y < area.rows; ++y) {
        uint8_t* bgr = out.Row(area.y + y) + size_t{area.x} * 3;
        for (uint32_t x = 0; x < area.width; ++x, bgr += 3) {
            const uint8_t* block = blocks + (uint64_t{y / subY_} * across + x / subX_) * blockBytes;
            const Rgb8 c = Convert(block[y % subY_ * subX_ + x % subX_], block[blockBytes - 2],
                                   block[blockBytes - 1]);
            bgr[0] = c.b;
            bgr[1] = c.g;
            bgr[2] = c.r;
        }
    }
}

} // namespace sky
