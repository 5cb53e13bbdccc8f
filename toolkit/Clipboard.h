// The system clipboard: opened through the application's window, emptied at
// most once per open, nested opens sharing one.
#pragma once

#include <windows.h>

namespace toolkit {

class TClipboard {
public:
    // Opens the clipboard; a clipboard held by another program is retried
    // briefly, then EInOutError-free failure raises "Zwischenablage kann nicht geöffnet werden".
    void Open();
    void Close();
    // Empties the clipboard once per open.
    void Clear();
    bool HasFormat(UINT format) const;
    // Hands the handle to the clipboard; a handle it refuses is freed
    // (bitmap, palette, enhanced metafile, else global memory), then raises.
    void SetAsHandle(UINT format, HANDLE data);

    // The format under which pictures would be placed; registered at start.
    static UINT PictureFormat();

private:
    int openCount_ = 0;
    bool emptied_ = false;
};

TClipboard& Clipboard();

// Opens the clipboard for the scope's lifetime.
class ClipboardScope {
public:
    ClipboardScope() { Clipboard().Open(); }
    ~ClipboardScope() { Clipboard().Close(); }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
};

} // namespace toolkit
