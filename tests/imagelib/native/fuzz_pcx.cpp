// PCX decoding of arbitrary bytes.
#include "pcx.h"
#include "size_limits.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sky::PcxDecoder decoder;
    if (!sky::Succeeded(decoder.Open(data, size)))
        return 0;
    const uint64_t pixels = uint64_t{decoder.Width()} * decoder.Height();
    if (pixels > (1u << 22))
        return 0; // keep runs fast; the limits are tested elsewhere
    std::vector<uint8_t> out(pixels * 3);
    decoder.Decode({out.data(), decoder.Width(), decoder.Height(),
                    static_cast<ptrdiff_t>(decoder.Width()) * 3});
    for (const sky::Rgb8& c : decoder.Colours())
        (void)c;
    return 0;
}
