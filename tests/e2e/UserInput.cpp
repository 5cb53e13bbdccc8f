#include "UserInput.h"

#include "common/ProgramWindows.h"

#include <cstdlib>
#include <fstream>
#include <vector>

namespace e2e {

namespace {

LPARAM KeyData(WORD virtualKey, bool up) {
    const LPARAM scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    return 1 | scan << 16 | (up ? LPARAM(3) << 30 : 0);
}

// Sends the input and waits until the window in front has taken it: the
// system routes keys to the focus at the time they are queued, so a key
// that moves the focus must be handled before the next one is sent.
void SendAll(std::vector<INPUT>& inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (HWND front = GetForegroundWindow())
        Settle(front);
}

// Deletes a GDI object when it goes out of scope.
struct GdiObject {
    HGDIOBJ handle;
    ~GdiObject() {
        if (handle)
            DeleteObject(handle);
    }
};

struct ScreenDc {
    HDC handle = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, handle); }
};

} // namespace

bool BringToFront(HWND window) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (GetForegroundWindow() == window)
            return true;
        SetForegroundWindow(window);
        Sleep(20);
    }
    return GetForegroundWindow() == window;
}

void ClickAt(POINT screen) {
    // Two clicks at one place within the double-click time are a double
    // click: a user's separate clicks are further apart.
    static DWORD lastTime = 0;
    static POINT lastPoint{-100, -100};
    const DWORD elapsed = GetTickCount() - lastTime;
    if (elapsed <= GetDoubleClickTime() && std::abs(screen.x - lastPoint.x) < 8 &&
        std::abs(screen.y - lastPoint.y) < 8)
        Sleep(GetDoubleClickTime() + 50 - elapsed);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(1);
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = (screen.x * 65535 + width / 2) / (width - 1);
    inputs[0].mi.dy = (screen.y * 65535 + height / 2) / (height - 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendAll(inputs);
    // The button goes down where the pointer is once it has got there.
    for (int i = 0; i < 100; ++i) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y)
            break;
        Sleep(10);
    }
    inputs.resize(2);
    inputs[1] = inputs[0];
    // Each carries the place too: under Wine the pointer can still be seen at
    // its old place, and a bare button event would land there.
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendAll(inputs);
    lastTime = GetTickCount();
    lastPoint = screen;
}

void Click(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClickAt(middle);
    // Keys go where the focus is when they are sent: let a click's focus settle.
    if (IsWindowEnabled(window))
        for (int i = 0; i < 100 && !HasFocus(window); ++i)
            Sleep(20);
}

void Press(HWND target, WORD virtualKey) {
    PostMessageW(target, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
    PostMessageW(target, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
    Settle(target);
}

void Type(HWND target, const std::string& text) {
    for (char c : text) {
        const WORD key = LOBYTE(VkKeyScanA(c));
        PostMessageW(target, WM_CHAR, static_cast<unsigned char>(c), KeyData(key, false));
        PostMessageW(target, WM_KEYUP, key, KeyData(key, true));
    }
    Settle(target);
}

void Settle(HWND window) {
    // Input reaches the other thread's queue first; the thread is idle again
    // once it has taken everything and waits for more.
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    Sleep(10);
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
        WaitForInputIdle(process, 5000 * kSlowdown);
        CloseHandle(process);
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000 * kSlowdown, &result);
}

bool HasFocus(HWND control) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info) &&
           (info.hwndFocus == control || IsChild(control, info.hwndFocus));
}

bool SaveScreen(const std::string& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    ScreenDc screen;
    HDC memory = CreateCompatibleDC(screen.handle);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    GdiObject bitmap{CreateDIBSection(screen.handle, &info, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!bitmap.handle || !memory) {
        if (memory)
            DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap.handle);
    BitBlt(memory, 0, 0, width, height, screen.handle, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageSize);
    return static_cast<bool>(out);
}

COLORREF ScreenPixel(POINT screen) {
    ScreenDc dc;
    const COLORREF c = GetPixel(dc.handle, screen.x, screen.y);
    return RGB(GetBValue(c), GetGValue(c), GetRValue(c));
}

} // namespace e2e
