// Checks that a file holds all the data of its first picture, with sound
// structure, so that a truncated or damaged file is refused instead of shown
// half grey.
#pragma once

#include "format.h"
#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

// Ok, Corrupt (truncated or broken structure), Unsupported or UnknownFormat.
Status CheckComplete(Format format, const uint8_t* data, size_t size);

} // namespace sky
