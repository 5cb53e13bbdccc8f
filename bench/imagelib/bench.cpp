// Timings of SKY32DEM.DLL against a bare WIC decode in the same process.
//   imagelib_bench JPEG PNG TIFF PCX CORPUS_LIST
// Prints one "name seconds" line per measurement (best of three runs, nine
// for the reader against bare WIC). The TIFF reader of the library's core is
// compiled in to time it without WIC.
#include "tiff_decode.h"

#include <windows.h>
#include <wincodec.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using ReadEntry = int(WINAPI*)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
using JpegEntry = int(WINAPI*)(const char*, int, int, int, HBITMAP*, HPALETTE*, int, int);
using InfoEntry = int(WINAPI*)(const char*, char*, short*, short*, short*, short*, short*, char*,
                               int);

HMODULE library;

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <class F> double Best(F f, int runs = 3) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!f())
            return -1;
        best = std::min(best, Seconds(start));
    }
    return best;
}

bool ReadThroughLibrary(int ordinal, const std::string& path, int resolution, int dither) {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    int status;
    if (ordinal == 5)
        status = reinterpret_cast<JpegEntry>(
            reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(5))))(
            path.c_str(), resolution, 1, dither, &bitmap, &palette, 0, 0);
    else
        status = reinterpret_cast<ReadEntry>(
            reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))))(
            path.c_str(), resolution, dither, &bitmap, &palette, 0, 0);
    if (bitmap)
        DeleteObject(bitmap);
    if (palette)
        DeleteObject(palette);
    if (status < 1)
        std::fprintf(stderr, "%s: status %d\n", path.c_str(), status);
    return status >= 1;
}

// The plainest WIC decode: first frame, 24bppBGR (or 32bppBGRA where the
// frame is not 24-bit), into a vector.
bool ReadThroughWic(const std::string& path) {
    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
        return false;
    std::wstring wide(path.begin(), path.end());
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    bool ok = false;
    if (SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame))) {
        UINT w, h;
        WICPixelFormatGUID format;
        frame->GetSize(&w, &h);
        frame->GetPixelFormat(&format);
        IWICBitmapSource* source = frame;
        UINT bpp = 3;
        if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
            factory->CreateFormatConverter(&converter);
            converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                  nullptr, 0, WICBitmapPaletteTypeCustom);
            source = converter;
            bpp = 4;
        }
        std::vector<BYTE> pixels(size_t(w) * h * bpp);
        ok = SUCCEEDED(source->CopyPixels(nullptr, w * bpp, UINT(pixels.size()), pixels.data()));
    }
    if (converter)
        converter->Release();
    if (frame)
        frame->Release();
    if (decoder)
        decoder->Release();
    factory->Release();
    return ok;
}

// The library's own TIFF reader alone, as the reader uses it when WIC
// refuses a file: the file in memory, decoded to BGR.
bool ReadThroughTiffFallback(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    sky::TiffDecoder decoder;
    if (decoder.Open(data.data(), data.size()) != sky::Status::Ok)
        return false;
    const uint32_t w = decoder.Width(), h = decoder.Height();
    std::vector<uint8_t> bgr(size_t(w) * h * 3);
    return decoder.Decode({bgr.data(), w, h, static_cast<ptrdiff_t>(w) * 3}, {}) == sky::Status::Ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: imagelib_bench JPEG PNG TIFF PCX CORPUS_LIST\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    library = LoadLibraryA("SKY32DEM.DLL");
    if (!library) {
        std::fprintf(stderr, "SKY32DEM.DLL not found\n");
        return 1;
    }
    const std::string jpeg = argv[1], png = argv[2], tiff = argv[3], pcx = argv[4];
    const struct {
        const char* name;
        int ordinal;
        std::string path;
    } files[] = {{"jpeg", 5, jpeg}, {"png", 17, png}, {"tiff", 25, tiff}};
    for (const auto& f : files) {
        // Taken in turns, so that both see the same state of the machine.
        double library = 1e9, wic = 1e9;
        for (int run = 0; run < 9; ++run) {
            library = std::min(
                library, Best([&] { return ReadThroughLibrary(f.ordinal, f.path, 24, 0); }, 1));
            wic = std::min(wic, Best([&] { return ReadThroughWic(f.path); }, 1));
        }
        std::printf("%s_library %.4f\n%s_wic %.4f\n", f.name, library, f.name, wic);
    }
    double fallback = 1e9, wic = 1e9;
    for (int run = 0; run < 9; ++run) {
        fallback = std::min(fallback, Best([&] { return ReadThroughTiffFallback(tiff); }, 1));
        wic = std::min(wic, Best([&] { return ReadThroughWic(tiff); }, 1));
    }
    std::printf("tiff_fallback %.4f\ntiff_fallback_wic %.4f\n", fallback, wic);
    std::printf("png_res8_dither %.4f\n", Best([&] { return ReadThroughLibrary(17, png, 8, 1); }));
    std::printf("pcx_library %.4f\n", Best([&] { return ReadThroughLibrary(8, pcx, 24, 0); }));

    std::vector<std::string> corpus;
    std::ifstream list(argv[5]);
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            corpus.push_back(line);
    auto info = reinterpret_cast<InfoEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(1))));
    const double infoTime = Best([&] {
        for (const std::string& path : corpus) {
            char type[6], description[26];
            short w, h, b, p, e;
            info(path.c_str(), type, &w, &h, &b, &p, &e, description, 0);
        }
        return true;
    });
    std::printf("info_per_file %.6f\n", corpus.empty() ? 0.0 : infoTime / corpus.size());
    std::printf("info_files %zu\n", corpus.size());
    FreeLibrary(library);
    CoUninitialize();
    return 0;
}
