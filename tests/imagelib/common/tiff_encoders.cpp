#include "common/tiff_encoders.h"

#include <algorithm>
#include <utility>

namespace skytest {

std::vector<uint8_t> PackBits(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < bytes.size()) {
        size_t run = 1;
        while (i + run < bytes.size() && run < 128 && bytes[i + run] == bytes[i])
            ++run;
        if (run >= 3) {
            out.push_back(uint8_t(257 - run));
            out.push_back(bytes[i]);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < bytes.size() && literal < 128 &&
               !(i + literal + 2 < bytes.size() && bytes[i + literal] == bytes[i + literal + 1] &&
                 bytes[i + literal] == bytes[i + literal + 2]))
            ++literal;
        out.push_back(uint8_t(literal - 1));
        out.insert(out.end(), bytes.begin() + ptrdiff_t(i), bytes.begin() + ptrdiff_t(i + literal));
        i += literal;
    }
    return out;
}

namespace {

class MsbWriter {
public:
    void Write(unsigned code, unsigned bits) {
        buffer_ = (buffer_ << bits) | code;
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            out_.push_back(uint8_t(buffer_ >> count_));
        }
    }
    std::vector<uint8_t> Finish() {
        if (count_)
            out_.push_back(uint8_t(buffer_ << (8 - count_)));
        return std::move(out_);
    }

private:
    uint64_t buffer_ = 0;
    unsigned count_ = 0;
    std::vector<uint8_t> out_;
};

constexpr unsigned kClear = 256, kEnd = 257, kFirstFree = 258, kLastCode = 4093;

} // namespace

std::vector<uint8_t> LzwCodes(const std::vector<uint8_t>& bytes) {
    MsbWriter w;
    // The code of each string and a byte after it, 0 for none yet; kept
    // between calls, the entries used are cleared.
    static std::vector<uint16_t> table(size_t{kLastCode} * 256);
    std::vector<size_t> used;
    const auto clear = [&] {
        for (size_t k : used)
            table[k] = 0;
        used.clear();
    };
    unsigned bits = 9, next = kFirstFree;
    w.Write(kClear, bits);
    int current = -1;
    for (uint8_t b : bytes) {
        if (current < 0) {
            current = b;
            continue;
        }
        const size_t key = size_t(current) * 256 + b;
        if (table[key]) {
            current = table[key];
            continue;
        }
        w.Write(unsigned(current), bits);
        table[key] = uint16_t(next++);
        used.push_back(key);
        // The reader adds this entry a code later, then widens at one below the power.
        if (next == (1u << bits) && bits < 12)
            ++bits;
        if (next >= kLastCode) {
            w.Write(kClear, bits);
            clear();
            bits = 9;
            next = kFirstFree;
        }
        current = b;
    }
    clear();
    if (current >= 0)
        w.Write(unsigned(current), bits);
    w.Write(kEnd, bits);
    return w.Finish();
}

std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(bytes.size() - at, 65535);
        const bool last = at + n == bytes.size();
        out.insert(out.end(),
                   {uint8_t(last), uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
        out.insert(out.end(), bytes.begin() + ptrdiff_t(at), bytes.begin() + ptrdiff_t(at + n));
        at += n;
    } while (at < bytes.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : bytes) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    const uint32_t adler = (b << 16) | a;
    out.insert(out.end(),
               {uint8_t(adler >> 24), uint8_t(adler >> 16), uint8_t(adler >> 8), uint8_t(adler)});
    return out;
}

namespace {

uint64_t Sample(const uint8_t* p, unsigned bytes, bool bigEndian) {
    uint64_t v = 0;
    for (unsigned i = 0; i < bytes; ++i)
        v |= uint64_t{p[i]} << (8 * (bigEndian ? bytes - 1 - i : i));
    return v;
}

void SetSample(uint8_t* p, uint64_t v, unsigned bytes, bool bigEndian) {
    for (unsigned i = 0; i < bytes; ++i)
        p[i] = uint8_t(v >> (8 * (bigEndian ? bytes - 1 - i : i)));
}

// Each row's samples less the one a pixel before, from the row's end.
void DifferenceSamples(std::vector<uint8_t>& bytes, size_t rowBytes, unsigned samplesPerPixel,
                       unsigned sampleBytes, bool bigEndian) {
    const size_t step = size_t{samplesPerPixel} * sampleBytes;
    for (size_t row = 0; row + rowBytes <= bytes.size(); row += rowBytes)
        for (size_t at = rowBytes / sampleBytes * sampleBytes; at >= step + sampleBytes;) {
            at -= sampleBytes;
            uint8_t* p = &bytes[row + at];
            SetSample(p,
                      Sample(p, sampleBytes, bigEndian) - Sample(p - step, sampleBytes, bigEndian),
                      sampleBytes, bigEndian);
        }
}

} // namespace

void DifferenceRows(std::vector<uint8_t>& bytes, size_t rowBytes, unsigned samplesPerPixel,
                    unsigned sampleBytes, bool bigEndian) {
    if (rowBytes && sampleBytes)
        DifferenceSamples(bytes, rowBytes, samplesPerPixel, sampleBytes, bigEndian);
}

void DifferenceFloatRows(std::vector<uint8_t>& bytes, size_t rowBytes, unsigned samplesPerPixel,
                         unsigned sampleBytes, bool bigEndian) {
    if (!rowBytes || !sampleBytes)
        return;
    const size_t samples = rowBytes / sampleBytes;
    std::vector<uint8_t> row(rowBytes);
    for (size_t start = 0; start + rowBytes <= bytes.size(); start += rowBytes) {
        for (size_t s = 0; s < samples; ++s)
            for (unsigned k = 0; k < sampleBytes; ++k) // k-th most significant byte
                row[k * samples + s] =
                    bytes[start + s * sampleBytes + (bigEndian ? k : sampleBytes - 1 - k)];
        std::copy(row.begin(), row.end(), bytes.begin() + ptrdiff_t(start));
    }
    DifferenceSamples(bytes, rowBytes, samplesPerPixel, 1, bigEndian);
}

void ReverseBits(std::vector<uint8_t>& bytes) {
    for (uint8_t& b : bytes) {
        uint8_t r = 0;
        for (int i = 0; i < 8; ++i)
            r = uint8_t(r | (((b >> i) & 1) << (7 - i)));
        b = r;
    }
}

} // namespace skytest
