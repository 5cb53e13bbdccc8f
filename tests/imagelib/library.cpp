#include "library.h"

#include <utility>

namespace skytest {

Decoded::Decoded(Decoded&& other) noexcept
    : status(other.status), bitmap(std::exchange(other.bitmap, nullptr)),
      palette(std::exchange(other.palette, nullptr)) {}

Decoded::~Decoded() {
    if (bitmap)
        DeleteObject(bitmap);
    if (palette)
        DeleteObject(palette);
}

Library::Library() : module_(LoadLibraryA("SKY32DEM.DLL")) {}

Library::~Library() {
    if (module_)
        FreeLibrary(module_);
}

FARPROC Library::Ordinal(int n) const {
    return module_ ? GetProcAddress(module_, MAKEINTRESOURCEA(n)) : nullptr;
}

Decoded Library::Read(const std::string& format, const std::string& path, int resolution,
                      int dither) const {
    Decoded d;
    if (format == "jpeg") {
        auto entry = reinterpret_cast<JpegEntry>(reinterpret_cast<void*>(Ordinal(5)));
        d.status = entry(path.c_str(), resolution, 1, dither, &d.bitmap, &d.palette, 0, 0);
        return d;
    }
    int ordinal = format == "gif"   ? 7
                  : format == "pcx" ? 8
                  : format == "bmp" ? 15
                  : format == "png" ? 17
                                    : 25;
    auto entry = reinterpret_cast<ReadEntry>(reinterpret_cast<void*>(Ordinal(ordinal)));
    d.status = entry(path.c_str(), resolution, dither, &d.bitmap, &d.palette, 0, 0);
    return d;
}

Info Library::GetInfo(const std::string& path) const {
    auto entry = reinterpret_cast<InfoEntry>(reinterpret_cast<void*>(Ordinal(1)));
    char type[6] = "?????", description[26];
    std::fill(std::begin(description), std::end(description), '?');
    short w = -2, h = -2, b = -2, p = -2, e = -2;
    Info info;
    info.status = entry(path.c_str(), type, &w, &h, &b, &p, &e, description, 0);
    info.type.assign(type, strnlen(type, sizeof type));
    info.description.assign(description, strnlen(description, sizeof description));
    info.width = w;
    info.height = h;
    info.bits = b;
    info.planes = p;
    info.extra = e;
    return info;
}

std::string Library::StatusText(int status) const {
    char text[256];
    const int n = LoadStringA(module_, static_cast<uint16_t>(status), text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

bool ReadBitmap(HBITMAP bitmap, Rgb& out) {
    DIBSECTION ds = {};
    if (!bitmap || GetObject(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits)
        return false;
    out.width = ds.dsBm.bmWidth;
    out.height = ds.dsBm.bmHeight;
    out.bitsPerPixel = ds.dsBm.bmBitsPixel;
    out.colourTable.clear();
    if (out.bitsPerPixel <= 8) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        out.colourTable.resize(256);
        const UINT n = GetDIBColorTable(dc, 0, 256, out.colourTable.data());
        out.colourTable.resize(n);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // Wine reports a positive height for top-down sections too; ours are bottom-up.
    const bool topDown = ds.dsBmih.biHeight < 0;
    const auto* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
    out.pixels.assign(size_t(out.width) * out.height * 3, 0);
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row =
            bits + size_t(ds.dsBm.bmWidthBytes) * (topDown ? y : out.height - 1 - y);
        uint8_t* dst = out.pixels.data() + size_t(out.width) * 3 * y;
        for (int x = 0; x < out.width; ++x, dst += 3) {
            if (out.bitsPerPixel == 24) {
                dst[0] = row[x * 3 + 2];
                dst[1] = row[x * 3 + 1];
                dst[2] = row[x * 3];
                continue;
            }
            unsigned index = 0;
            if (out.bitsPerPixel == 8)
                index = row[x];
            else if (out.bitsPerPixel == 4)
                index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15;
            else
                index = (row[x / 8] >> (7 - x % 8)) & 1;
            if (index < out.colourTable.size()) {
                dst[0] = out.colourTable[index].rgbRed;
                dst[1] = out.colourTable[index].rgbGreen;
                dst[2] = out.colourTable[index].rgbBlue;
            }
        }
    }
    return true;
}

} // namespace skytest
