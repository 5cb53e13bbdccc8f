// TIFF decoding of arbitrary bytes, JPEG chunks given to a callback that
// fills grey.
#include "fuzz_canvas.h"
#include "tiff_decode.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sky::TiffDecoder decoder;
    if (!sky::Succeeded(decoder.Open(data, size)))
        return 0;
    const skytest::FuzzCanvas canvas(decoder.Width(), decoder.Height());
    if (!canvas.Usable())
        return 0;
    const auto grey = [](const uint8_t*, size_t, uint32_t width, uint32_t height,
                         unsigned components, uint8_t* pixels) {
        std::memset(pixels, 128, size_t{width} * height * components);
        return sky::Status::Ok;
    };
    decoder.Decode(canvas.View(), grey);
    return 0;
}
