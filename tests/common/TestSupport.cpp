#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>

namespace glimtest {

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\GLIMR32.EXE";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora32";

namespace {

void PutLittleEndian(std::string& bytes, unsigned value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// File and info headers of a bottom-up BMP file, with the colour table
// (palette) that follows them.
std::string BitmapHeader(int width, int height, int bitsPerPixel, const std::string& palette,
                         unsigned pixelBytes) {
    std::string bytes;
    auto put = [&bytes](unsigned value, int size) { PutLittleEndian(bytes, value, size); };
    const auto offset = static_cast<unsigned>(14 + 40 + palette.size());
    put('B' | 'M' << 8, 2);
    put(offset + pixelBytes, 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4); // BITMAPINFOHEADER
    put(static_cast<unsigned>(width), 4);
    put(static_cast<unsigned>(height), 4);
    put(1, 2);
    put(static_cast<unsigned>(bitsPerPixel), 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    return bytes + palette;
}

std::string TrueColourHeader(int width, int height, unsigned pixelBytes) {
    return BitmapHeader(width, height, 24, "", pixelBytes);
}

unsigned RowSize(int width) {
    return (static_cast<unsigned>(width) * 3 + 3) / 4 * 4;
}

} // namespace

std::string SmallBitmap() {
    std::string bytes = TrueColourHeader(2, 2, 2 * RowSize(2));
    for (int row = 0; row < 2; ++row) {
        PutLittleEndian(bytes, 0x0000FF, 3); // red, green
        PutLittleEndian(bytes, 0x00FF00, 3);
        PutLittleEndian(bytes, 0, 2);
    }
    return bytes;
}

std::string GreyBitmap(int width, int height) {
    unsigned pixelBytes = RowSize(width) * static_cast<unsigned>(height);
    return TrueColourHeader(width, height, pixelBytes) + std::string(pixelBytes, '\x40');
}

std::string WhiteMonochromeBitmap(int width, int height) {
    const std::string blackAndWhite("\0\0\0\0\xFF\xFF\xFF\0", 8);
    const unsigned rowBytes = (static_cast<unsigned>(width) + 31) / 32 * 4;
    const unsigned pixelBytes = rowBytes * static_cast<unsigned>(height);
    return BitmapHeader(width, height, 1, blackAndWhite, pixelBytes) +
           std::string(pixelBytes, '\xFF');
}

std::string CurrentFolder() {
    char folder[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    return std::string(folder, n < sizeof folder ? n : 0);
}

CurrentFolderGuard::CurrentFolderGuard() : saved_(CurrentFolder()) {}

CurrentFolderGuard::~CurrentFolderGuard() {
    SetCurrentDirectoryA(saved_.c_str());
}

std::string RegString(HKEY root, const std::string& keyPath, const std::string& valueName) {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    LONG status = RegQueryValueExA(key, valueName.empty() ? nullptr : valueName.c_str(), nullptr,
                                   &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    return data;
}

} // namespace glimtest
