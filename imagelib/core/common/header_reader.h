// What the format readers of the information query share: bounded reads of
// header fields and the description text.
#pragma once

#include "info.h"

#include <cstring>
#include <string>
#include <string_view>

namespace sky {

// Reads header fields: the first KiB at once, further bytes within the budget.
class HeaderReader {
public:
    explicit HeaderReader(ByteSource& source) : source_(source), size_(source.Size()) {
        headLength_ = source_.ReadAt(0, head_, sizeof head_);
        spent_ = headLength_;
    }

    uint64_t Size() const { return size_; }
    const uint8_t* Head() const { return head_; }
    size_t HeadLength() const { return headLength_; }

    bool Read(uint64_t offset, void* dst, size_t length) {
        if (offset > size_ || length > size_ - offset)
            return false;
        if (offset + length <= headLength_) {
            std::memcpy(dst, head_ + offset, length);
            return true;
        }
        if (length > kInfoReadBudget - spent_)
            return false;
        spent_ += length;
        return source_.ReadAt(offset, dst, length) == length;
    }

    bool U8(uint64_t offset, unsigned& v) {
        uint8_t b;
        if (!Read(offset, &b, 1))
            return false;
        v = b;
        return true;
    }
    bool U16(uint64_t offset, bool bigEndian, unsigned& v) {
        uint8_t b[2];
        if (!Read(offset, b, 2))
            return false;
        v = bigEndian ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]);
        return true;
    }
    bool U32(uint64_t offset, bool bigEndian, uint32_t& v) {
        uint8_t b[4];
        if (!Read(offset, b, 4))
            return false;
        v = bigEndian ? (uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3])
                      : (uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0]);
        return true;
    }

private:
    ByteSource& source_;
    uint64_t size_;
    uint8_t head_[kInfoHeadBytes];
    size_t headLength_ = 0;
    size_t spent_ = 0;
};

// "NAME BPP-bit KIND, EXTRA", cut to the description's length; the extra
// part only when it fits whole.
std::string Describe(std::string_view name, unsigned bpp, std::string_view kind,
                     std::string_view extra = {});

// A readable header whose size is out of range still reports its fields.
Status SizeStatus(const PictureInfo& info);

} // namespace sky
