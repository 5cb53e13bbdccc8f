// Fields of up to 24 bits read from a byte string, each byte from its lowest
// bit (Deflate) or its highest (LZW).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace sky {

template <bool LowFirst> class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    // False when the data ends first.
    bool Take(unsigned n, uint32_t& v) {
        while (count_ < n) {
            if (pos_ >= size_)
                return false;
            if constexpr (LowFirst)
                buffer_ |= uint64_t{data_[pos_++]} << count_;
            else
                buffer_ = buffer_ << 8 | data_[pos_++];
            count_ += 8;
        }
        count_ -= n;
        const uint64_t mask = (uint64_t{1} << n) - 1;
        if constexpr (LowFirst) {
            v = static_cast<uint32_t>(buffer_ & mask);
            buffer_ >>= n;
        } else {
            v = static_cast<uint32_t>((buffer_ >> count_) & mask);
        }
        return true;
    }
    // Drops the bits left of the current byte.
    void AlignToByte() {
        static_assert(LowFirst);
        buffer_ >>= count_ % 8;
        count_ -= count_ % 8;
    }
    // Whole bytes after AlignToByte: first those buffered, then from the data.
    bool Bytes(uint8_t* out, size_t n) {
        static_assert(LowFirst);
        for (; n && count_ >= 8; --n, count_ -= 8, buffer_ >>= 8)
            *out++ = static_cast<uint8_t>(buffer_);
        if (n > size_ - pos_)
            return false;
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint64_t buffer_ = 0;
    unsigned count_ = 0;
};

} // namespace sky
