// Bounded reads of a TIFF file in its byte order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sky {

class TiffBytes {
public:
    TiffBytes(const uint8_t* data, size_t size, bool bigEndian)
        : data_(data), size_(size), big_(bigEndian) {}
    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    uint32_t U16(uint64_t o) const {
        const uint8_t* p = data_ + o;
        return big_ ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
    }
    uint32_t U32(uint64_t o) const {
        const uint8_t* p = data_ + o;
        return big_ ? (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3])
                    : (uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
    }
    const uint8_t* At(uint64_t o) const { return data_ + o; }
    size_t Size() const { return size_; }
    bool BigEndian() const { return big_; }

private:
    const uint8_t* data_;
    size_t size_;
    bool big_;
};

} // namespace sky
