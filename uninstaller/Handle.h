// Owns a kernel handle (file, process, snapshot); closes it once.
#pragma once

#include <windows.h>

namespace gluninst {

class ScopedHandle {
public:
    ScopedHandle() = default;
    // Both null and INVALID_HANDLE_VALUE mean "none".
    explicit ScopedHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~ScopedHandle() {
        if (handle_ != nullptr)
            CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
};

} // namespace gluninst
