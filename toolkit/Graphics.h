// Graphics objects. TBitmap owns a bitmap handle and its palette.
#pragma once

#include "toolkit/Gdi.h"

#include <windows.h>

namespace toolkit {

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    HBITMAP Handle() const { return handle_.Get(); }
    // Takes ownership; the previous bitmap is deleted.
    void SetHandle(HBITMAP handle) { handle_.Reset(handle); }
    HPALETTE Palette() const { return palette_.Get(); }
    // Takes ownership; the previous palette is deleted.
    void SetPalette(HPALETTE palette) { palette_.Reset(palette); }

    bool Empty() const { return !handle_; }
    int Width() const;
    int Height() const;

private:
    BitmapHandle handle_;
    PaletteHandle palette_;
};

} // namespace toolkit
