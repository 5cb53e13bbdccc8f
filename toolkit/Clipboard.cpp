#include "toolkit/Clipboard.h"

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

namespace toolkit {

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

UINT TClipboard::PictureFormat() {
    static UINT format = RegisterClipboardFormatA("Glimmora Picture");
    return format;
}

void TClipboard::Open() {
    if (openCount_ == 0) {
        // Another program may hold it for a moment; never wait for long.
        bool opened = false;
        for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
            opened = OpenClipboard(Application().Handle()) != FALSE;
            if (!opened)
                Sleep(20);
        }
        if (!opened)
            throw Exception("Zwischenablage kann nicht geöffnet werden");
        emptied_ = false;
    }
    ++openCount_;
}

void TClipboard::Close() {
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        CloseClipboard();
}

void TClipboard::Clear() {
    if (!emptied_) {
        EmptyClipboard();
        emptied_ = true;
    }
}

bool TClipboard::HasFormat(UINT format) const {
    return IsClipboardFormatAvailable(format) != FALSE;
}

void TClipboard::SetAsHandle(UINT format, HANDLE data) {
    if (SetClipboardData(format, data))
        return;
    // Refused: the handle is still ours.
    switch (format) {
    case CF_BITMAP:
    case CF_PALETTE:
        DeleteObject(data);
        break;
    case CF_ENHMETAFILE:
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
        break;
    default:
        GlobalFree(data);
        break;
    }
    throw Exception("Zwischenablage kann nicht beschrieben werden");
}

} // namespace toolkit
