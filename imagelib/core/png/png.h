// PNG: the header fields and the chunk structure.
#pragma once

#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

Status ReadPngInfo(HeaderReader& r, PictureInfo& info);

// Chunks in order, critical ones with sound checksums, up to IEND.
Status CheckPngComplete(const uint8_t* data, size_t size);

// CRC-32 as PNG chunks use it.
uint32_t Crc32(const uint8_t* data, size_t size);

} // namespace sky
