// Owners for the Windows handles the library uses.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <utility>

namespace sky {

// An owned COM interface pointer.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out arguments: releases what is held first.
    T** Put() {
        Reset();
        return &p_;
    }
    template <class U> HRESULT As(ComPtr<U>& out) const {
        return p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(out.Put()));
    }

private:
    T* p_ = nullptr;
};

// COM for the calling thread, balanced on scope exit when it succeeded.
class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    // RPC_E_CHANGED_MODE: the thread already has COM in another model.
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    ~UniqueHandle() { Reset(); }
    void Reset() {
        if (h_)
            CloseHandle(std::exchange(h_, nullptr));
    }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_ = nullptr;
};

class MappedView {
public:
    MappedView() = default;
    explicit MappedView(const void* p) : p_(p) {}
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    MappedView(MappedView&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    MappedView& operator=(MappedView&& other) noexcept {
        if (this != &other) {
            if (p_)
                UnmapViewOfFile(p_);
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~MappedView() {
        if (p_)
            UnmapViewOfFile(p_);
    }
    const void* Get() const { return p_; }

private:
    const void* p_ = nullptr;
};

// A GDI object (bitmap, palette) until it is handed to the caller.
template <class H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    ~GdiObject() { Reset(); }
    void Reset() {
        if (h_)
            DeleteObject(std::exchange(h_, nullptr));
    }
    H Get() const { return h_; }
    H Release() { return std::exchange(h_, nullptr); }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_ = nullptr;
};

} // namespace sky
