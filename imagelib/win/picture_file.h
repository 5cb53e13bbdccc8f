// Opening picture files: a read-only mapping for decoding, small reads for
// the information query.
#pragma once

#include "handles.h"
#include "info.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

// Largest file the readers map (WIC reads memory streams of up to 4 GiB).
constexpr uint64_t kMaxFileSize = uint64_t{1} << 31;

class PictureFile {
public:
    Status Open(const char* path);
    const uint8_t* Data() const { return static_cast<const uint8_t*>(view_.Get()); }
    size_t Size() const { return size_; }

private:
    UniqueHandle file_;
    UniqueHandle mapping_;
    MappedView view_;
    size_t size_ = 0;
};

class FileSource : public ByteSource {
public:
    Status Open(const char* path);
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t length) override;

private:
    UniqueHandle file_;
    uint64_t size_ = 0;
};

} // namespace sky
