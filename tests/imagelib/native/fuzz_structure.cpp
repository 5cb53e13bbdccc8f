// The completeness checks (BMP headers and RLE, GIF blocks and LZW, JPEG
// markers, PNG chunks, TIFF directories), the GIF table insertion, the JPEG
// component naming and the BMP bit-field decoder.
#include "bmp.h"
#include "gif.h"
#include "jpeg.h"
#include "structure.h"
#include "tiff_layout.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const sky::Format format = sky::SniffFormat(data, size);
    sky::CheckComplete(format, data, size);
    sky::GifLayout layout;
    if (format == sky::Format::Gif && sky::Succeeded(sky::ReadGifLayout(data, size, layout)) &&
        layout.blackTable) {
        // The inserted table is the one the image then uses, and the check agrees.
        const std::vector<uint8_t> with = sky::WithBlackGlobalTable(data, size, layout);
        sky::GifLayout after;
        if (sky::ReadGifLayout(with.data(), with.size(), after) != sky::Status::Ok ||
            after.blackTable || after.colours != layout.colours ||
            sky::CheckGifImage(with.data(), with.size(), after) !=
                sky::CheckGifImage(data, size, layout))
            __builtin_trap();
    }
    std::vector<uint8_t> named, again;
    const bool rgb = size & 1;
    if (format == sky::Format::Jpeg && sky::NameJpegColours(data, size, rgb, named)) {
        // Named once, the stream keeps its structure and says its colours.
        if (sky::CheckJpegComplete(named.data(), named.size()) !=
                sky::CheckJpegComplete(data, size) ||
            sky::NameJpegColours(named.data(), named.size(), rgb, again))
            __builtin_trap();
    }
    sky::Palette colours;
    sky::ReadTiffColourMap(data, size, colours);
    sky::BmpHeader header;
    if (format == sky::Format::Bmp && sky::Succeeded(sky::ParseBmp(data, size, header)) &&
        header.HasMasks() && uint64_t{header.width} * header.height <= (1u << 22)) {
        std::vector<uint8_t> out(size_t{header.width} * header.height * 3);
        sky::DecodeBmpBitFields(
            header, data, size,
            {out.data(), header.width, header.height, static_cast<ptrdiff_t>(header.width) * 3});
    }
    return 0;
}
