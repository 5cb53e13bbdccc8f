// Picture formats, recognised by content.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sky {

enum class Format { Unknown, Bmp, Gif, Jpeg, Pcx, Png, Tiff };

// Bytes needed by SniffFormat to decide.
constexpr size_t kSniffBytes = 16;

Format SniffFormat(const uint8_t* data, size_t size);

// "BMP", "GIF", "JPEG", "PCX", "PNG", "TIFF"; "" for Unknown.
const char* FormatName(Format format);

} // namespace sky
