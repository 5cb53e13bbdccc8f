#include "common/tiff_maker.h"

namespace skytest {

namespace {

// Bytes per value as written; RATIONAL and DOUBLE values come as two halves.
unsigned Unit(uint16_t type) {
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
        return 1;
    case 3:
    case 8:
        return 2;
    default:
        return 4;
    }
}

bool TwoHalves(uint16_t type) {
    return type == 5 || type == 10 || type == 12;
}

} // namespace

void TiffMaker::Put(std::vector<uint8_t>& out, uint64_t v, unsigned bytes) const {
    for (unsigned i = 0; i < bytes; ++i)
        out.push_back(uint8_t(v >> (8 * (bigEndian_ ? bytes - 1 - i : i))));
}

void TiffMaker::Tag(uint16_t tag, uint16_t type, const std::vector<uint32_t>& values) {
    Value value;
    value.type = type;
    value.count = uint32_t(TwoHalves(type) ? values.size() / 2 : values.size());
    for (uint32_t v : values)
        Put(value.bytes, v, Unit(type));
    tags_[tag] = std::move(value);
}

void TiffMaker::Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t field) {
    Value value;
    value.type = type;
    value.count = count;
    value.raw = true;
    Put(value.bytes, field, 4);
    tags_[tag] = std::move(value);
}

uint32_t TiffMaker::Data(const std::vector<uint8_t>& bytes) {
    const uint32_t at = End();
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return at;
}

uint32_t TiffMaker::Array(uint16_t type, const std::vector<uint32_t>& values) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : values)
        Put(bytes, v, Unit(type));
    return Data(bytes);
}

void TiffMaker::Write(const std::map<uint16_t, Value>& tags, uint32_t next,
                      std::vector<uint8_t>& out, std::vector<uint8_t>& arrays,
                      size_t arraysAt) const {
    Put(out, tags.size(), 2);
    for (const auto& [tag, value] : tags) {
        Put(out, tag, 2);
        Put(out, value.type, 2);
        Put(out, value.count, 4);
        if (value.raw || value.bytes.size() <= 4) {
            std::vector<uint8_t> field = value.bytes;
            field.resize(4);
            out.insert(out.end(), field.begin(), field.end());
        } else {
            Put(out, arraysAt + arrays.size(), 4);
            arrays.insert(arrays.end(), value.bytes.begin(), value.bytes.end());
        }
    }
    Put(out, next, 4);
}

uint32_t TiffMaker::Directory(const TiffMaker& directory, uint32_t next) {
    const uint32_t at = End();
    std::vector<uint8_t> out, arrays;
    Write(directory.tags_, next, out, arrays, at + 6 + 12 * directory.tags_.size());
    out.insert(out.end(), arrays.begin(), arrays.end());
    return Data(out);
}

std::vector<uint8_t> TiffMaker::Bytes() const {
    std::vector<uint8_t> out;
    if (bigEndian_)
        out = {'M', 'M', 0, 42};
    else
        out = {'I', 'I', 42, 0};
    Put(out, 8, 4);
    std::vector<uint8_t> arrays;
    Write(tags_, next_, out, arrays, kArrays);
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
