// TIFF files composed from the fuzzer's bytes (tiff_composer.h) through the
// info query, the completeness check and the decoder: they agree on the
// picture's size; a JPEG chunk is asked for no more than the file declares,
// and its stream holds no more than the chunk (the platform decodes all of it).
#include "fuzz_canvas.h"
#include "info.h"
#include "structure.h"
#include "tiff_composer.h"
#include "tiff_decode.h"

#include <cstring>

namespace {

struct FrameSize {
    uint32_t width = 0, height = 0;
};

// The size in a JPEG stream's frame header, 0 x 0 without one.
FrameSize FrameOf(const uint8_t* s, size_t size) {
    size_t at = 2;
    while (at + 4 <= size && s[at] == 0xFF) {
        const uint8_t marker = s[at + 1];
        if (marker >= 0xC0 && marker <= 0xC2 && at + 9 <= size)
            return {uint32_t(s[at + 7] << 8 | s[at + 8]), uint32_t(s[at + 5] << 8 | s[at + 6])};
        if (marker == 0xDA)
            break;
        at += 2 + (size_t{s[at + 2]} << 8 | s[at + 3]);
    }
    return {};
}

uint32_t WholeBlocks(uint32_t n) {
    return (n + 15) / 16 * 16;
}

} // namespace

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
    const auto grey = [&tiff](const uint8_t* jpeg, size_t bytes, uint32_t width, uint32_t height,
                              unsigned components, uint8_t* pixels) {
        if (width == 0 || height == 0 || width > tiff.jpegWidth || height > tiff.jpegHeight ||
            (components != 1 && components != 3))
            __builtin_trap();
        const FrameSize frame = FrameOf(jpeg, bytes);
        if (frame.width > WholeBlocks(width) || frame.height > WholeBlocks(height))
            __builtin_trap();
        std::memset(pixels, 128, size_t{width} * height * components);
        return sky::Status::Ok;
    };
    decoder.Decode(canvas.View(), grey);
    // The work counter's bound goes here: decoder.WorkSpent() <= decoder.WorkLimit().
    return 0;
}
