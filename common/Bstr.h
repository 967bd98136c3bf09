// Owner of one BSTR.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <utility>

namespace kx {

// The text of a BSTR, embedded NULs and all; a null BSTR is the empty text.
inline std::wstring FromBstr(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& s) : b_(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    explicit Bstr(const wchar_t* s) : b_(SysAllocString(s)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        if (this != &o) {
            reset();
            b_ = std::exchange(o.b_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return b_; }
    BSTR* put() {
        reset();
        return &b_;
    }
    BSTR release() { return std::exchange(b_, nullptr); }
    void reset() {
        SysFreeString(b_);
        b_ = nullptr;
    }
    UINT length() const { return SysStringLen(b_); }
    std::wstring str() const { return FromBstr(b_); }

private:
    BSTR b_ = nullptr;
};

} // namespace kx
