#include "toolkit/WindowClass.h"

namespace toolkit {

bool RegisterWindowClass(const WindowClassTraits& traits) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = traits.style;
    wc.lpfnWndProc = traits.procedure;
    wc.cbWndExtra = traits.windowExtra;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = traits.arrowCursor ? LoadCursorA(nullptr, IDC_ARROW) : nullptr;
    wc.hbrBackground = traits.background;
    wc.lpszClassName = traits.name;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace toolkit
