// Owners for the kernel, window and GDI handles the project holds: one
// owner, and a policy per kind of handle (as WIL's resource policies) that
// says how it is closed and which value means none.
#pragma once
#include <windows.h>
#include <utility>

namespace kx {

template <class Policy>
class UniqueHandle {
public:
    using Handle = typename Policy::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Policy::None())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Policy::None()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return h_; }
    explicit operator bool() const { return Policy::Valid(h_); }
    Handle release() { return std::exchange(h_, Policy::None()); }
    void reset(Handle h = Policy::None()) {
        if (Policy::Valid(h_)) Policy::Close(h_);
        h_ = h;
    }

private:
    Handle h_ = Policy::None();
};

// Handles for which null means none.
template <class H, void (*CloseFn)(H)>
struct NullIsNone {
    using Handle = H;
    static constexpr H None() { return nullptr; }
    static bool Valid(H h) { return h != nullptr; }
    static void Close(H h) { CloseFn(h); }
};

inline void DestroyWnd(HWND h) { DestroyWindow(h); }
inline void DeleteGdi(HGDIOBJ h) { DeleteObject(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void FreeGlobal(HGLOBAL h) { GlobalFree(h); }
inline void UnloadModule(HMODULE h) { FreeLibrary(h); }

// Files: CreateFile says none with INVALID_HANDLE_VALUE, other calls with null.
struct FilePolicy {
    using Handle = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using UniqueFile = UniqueHandle<FilePolicy>;
using UniqueHwnd = UniqueHandle<NullIsNone<HWND, DestroyWnd>>;
using UniqueGdi = UniqueHandle<NullIsNone<HGDIOBJ, DeleteGdi>>;
using UniqueHkey = UniqueHandle<NullIsNone<HKEY, CloseKey>>;
using UniqueHglobal = UniqueHandle<NullIsNone<HGLOBAL, FreeGlobal>>;
using UniqueModule = UniqueHandle<NullIsNone<HMODULE, UnloadModule>>;

} // namespace kx
