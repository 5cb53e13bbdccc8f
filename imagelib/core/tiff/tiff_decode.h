// TIFF reader for the first directory: strips and tiles, uncompressed,
// PackBits, LZW, Deflate, fax and JPEG (through a callback), to 8-bit BGR.
#pragma once

#include "color.h"
#include "status.h"
#include "tiff_layout.h"
#include "work_counter.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace sky {

// Decodes one complete JPEG stream (a strip or tile with its tables) to
// `components` (1 grey, 3 RGB in R,G,B order) 8-bit samples per pixel, rows of
// width*components bytes, exactly width x height pixels.
using JpegStreamDecoder = std::function<Status(const uint8_t* jpeg, size_t size, uint32_t width,
                                               uint32_t height, unsigned components, uint8_t* out)>;

class TiffDecoder {
public:
    // Reads the first directory. Ok when this decoder reads its layout;
    // Unsupported for what it leaves out; Corrupt or TooLarge as the other readers.
    Status Open(const uint8_t* data, size_t size); // data outlives the decoder
    uint32_t Width() const { return layout_.width; }
    uint32_t Height() const { return layout_.height; }
    bool NeedsJpeg() const { return open_ && layout_.Jpeg(); }
    // A layout the platform decoder reads but shows wrongly: signed samples
    // (it takes them as unsigned).
    bool PlatformMisreads() const { return open_ && layout_.sampleFormat == 2; }
    // Writes out.width x out.height BGR pixels (out sized Width() x Height()),
    // extra alpha composed over white. `jpeg` may be empty when !NeedsJpeg().
    // TooLarge once the work would pass WorkLimit().
    Status Decode(const BgrView& out, const JpegStreamDecoder& jpeg);
    // The last decode's work, and the most one decode of this file may do.
    uint64_t WorkSpent() const { return work_.Spent(); }
    uint64_t WorkLimit() const { return work_.Limit(); }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    TiffLayout layout_;
    WorkCounter work_;
    bool open_ = false;
};

} // namespace sky
