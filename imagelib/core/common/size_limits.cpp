#include "size_limits.h"

namespace sky {

Status CheckPictureSize(uint64_t width, uint64_t height) {
    if (width == 0 || height == 0)
        return Status::Corrupt;
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        return Status::TooLarge;
    return Status::Ok;
}

} // namespace sky
