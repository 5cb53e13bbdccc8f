// Times the start of GLIMR32.EXE until its window is drawn: process creation
// to a visible, painted "Glimmora32 - " window. Run by hand: bench/program/run.sh.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Milliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

BOOL CALLBACK FindBrowser(HWND window, LPARAM out) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::string(title).rfind("Glimmora32 - ", 0) == 0) {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    std::string program = argc > 1 ? argv[1] : "GLIMR32.EXE";
    int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string commandLine = "\"" + program + "\"";
        double start = Milliseconds();
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
            std::fprintf(stderr, "cannot start %s\n", program.c_str());
            return 1;
        }
        HWND window = nullptr;
        while (!window && Milliseconds() - start < 10000) {
            EnumWindows(FindBrowser, reinterpret_cast<LPARAM>(&window));
            if (!window)
                Sleep(1);
        }
        // Drawn: the window answers once its first paint has been handled.
        DWORD_PTR result = 0;
        if (window)
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        double elapsed = Milliseconds() - start;
        times.push_back(elapsed);
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    std::sort(times.begin(), times.end());
    std::printf("start to drawn window: median %.0f ms, best %.0f ms over %d runs\n",
                times[times.size() / 2], times.front(), runs);
    return 0;
}
