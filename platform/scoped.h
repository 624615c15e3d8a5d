// Move-only owners for the Win32 and COM handles the program takes, one small type per kind.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace lv {

// Owns one handle value; Close is the kind's release call, Invalid its empty value.
template <typename T, void (*Close)(T), T Invalid = T()>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Invalid));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    T get() const { return h_; }
    T* put() { reset(); return &h_; }
    void reset(T h = Invalid) {
        if (h_ != Invalid) Close(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ != Invalid; }

private:
    T h_ = Invalid;
};

namespace detail {
inline void FreeBstr(BSTR s) { SysFreeString(s); }
}  // namespace detail

using UniqueBstr = UniqueHandle<BSTR, detail::FreeBstr>;

namespace detail {
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
}  // namespace detail

// A kernel object handle (process, thread, job) that is 0 when empty.
using UniqueKernelHandle = UniqueHandle<HANDLE, detail::CloseKernelHandle>;

// A window's device context, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND w) : w_(w), dc_(GetDC(w)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(w_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// One COM reference. Adopts the reference it is handed (no extra AddRef).
template <typename I>
class ComRef {
public:
    ComRef() = default;
    ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComRef& operator=(ComRef&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    I* get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    I** put() { reset(); return &p_; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset(I* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }

private:
    I* p_ = nullptr;
};

// A VARIANT cleared on scope exit.
class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&v_); }
    VARIANT* get() { return &v_; }

private:
    VARIANT v_;
};

}  // namespace lv
