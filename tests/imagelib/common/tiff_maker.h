// TIFF files built by the tests, for the layouts no corpus file has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace skytest {

// A classic TIFF file: the first directory at 8, its arrays at 512, the data
// from 4096; further directories and arrays go among the data.
class TiffMaker {
public:
    explicit TiffMaker(bool bigEndian = false) : bigEndian_(bigEndian) {}

    // Values of a byte, SHORT or LONG type; RATIONAL and DOUBLE types take
    // two values each (numerator and denominator, high and low half).
    void Tag(uint16_t tag, uint16_t type, const std::vector<uint32_t>& values);
    void Short(uint16_t tag, uint32_t value) { Tag(tag, 3, {value}); }
    void Long(uint16_t tag, uint32_t value) { Tag(tag, 4, {value}); }
    // An entry as given: `count` values of `type` at `field`, the offset or
    // the values themselves.
    void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t field);
    // The first directory's link to the next one.
    void Next(uint32_t offset) { next_ = offset; }

    // Adds bytes after the directory; returns their offset.
    uint32_t Data(const std::vector<uint8_t>& bytes);
    // Adds values of `type` in the file's byte order; returns their offset.
    uint32_t Array(uint16_t type, const std::vector<uint32_t>& values);
    // Adds the tags of `directory` as a directory linking to `next`; returns its offset.
    uint32_t Directory(const TiffMaker& directory, uint32_t next);
    // Where the next data goes.
    uint32_t End() const { return uint32_t(kDataStart + data_.size()); }
    // `v` in `bytes` bytes of the file's byte order.
    void Put(std::vector<uint8_t>& out, uint64_t v, unsigned bytes) const;

    std::vector<uint8_t> Bytes() const;

private:
    static constexpr size_t kArrays = 512, kDataStart = 4096;
    struct Value {
        uint16_t type = 0;
        uint32_t count = 0;
        std::vector<uint8_t> bytes; // the values, or the field itself when `raw`
        bool raw = false;
    };
    // Writes the directory at `at` into `out`, its arrays to `arrays` (at `arraysAt`).
    void Write(const std::map<uint16_t, Value>& tags, uint32_t next, std::vector<uint8_t>& out,
               std::vector<uint8_t>& arrays, size_t arraysAt) const;

    bool bigEndian_;
    uint32_t next_ = 0;
    std::map<uint16_t, Value> tags_;
    std::vector<uint8_t> data_;
};

// Width, height, 8-bit samples and photometric: the tags every picture has.
TiffMaker Picture(uint32_t width, uint32_t height, unsigned samples, unsigned photometric);

} // namespace skytest
