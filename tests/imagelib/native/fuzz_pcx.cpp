// PCX decoding of arbitrary bytes.
#include "fuzz_canvas.h"
#include "pcx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sky::PcxDecoder decoder;
    if (!sky::Succeeded(decoder.Open(data, size)))
        return 0;
    const skytest::FuzzCanvas canvas(decoder.Width(), decoder.Height());
    if (!canvas.Usable())
        return 0;
    decoder.Decode(canvas.View());
    for (const sky::Rgb8& c : decoder.Colours())
        (void)c;
    return 0;
}
