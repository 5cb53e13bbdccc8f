// TIFF files composed from the fuzzer's bytes (tiff_composer.h) through the
// info query, the completeness check and the decoder: they agree on the
// picture's size, a JPEG chunk is asked for no more than the file declares,
// and the decode's work stays within its bound.
#include "fuzz_canvas.h"
#include "info.h"
#include "structure.h"
#include "tiff_composer.h"
#include "tiff_decode.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const skytest::ComposedTiff tiff = skytest::ComposeTiff(in);
    const std::vector<uint8_t>& file = tiff.bytes;
    sky::MemorySource source(file.data(), file.size());
    sky::PictureInfo info;
    const bool described = sky::Succeeded(sky::ReadPictureInfo(source, info));
    sky::CheckComplete(sky::Format::Tiff, file.data(), file.size());
    sky::TiffDecoder decoder;
    if (!sky::Succeeded(decoder.Open(file.data(), file.size())))
        return 0;
    if (described && (info.width != decoder.Width() || info.height != decoder.Height()))
        __builtin_trap();
    const skytest::FuzzCanvas canvas(decoder.Width(), decoder.Height());
    if (!canvas.Usable())
        return 0;
    const auto grey = [&tiff](const uint8_t*, size_t, uint32_t width, uint32_t height,
                              unsigned components, uint8_t* pixels) {
        if (width == 0 || height == 0 || width > tiff.jpegWidth || height > tiff.jpegHeight ||
            (components != 1 && components != 3))
            __builtin_trap();
        std::memset(pixels, 128, size_t{width} * height * components);
        return sky::Status::Ok;
    };
    decoder.Decode(canvas.View(), grey);
    // One decode's work within a small multiple of the picture (at most 64
    // bytes a pixel) plus the file, whatever its chunks claim.
    const uint64_t bound =
        4 * 64 * uint64_t{decoder.Width()} * decoder.Height() + file.size() + (uint64_t{32} << 20);
    if (decoder.WorkSpent() > decoder.WorkLimit() || decoder.WorkLimit() > bound)
        __builtin_trap();
    return 0;
}
