#include "known_outcomes.h"

namespace skytest {

const std::map<std::string, std::string> kUnreadable = {
    {"jpeg/libjpeg-turbo/monkey12.jpg", "12-bit JPEG: Wine's decoder reads 8-bit samples only"},
    {"jpeg/jpeg-decoder/reftest/jpeg_lossless_sel1.jpg", "lossless JPEG (SOF3)"},
    {"tiff/libtiffpic/text.tif", "ThunderScan compression"},
    {"generated/tiff/rgb8_jpeg.tif", "JPEG-compressed TIFF"},
    {"tiff/libtiff-test/quad-tile.jpg.tiff", "JPEG-compressed TIFF"},
    {"tiff/libtiffpic/quad-jpeg.tif", "JPEG-compressed TIFF"},
    {"gif/gif-test-suite/max-width.gif", "65535 pixels wide: over the 32767-pixel limit"},
    {"gif/gif-test-suite/max-height.gif", "65535 pixels high: over the 32767-pixel limit"},
    // TIFF variants Wine's decoder does not read.
    {"generated/tiff/rgb8_planar_none.tif", "separate planes (PlanarConfiguration 2)"},
    {"tiff/libtiffpic/depth/flower-rgb-planar-08.tif", "separate planes"},
    {"tiff/libtiffpic/depth/flower-rgb-planar-16.tif", "separate planes"},
    {"tiff/libtiffpic/depth/flower-separated-planar-08.tif", "separate planes"},
    {"tiff/libtiffpic/depth/flower-minisblack-02.tif", "2-bit grey"},
    {"tiff/libtiffpic/depth/flower-minisblack-12.tif", "12-bit grey"},
    {"tiff/libtiffpic/depth/flower-rgb-contig-02.tif", "2 bits per RGB sample"},
    {"tiff/libtiffpic/depth/flower-palette-16.tif", "16-bit palette indices"},
    {"tiff/libtiffpic/depth/flower-separated-contig-16.tif", "16-bit CMYK"},
    {"tiff/libtiff-test/logluv-3c-16b.tiff", "SGI LogLuv"},
    {"tiff/libtiffpic/off_l16.tif", "SGI LogL"},
    {"tiff/libtiffpic/off_luv24.tif", "SGI LogLuv"},
    {"tiff/libtiffpic/off_luv32.tif", "SGI LogLuv"},
    {"tiff/libtiff-test/test_float64_predictor2_be_lzw.tif", "64-bit floating-point samples"},
    {"tiff/libtiff-test/test_float64_predictor2_le_lzw.tif", "64-bit floating-point samples"},
    {"tiff/libtiff-test/webp_lossless_rgba_alpha_fully_opaque.tif", "WebP compression"},
    {"tiff/libtiff-test/minisblack-2c-8b-alpha.tiff", "grey with alpha"},
    {"tiff/libtiff-test/testfax3_bug54_1dnoEOL.tif", "CCITT fax without EOL codes"},
    {"tiff/libtiff-test/testfax3_bug_513.tiff", "CCITT fax needing a newer libtiff"},
    {"tiff/libtiffpic/caspian.tif", "64-bit floating-point samples"},
    {"tiff/libtiffpic/dscf0013.tif", "subsampled YCbCr"},
    {"tiff/libtiffpic/oxford.tif", "RGB in separate planes"},
    {"tiff/libtiffpic/ycbcr-cat.tif", "subsampled YCbCr"},
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
