#include "image/LibraryBinding.h"
#include "image/WholeNumber.h"

#include "shell/Paths.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Gdi.h"

#include <cstdint>
#include <cstring>
#include <vector>

// SKY32DEM.DLL, imported by ordinal (see Sky32DemImports.def).
extern "C" {
int WINAPI ImgGetInfo(const char* path, char* type, short* width, short* height, short* bits,
                      short* planes, short* extra, char* description, int zero);
int WINAPI ImgReadJPEG(const char* path, int resolution, int one, int dither, HBITMAP* bitmap,
                       HPALETTE* palette, int reserved, int zero);
int WINAPI ImgReadGIF(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
int WINAPI ImgReadPCX(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
int WINAPI ImgReadBMP(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
int WINAPI ImgReadPNG(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
int WINAPI ImgReadTIFF(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
}

namespace image {

HPALETTE SharedPalette = nullptr;

namespace {

using FileReader = int(WINAPI*)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);

// The 256-byte buffer the library gets.
struct PathBuffer {
    explicit PathBuffer(const std::string& path) {
        std::string cut = LibraryPath(path);
        std::memcpy(text, cut.c_str(), cut.size() + 1);
    }
    char text[256] = {};
};

// Places whatever the library returned into the bitmap, then checks the status.
bool FinishRead(int status, HBITMAP handle, HPALETTE palette, toolkit::TBitmap& bitmap) {
    bitmap.SetHandle(handle);
    bitmap.SetPalette(palette);
    if (StatusSucceeded(status))
        return true;
    ShowLibraryError(status);
    return false;
}

bool ReadWith(FileReader reader, const std::string& path, int resolution, int dither,
              toolkit::TBitmap& bitmap, int reserved) {
    HPALETTE palette = SharedPalette;
    HBITMAP handle = nullptr;
    PathBuffer buffer(path);
    int status = reader(buffer.text, resolution, dither, &handle, &palette, reserved, 0);
    return FinishRead(status, handle, palette, bitmap);
}

// A resource name as a number: a sign may stand before "$" too.
bool ReadResourceNumber(const std::string& text, long long& value) {
    WholeNumber number;
    if (!ReadWholeNumber(text, number))
        return false;
    const auto magnitude = static_cast<long long>(number.magnitude);
    value = number.negative ? -magnitude : magnitude;
    return true;
}

struct ResourceLock {
    HMODULE module;
    HGLOBAL data = nullptr;
    const void* pointer = nullptr;
    ~ResourceLock() {
        if (data)
            FreeResource(data);
    }
};

// More than 8 bits per pixel: no table.
int FullTableSize(int bitCount) {
    return bitCount > 8 ? 0 : 1 << bitCount;
}

} // namespace

void InitializeLibraryBinding() {
    SharedPalette = nullptr;
    Library() = ImportedLibrary();
}

LibraryEntries& Library() {
    static LibraryEntries entries = ImportedLibrary();
    return entries;
}

const LibraryEntries& ImportedLibrary() {
    static const LibraryEntries imported{ImgGetInfo, ImgReadJPEG, ImgReadGIF, ImgReadPCX,
                                         ImgReadBMP, ImgReadPNG,  ImgReadTIFF};
    return imported;
}

bool StatusSucceeded(int status) {
    return static_cast<std::int16_t>(status & 0xFFFF) >= 1;
}

std::string LibraryPath(const std::string& path) {
    return path.substr(0, 255);
}

bool ReadBmpFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved) {
    return ReadWith(Library().readBmp, path, resolution, dither, bitmap, reserved);
}

bool ReadGifFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved) {
    return ReadWith(Library().readGif, path, resolution, dither, bitmap, reserved);
}

bool ReadPcxFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved) {
    return ReadWith(Library().readPcx, path, resolution, dither, bitmap, reserved);
}

bool ReadPngFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved) {
    return ReadWith(Library().readPng, path, resolution, dither, bitmap, reserved);
}

bool ReadTiffFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                  int reserved) {
    return ReadWith(Library().readTiff, path, resolution, dither, bitmap, reserved);
}

bool ReadJpegFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                  int reserved) {
    HPALETTE palette = SharedPalette;
    HBITMAP handle = nullptr;
    PathBuffer buffer(path);
    int status =
        Library().readJpeg(buffer.text, resolution, 1, dither, &handle, &palette, reserved, 0);
    return FinishRead(status, handle, palette, bitmap);
}

bool ReadImageInfo(const std::string& path, ImageInfo& info) {
    PathBuffer buffer(path);
    char type[6] = {};
    char description[26] = {};
    short width = 0, height = 0, bits = 0, planes = 0, extra = 0;
    int status = Library().getInfo(buffer.text, type, &width, &height, &bits, &planes, &extra,
                                   description, 0);
    // Guard against a text that fills its buffer.
    type[sizeof type - 1] = '\0';
    description[sizeof description - 1] = '\0';
    info.description = description;
    info.type = type;
    info.width = width;
    info.height = height;
    info.bits = bits;
    info.planes = planes;
    info.extra = extra;
    if (StatusSucceeded(status))
        return true;
    ShowLibraryError(status);
    return false;
}

std::string LibraryErrorText(int status) {
    char text[256] = {};
    HMODULE library = GetModuleHandleA("SKY32DEM.DLL");
    UINT id = static_cast<UINT>(status) & 0xFFFF;
    int length = library ? LoadStringA(library, id, text, sizeof text) : 0;
    return std::string(text, static_cast<size_t>(length > 0 ? length : 0));
}

void ShowLibraryError(int status) {
    std::string text = LibraryErrorText(status);
    if (text.empty())
        text = "SKY32DEM.DLL: error " + std::to_string(static_cast<std::int16_t>(status & 0xFFFF));
    toolkit::MessageDlg(text, toolkit::TMsgDlgType::mtError, {toolkit::TMsgDlgBtn::mbOK});
}

DibLocation LocateDibBits(const BITMAPINFOHEADER* header) {
    DibLocation location;
    const BYTE* start = reinterpret_cast<const BYTE*>(header);
    DWORD headerSize = header->biSize;
    int entrySize = 4;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(header);
        location.colorCount = FullTableSize(core->bcBitCount);
        entrySize = 3;
    } else {
        int bitCount = header->biBitCount;
        if (headerSize >= 36 && header->biClrUsed != 0)
            location.colorCount = static_cast<int>(header->biClrUsed);
        else
            location.colorCount = FullTableSize(bitCount);
        if (location.colorCount > 256 || location.colorCount < 0)
            location.colorCount = bitCount > 8 ? 0 : 256;
    }
    location.bits = start + headerSize + static_cast<size_t>(location.colorCount) * entrySize;
    return location;
}

bool ReadResourceBitmap(const std::string& moduleName, const std::string& resourceName, HWND window,
                        toolkit::TBitmap& bitmap) {
    HMODULE module =
        moduleName.empty() ? GetModuleHandleA(nullptr) : GetModuleHandleA(moduleName.c_str());
    if (!module)
        return false;
    long long number = 0;
    HRSRC info = ReadResourceNumber(resourceName, number)
                     ? FindResourceA(module, MAKEINTRESOURCEA(number & 0xFFFF), RT_BITMAP)
                     : FindResourceA(module, resourceName.c_str(), RT_BITMAP);
    if (!info)
        return false;
    ResourceLock lock{module};
    lock.data = LoadResource(module, info);
    lock.pointer = lock.data ? LockResource(lock.data) : nullptr;
    if (!lock.pointer)
        return false;
    auto* header = static_cast<const BITMAPINFOHEADER*>(lock.pointer);
    DibLocation location = LocateDibBits(header);

    // A logical palette from the colour table.
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(location.colorCount);
    const BYTE* table = reinterpret_cast<const BYTE*>(header) + header->biSize;
    int entrySize = header->biSize == sizeof(BITMAPCOREHEADER) ? 3 : 4;
    for (int i = 0; i < location.colorCount; ++i) {
        const BYTE* entry = table + i * entrySize;
        logical->palPalEntry[i] = {entry[2], entry[1], entry[0], 0};
    }
    HPALETTE palette = location.colorCount > 0 ? CreatePalette(logical) : nullptr;

    HBITMAP handle;
    {
        toolkit::WindowDC dc(window);
        toolkit::PaletteGuard selected(dc.Get(), palette, FALSE);
        if (palette)
            RealizePalette(dc.Get());
        handle = CreateDIBitmap(dc.Get(), header, CBM_INIT, location.bits,
                                reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    }
    bitmap.SetHandle(handle);
    bitmap.SetPalette(palette);
    return true;
}

int DeviceColorBits(HDC dc) {
    return ColorBitsForDepth(GetDeviceCaps(dc, BITSPIXEL));
}

int ColorBitsForDepth(int bits) {
    if (bits <= 4)
        return 4;
    if (bits >= 16)
        return 24;
    return 8;
}

std::string FileNamePart(const std::string& path) {
    return shell::NamePart(path).substr(0, 64);
}

std::string FileStem(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace image
