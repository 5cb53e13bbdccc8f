// Picture information from the file headers, without decoding pixels.
#pragma once

#include "format.h"
#include "status.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sky {

// Random access to a file's bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to `length` bytes at `offset`; returns the count read.
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t length) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t length) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// Most bytes one query reads from a file.
constexpr size_t kInfoReadBudget = 64 * 1024;
// Bytes read at once from the start of the file.
constexpr size_t kInfoHeadBytes = 1024;
// Longest description, without the terminating zero.
constexpr size_t kDescriptionMax = 25;

struct PictureInfo {
    Format format = Format::Unknown;
    uint32_t width = 0;
    uint32_t height = 0;
    // bits * planes = bits per pixel as stored in the file.
    unsigned bits = 0;
    unsigned planes = 0;
    // Entries of the file's colour table, 0 without one.
    unsigned colours = 0;
    std::string description;
    // A variant that few decoders read: 12-bit, lossless or hierarchical
    // JPEG; TIFF compressed other than none, CCITT, LZW, Deflate or PackBits.
    bool rareVariant = false;
};

// Fills what the headers tell, also when the status is a failure.
Status ReadPictureInfo(ByteSource& source, PictureInfo& info);

} // namespace sky
