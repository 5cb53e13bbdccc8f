// TIFF files built by the tests, for the layouts no corpus file has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace skytest {

// A little-endian file: one directory of UNDEFINED, SHORT or LONG tags, then the data.
class TiffMaker {
public:
    void Tag(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
        tags_[tag] = {type, std::move(values)};
    }
    void Short(uint16_t tag, uint32_t value) { Tag(tag, 3, {value}); }
    void Long(uint16_t tag, uint32_t value) { Tag(tag, 4, {value}); }
    // Adds bytes after the directory; returns their offset.
    uint32_t Data(const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> Bytes() const;

private:
    static constexpr size_t kArrays = 512, kDataStart = 4096;
    std::map<uint16_t, std::pair<uint16_t, std::vector<uint32_t>>> tags_;
    std::vector<uint8_t> data_;
};

// Width, height, 8-bit samples and photometric: the tags every picture has.
TiffMaker Picture(uint32_t width, uint32_t height, unsigned samples, unsigned photometric);

} // namespace skytest
