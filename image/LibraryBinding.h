// The binding to SKY32DEM.DLL: one reader per file format, the information
// query, the library's failure texts, bitmaps from a module's resources, and
// small helpers for colour depth and file names.
#pragma once

#include "toolkit/Graphics.h"

#include <windows.h>

#include <string>

namespace image {

// The incoming palette of every reader; 0 from the start and never changed.
extern HPALETTE SharedPalette;

// Module start: the shared palette is 0, the library's entries are bound.
void InitializeLibraryBinding();

// The library entries, called through this table; tests put their own in.
struct LibraryEntries {
    int(WINAPI* getInfo)(const char* path, char* type, short* width, short* height, short* bits,
                         short* planes, short* extra, char* description, int zero);
    int(WINAPI* readJpeg)(const char* path, int resolution, int one, int dither, HBITMAP* bitmap,
                          HPALETTE* palette, int reserved, int zero);
    int(WINAPI* readGif)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
    int(WINAPI* readPcx)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
    int(WINAPI* readBmp)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
    int(WINAPI* readPng)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
    int(WINAPI* readTiff)(const char*, int, int, HBITMAP*, HPALETTE*, int, int);
};
LibraryEntries& Library();
// The entries imported from SKY32DEM.DLL by ordinal.
const LibraryEntries& ImportedLibrary();

// A status counts by its low 16 bits, read as a signed number: 1 or more is success.
bool StatusSucceeded(int status);
// The path as the library gets it: at most 255 characters.
std::string LibraryPath(const std::string& path);

bool ReadBmpFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved);
bool ReadJpegFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                  int reserved);
bool ReadGifFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved);
bool ReadPcxFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved);
bool ReadPngFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                 int reserved);
bool ReadTiffFile(const std::string& path, int resolution, int dither, toolkit::TBitmap& bitmap,
                  int reserved);

struct ImageInfo {
    std::string type;
    int width = 0;
    int height = 0;
    int bits = 0;
    int planes = 0;
    int extra = 0;
    std::string description;
};
// The outputs are filled whatever the status.
bool ReadImageInfo(const std::string& path, ImageInfo& info);

// A bitmap resource of the named module (the program itself when empty), by
// name, by number or by "$" hexadecimal number.
bool ReadResourceBitmap(const std::string& moduleName, const std::string& resourceName, HWND window,
                        toolkit::TBitmap& bitmap);

struct DibLocation {
    int colorCount = 0;
    const BYTE* bits = nullptr;
};
// Colour-table entries and where the pixel bits begin after a DIB header.
DibLocation LocateDibBits(const BITMAPINFOHEADER* header);

// The library's own text for a failure status, in an error box.
void ShowLibraryError(int status);
// The library's text for a status; empty when it has none.
std::string LibraryErrorText(int status);

int DeviceColorBits(HDC dc);
// 4 for up to 4 bits per pixel, 24 from 16 on, 8 between.
int ColorBitsForDepth(int bitsPerPixel);
std::string FileNamePart(const std::string& path);
std::string FileStem(const std::string& path);

} // namespace image
