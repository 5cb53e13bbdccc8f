// RegisterWindowClass: one window class of this module, registered from a
// few traits; the toolkit's forms, controls, dialogs and application window.
#pragma once

#include <windows.h>

namespace toolkit {

struct WindowClassTraits {
    const char* name;
    WNDPROC procedure;
    UINT style = 0;
    int windowExtra = 0;         // bytes after the window (DLGWINDOWEXTRA for dialogs)
    HBRUSH background = nullptr; // none: the window erases itself
    bool arrowCursor = true;     // false: no class cursor
};

// True when the class is registered now or was already.
bool RegisterWindowClass(const WindowClassTraits& traits);

} // namespace toolkit
