#include "browser/PreviewSize.h"

#include <cmath>

namespace browser {

PreviewSize FitPreviewSize(int width, int height, bool stretch) {
    if (!stretch)
        return {width + 8, height + 8, width, height};
    double r = static_cast<double>(width) / height;
    // std::nearbyint rounds halves to the even neighbour.
    if (r > 352.0 / 424.0) {
        int h = static_cast<int>(std::nearbyint(352.0 / r));
        return {360, h + 9, 352, h + 1};
    }
    int w = static_cast<int>(std::nearbyint(424.0 * width / height));
    return {w + 9, 432, w + 1, 424};
}

std::string ColourText(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return "2";
    case 2:
        return "4";
    case 4:
        return "16";
    case 8:
        return "256";
    case 24:
        return "16M";
    case 32:
        return "4B";
    default:
        return "N/A";
    }
}

} // namespace browser
