// Another program on the clipboard, for the clipboard tests:
//   clipboard_peer formats            prints the formats in the clipboard's order
//   clipboard_peer bitmap-size        prints the CF_BITMAP's width and height
//   clipboard_peer put-bitmap W H     places a W x H bitmap
//   clipboard_peer put-text           places text only
//   clipboard_peer put-picture-pair   places a metafile picture, then a bitmap
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HBITMAP MakeBitmap(int w, int h) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

bool Open() {
    for (int i = 0; i < 50; ++i) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !Open())
        return 2;
    std::string command = argv[1];
    int status = 0;
    if (command == "formats") {
        for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f))
            std::printf("%u ", f);
    } else if (command == "bitmap-size") {
        BITMAP info{};
        HANDLE bitmap = GetClipboardData(CF_BITMAP);
        if (bitmap && GetObjectA(bitmap, sizeof info, &info))
            std::printf("%ldx%ld", info.bmWidth, info.bmHeight);
        else
            status = 1;
    } else if (command == "put-bitmap" && argc == 4) {
        EmptyClipboard();
        SetClipboardData(CF_BITMAP, MakeBitmap(std::atoi(argv[2]), std::atoi(argv[3])));
    } else if (command == "put-text") {
        EmptyClipboard();
        HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, 5);
        std::memcpy(GlobalLock(global), "text", 5);
        GlobalUnlock(global);
        SetClipboardData(CF_TEXT, global);
    } else if (command == "put-picture-pair") {
        EmptyClipboard();
        HDC dc = CreateMetaFileA(nullptr);
        Rectangle(dc, 0, 0, 50, 20);
        HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
        auto* picture = static_cast<METAFILEPICT*>(GlobalLock(global));
        *picture = {MM_ANISOTROPIC, 1000, 400, CloseMetaFile(dc)};
        GlobalUnlock(global);
        SetClipboardData(CF_METAFILEPICT, global);
        SetClipboardData(CF_BITMAP, MakeBitmap(13, 3));
    } else {
        status = 2;
    }
    CloseClipboard();
    return status;
}
