// SKY32DEM.DLL loaded the way the program binds it: by ordinal.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skytest {

using InfoEntry = int(WINAPI*)(const char*, char*, short*, short*, short*, short*, short*, char*,
                               int);
using JpegEntry = int(WINAPI*)(const char*, int, int, int, HBITMAP*, HPALETTE*, int, int);
using ReadEntry = int(WINAPI*)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);

// A reader's result; owns the handles it got.
struct Decoded {
    int status = 0;
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;

    Decoded() = default;
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
    Decoded(Decoded&& other) noexcept;
    ~Decoded();
    bool Ok() const { return static_cast<short>(status) >= 1; }
};

struct Info {
    int status = 0;
    std::string type;
    int width = 0, height = 0, bits = 0, planes = 0, extra = 0;
    std::string description;
};

// Pixels of a bitmap, top-down, R G B per pixel.
struct Rgb {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<RGBQUAD> colourTable;
    std::vector<uint8_t> pixels;
};

class Library {
public:
    Library();
    ~Library();
    bool Loaded() const { return module_ != nullptr; }
    HMODULE Module() const { return module_; }

    // The reader a program picks for the format name of the manifest
    // ("bmp", "gif", "jpeg", "pcx", "png", "tiff").
    Decoded Read(const std::string& format, const std::string& path, int resolution = 24,
                 int dither = 0) const;
    Info GetInfo(const std::string& path) const;
    // The library's text for a status; empty when it has none.
    std::string StatusText(int status) const;

    FARPROC Ordinal(int n) const;

private:
    HMODULE module_ = nullptr;
};

// Reads a DIB section's pixels; false when it is none.
bool ReadBitmap(HBITMAP bitmap, Rgb& out);

} // namespace skytest
