// TIFF as the information query and the completeness check see it.
#pragma once

#include "header_reader.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

Status ReadTiffInfo(HeaderReader& r, PictureInfo& info);

// Every directory of the file inside it; the first one's chunks too.
Status CheckTiffComplete(const uint8_t* data, size_t size);

} // namespace sky
