// Owners for the kernel, window and GDI handles the project holds.
#pragma once
#include <windows.h>
#include <utility>

namespace kx {

template <class H, class Close, H Invalid>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { if (this != &o) { reset(std::exchange(o.h_, Invalid)); } return *this; }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid; }
    H release() { return std::exchange(h_, Invalid); }
    void reset(H h = Invalid) { if (h_ != Invalid) Close()(h_); h_ = h; }

private:
    H h_ = Invalid;
};

struct CloseFile { void operator()(HANDLE h) const { CloseHandle(h); } };
struct DestroyWnd { void operator()(HWND h) const { DestroyWindow(h); } };
struct DeleteGdi { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct CloseKey { void operator()(HKEY h) const { RegCloseKey(h); } };
struct FreeGlobal { void operator()(HGLOBAL h) const { GlobalFree(h); } };

// INVALID_HANDLE_VALUE is not a constant expression, so files use a wrapper of their own.
class UniqueFile {
public:
    UniqueFile() = default;
    explicit UniqueFile(HANDLE h) : h_(h) {}
    ~UniqueFile() { reset(); }
    UniqueFile(UniqueFile&& o) noexcept : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
    UniqueFile& operator=(UniqueFile&& o) noexcept { if (this != &o) reset(std::exchange(o.h_, INVALID_HANDLE_VALUE)); return *this; }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) { if (*this) CloseHandle(h_); h_ = h; }
private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

using UniqueHwnd = UniqueHandle<HWND, DestroyWnd, nullptr>;
using UniqueGdi = UniqueHandle<HGDIOBJ, DeleteGdi, nullptr>;
using UniqueHkey = UniqueHandle<HKEY, CloseKey, nullptr>;
using UniqueHglobal = UniqueHandle<HGLOBAL, FreeGlobal, nullptr>;

} // namespace kx
