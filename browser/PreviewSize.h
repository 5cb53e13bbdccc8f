// Sizes of the preview frame and picture control, and the colour text of the info panel.
#pragma once

#include <string>

namespace browser {

struct PreviewSize {
    int frameWidth, frameHeight;
    int imageWidth, imageHeight;
};

// The design sizes: frame 360 x 272, control 352 x 264.
constexpr PreviewSize kDesignPreview{360, 272, 352, 264};

// Natural size, or stretched into the 352 x 424 box (one pixel over the exact aspect).
PreviewSize FitPreviewSize(int width, int height, bool stretch);

// "2", "4", "16", "256", "16M", "4B" or "N/A" for a number of bits per pixel.
std::string ColourText(int bitsPerPixel);

} // namespace browser
