#include "common/tiff_maker.h"

namespace skytest {

namespace {

void Put(std::vector<uint8_t>& out, uint64_t v, unsigned bytes) {
    for (unsigned i = 0; i < bytes; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

} // namespace

uint32_t TiffMaker::Data(const std::vector<uint8_t>& bytes) {
    const uint32_t at = uint32_t(kDataStart + data_.size());
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return at;
}

std::vector<uint8_t> TiffMaker::Bytes() const {
    std::vector<uint8_t> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
    Put(out, tags_.size(), 2);
    std::vector<uint8_t> arrays;
    for (const auto& [tag, value] : tags_) {
        const unsigned unit = value.first == 3 ? 2 : value.first == 7 ? 1 : 4;
        Put(out, tag, 2);
        Put(out, value.first, 2);
        Put(out, value.second.size(), 4);
        std::vector<uint8_t> bytes;
        for (uint32_t v : value.second)
            Put(bytes, v, unit);
        if (bytes.size() > 4) {
            Put(out, kArrays + arrays.size(), 4);
            arrays.insert(arrays.end(), bytes.begin(), bytes.end());
        } else {
            bytes.resize(4);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
    }
    Put(out, 0, 4);
    out.resize(kArrays, 0);
    out.insert(out.end(), arrays.begin(), arrays.end());
    out.resize(kDataStart, 0);
    out.insert(out.end(), data_.begin(), data_.end());
    return out;
}

TiffMaker Picture(uint32_t width, uint32_t height, unsigned samples, unsigned photometric) {
    TiffMaker t;
    t.Long(256, width);
    t.Long(257, height);
    t.Tag(258, 3, std::vector<uint32_t>(samples, 8));
    t.Short(262, photometric);
    t.Short(277, samples);
    return t;
}

} // namespace skytest
