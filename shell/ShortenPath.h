// Shortens a folder path for a caption of limited width.
#pragma once

#include <cstdint>
#include <string>

namespace shell {

// Drops leading folder names after the first "\" and marks the gap with
// "...": C:\PROGRAMS\PICTURES\HOLIDAY\1997\BEACH with 30 gives
// C:\...\HOLIDAY\1997\BEACH. Returns the path itself when it fits or when
// shortening would not make it shorter.
std::string ShortenPath(const std::string& path, std::uint8_t maxLength);

} // namespace shell
