#include "known_outcomes.h"

namespace skytest {

const std::map<std::string, std::string> kUnreadable = {
    {"jpeg/libjpeg-turbo/monkey12.jpg", "12-bit JPEG: Wine's decoder reads 8-bit samples only"},
    {"jpeg/jpeg-decoder/reftest/jpeg_lossless_sel1.jpg", "lossless JPEG (SOF3)"},
    {"gif/gif-test-suite/max-width.gif", "65535 pixels wide: over the 32767-pixel limit"},
    {"gif/gif-test-suite/max-height.gif", "65535 pixels high: over the 32767-pixel limit"},
    // TIFF variants neither Wine's decoder nor ours reads.
    {"tiff/libtiffpic/text.tif", "ThunderScan compression"},
    {"tiff/libtiff-test/logluv-3c-16b.tiff", "SGI LogLuv"},
    {"tiff/libtiffpic/off_l16.tif", "SGI LogL"},
    {"tiff/libtiffpic/off_luv24.tif", "SGI LogLuv"},
    {"tiff/libtiffpic/off_luv32.tif", "SGI LogLuv"},
    {"tiff/libtiff-test/webp_lossless_rgba_alpha_fully_opaque.tif", "WebP compression"},
};

// Telling these from valid ones takes a full entropy decode, which WIC's
// decoder does leniently.
const std::map<std::string, std::string> kReadDespiteFaults = {
    {"jpeg/jpeg-decoder/crashtest/dc-predictor-overflow.jpg",
     "DC predictor overflow and a short last segment: libjpeg only warns"},
    {"jpeg/jpeg-decoder/crashtest/imagetestsuite/3976a754ef0aca80e84e2c403d714579.jpg",
     "damaged progressive scans that libjpeg decodes without complaint"},
    {"bmp/bmpsuite/b/baddens1.bmp", "an absurd density: it describes, it does not shape"},
    {"bmp/bmpsuite/b/baddens2.bmp", "an absurd density: it describes, it does not shape"},
    {"bmp/bmpsuite/b/badbitssize.bmp", "biSizeImage beyond the file; the pixels are all there"},
    {"bmp/bmpsuite/b/badfilesize.bmp", "bfSize beyond the file; the pixels are all there"},
    {"gif/gif-test-suite/plain-text.gif",
     "a plain-text block before a well-formed image; the suite wants no frame from it"},
};

} // namespace skytest
