#include "tiff_tags.h"

#include <cstring>

namespace sky {

unsigned TiffTypeSize(uint32_t type) {
    static constexpr unsigned kSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < 14 ? kSize[type] : 0;
}

// All `length` bytes, or false.
bool TiffTags::Fetch(uint64_t offset, void* buffer, size_t length) const {
    return source_.ReadAt(offset, buffer, length) == length;
}

uint32_t TiffTags::Unsigned(const uint8_t* p, unsigned n) const {
    uint32_t v = 0;
    for (unsigned k = 0; k < n; ++k)
        v = v << 8 | p[big_ ? k : n - 1 - k];
    return v;
}

Status TiffTags::Read(uint64_t ifd) {
    entries_.clear();
    uint8_t head[2];
    if (!Fetch(ifd, head, 2))
        return Status::Corrupt;
    const uint32_t count = Unsigned(head, 2);
    std::vector<uint8_t> raw(12 * size_t{count} + 4);
    if (count == 0 || !Fetch(ifd + 2, raw.data(), 12 * size_t{count}))
        return Status::Corrupt;
    // A missing link reads as the end of the chain.
    next_ = Fetch(ifd + 2 + 12ull * count, raw.data() + 12 * size_t{count}, 4)
                ? Unsigned(raw.data() + 12 * size_t{count}, 4)
                : 0;
    entries_.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = raw.data() + 12 * size_t{i};
        TiffEntry& e = entries_[i];
        e.tag = static_cast<uint16_t>(Unsigned(p, 2));
        e.type = static_cast<uint16_t>(Unsigned(p + 2, 2));
        e.count = Unsigned(p + 4, 4);
        e.bytes = uint64_t{e.count} * TiffTypeSize(e.type);
        std::memcpy(e.inline_, p + 8, 4);
        e.at = e.bytes <= 4 ? ifd + 2 + 12ull * i + 8 : Unsigned(p + 8, 4);
        e.inFile = e.bytes > 0 && e.at <= source_.Size() && e.bytes <= source_.Size() - e.at;
    }
    return Status::Ok;
}

const TiffEntry* TiffTags::Find(uint16_t tag) const {
    for (const TiffEntry& e : entries_)
        if (e.tag == tag)
            return &e;
    return nullptr;
}

bool TiffTags::Value(const TiffEntry& e, uint64_t offset, uint8_t* out, unsigned n) const {
    if (e.bytes <= 4) {
        std::memcpy(out, e.inline_ + offset, n);
        return true;
    }
    if (!e.inFile || !Fetch(e.at + offset, out, n)) {
        failed_ = true;
        return false;
    }
    return true;
}

uint32_t TiffTags::Number(const TiffEntry& e, uint32_t index) const {
    const unsigned size = TiffTypeSize(e.type);
    if (index >= e.count ||
        !(e.type == kByte || e.type == 7 || e.type == kShort || e.type == kLong || e.type == 13))
        return 0;
    uint8_t v[4];
    return Value(e, uint64_t{index} * size, v, size) ? Unsigned(v, size) : 0;
}

uint32_t TiffTags::Number(uint16_t tag, uint32_t fallback, uint32_t index) const {
    const TiffEntry* e = Find(tag);
    return e && index < e->count ? Number(*e, index) : fallback;
}

double TiffTags::Real(const TiffEntry& e, uint32_t index) const {
    if (e.type != kRational)
        return Number(e, index);
    uint8_t v[8];
    if (index >= e.count || !Value(e, uint64_t{index} * 8, v, 8))
        return 0.0;
    const uint32_t den = Unsigned(v + 4, 4);
    return den ? double(Unsigned(v, 4)) / den : 0.0;
}

} // namespace sky
