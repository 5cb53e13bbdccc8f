#include "dib.h"

#include "size_limits.h"

#include <algorithm>
#include <vector>

namespace sky {

Status CreateDib(uint32_t width, uint32_t height, unsigned bitsPerPixel, const Palette& colours,
                 DibSection& dib) {
    Status s = CheckPictureSize(width, height);
    if (!Succeeded(s))
        return s;
    const uint64_t stride = DibStride(width, bitsPerPixel);
    if (stride * height > 0x7FFFFFFFu)
        return Status::TooLarge;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = static_cast<LONG>(width);
    info.header.biHeight = static_cast<LONG>(height);
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    if (bitsPerPixel <= 8) {
        const size_t count = std::min<size_t>(colours.size(), size_t{1} << bitsPerPixel);
        info.header.biClrUsed = static_cast<DWORD>(count);
        for (size_t i = 0; i < count; ++i)
            info.table[i] = {colours[i].b, colours[i].g, colours[i].r, 0};
    }
    void* bits = nullptr;
    dib.bitmap = GdiObject<HBITMAP>(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                                     DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.bitmap || !bits) {
        dib.bitmap.Reset();
        return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? Status::OutOfMemory
                                                         : Status::BitmapFailed;
    }
    dib.stride = -static_cast<ptrdiff_t>(stride);
    dib.top = static_cast<uint8_t*>(bits) + static_cast<ptrdiff_t>(stride) * (height - 1);
    return Status::Ok;
}

GdiObject<HPALETTE> CreateLogicalPalette(const Palette& colours) {
    const size_t count = std::clamp<size_t>(colours.size(), 1, 256);
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    for (size_t i = 0; i < count; ++i) {
        const Rgb8 c = i < colours.size() ? colours[i] : Rgb8{};
        log->palPalEntry[i] = {c.r, c.g, c.b, 0};
    }
    return GdiObject<HPALETTE>(CreatePalette(log));
}

} // namespace sky
