#include "common/gif_maker.h"

#include <algorithm>

namespace skytest {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// The table's size field: 2^(field+1) entries.
uint8_t SizeField(size_t tableBytes) {
    uint8_t field = 0;
    while ((2u << field) * 3 < tableBytes)
        ++field;
    return field;
}

std::vector<uint8_t> Pack(const std::vector<uint16_t>& codes, unsigned minimum) {
    const unsigned clear = 1u << minimum;
    unsigned bits = minimum + 1, next = clear + 2;
    bool first = true;
    uint32_t buffer = 0;
    unsigned count = 0;
    std::vector<uint8_t> out;
    for (uint16_t code : codes) {
        buffer |= uint32_t{code} << count;
        count += bits;
        while (count >= 8) {
            out.push_back(static_cast<uint8_t>(buffer));
            buffer >>= 8;
            count -= 8;
        }
        if (code == clear) {
            bits = minimum + 1;
            next = clear + 2;
            first = true;
        } else if (first) {
            first = false;
        } else if (next < 4096 && ++next == (1u << bits) && bits < 12) {
            ++bits;
        }
    }
    if (count)
        out.push_back(static_cast<uint8_t>(buffer));
    return out;
}

} // namespace

std::vector<uint16_t> CodesOf(const std::vector<uint8_t>& indices, uint8_t minimumCodeSize) {
    const uint16_t clear = static_cast<uint16_t>(1u << minimumCodeSize);
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0)
            codes.push_back(clear);
        codes.push_back(indices[i]);
    }
    codes.push_back(static_cast<uint16_t>(clear + 1));
    return codes;
}

std::vector<uint16_t> LongRunCodes(uint8_t minimumCodeSize, size_t repeats) {
    const uint16_t clear = static_cast<uint16_t>(1u << minimumCodeSize);
    std::vector<uint16_t> codes = {clear, 0};
    for (unsigned code = clear + 2; code < 4096; ++code)
        codes.push_back(static_cast<uint16_t>(code));
    codes.insert(codes.end(), repeats, uint16_t{4095});
    codes.push_back(static_cast<uint16_t>(clear + 1));
    return codes;
}

std::vector<uint8_t> MakeGif(const GifPlan& plan) {
    const bool extension = plan.transparent >= 0;
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', extension ? uint8_t{'9'} : uint8_t{'7'}, 'a'};
    Put16(out, plan.screenWidth);
    Put16(out, plan.screenHeight);
    out.push_back(plan.globalTable.empty()
                      ? plan.sizeBits
                      : static_cast<uint8_t>(0x80 | SizeField(plan.globalTable.size())));
    out.push_back(static_cast<uint8_t>(plan.background));
    out.push_back(0);
    out.insert(out.end(), plan.globalTable.begin(), plan.globalTable.end());
    if (extension)
        out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(plan.transparent), 0});
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, plan.width);
    Put16(out, plan.height);
    out.push_back(plan.localTable.empty()
                      ? 0
                      : static_cast<uint8_t>(0x80 | SizeField(plan.localTable.size())));
    out.insert(out.end(), plan.localTable.begin(), plan.localTable.end());
    out.push_back(plan.minimumCodeSize);
    const std::vector<uint8_t> data = Pack(plan.codes, plan.minimumCodeSize);
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + i, data.begin() + i + n);
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

} // namespace skytest
