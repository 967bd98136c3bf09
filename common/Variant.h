// Owners of one VARIANT: cleared on destruction and before reuse.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

#include "Bstr.h"

namespace kx {

// The size in bytes of a value of a fixed-size scalar type (the integers,
// Booleans, reals, currency, dates and error codes), as it lies at the start
// of the VARIANT's value; 0 for every other type.
inline size_t ValueSize(VARTYPE vt) {
    switch (vt) {
    case VT_I1:
    case VT_UI1:
        return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
        return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
        return 8;
    default:
        return 0;
    }
}

// What every owner of a VARIANT has: the VARIANT, empty at first, cleared
// before reuse and when the owner goes. kx::Variant owns one alone; the
// runtime's copyable kxhost::Var builds on the same.
class VariantHolder {
public:
    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* put() {
        VariantClear(&v_);
        return &v_;
    }
    VARTYPE vt() const { return V_VT(&v_); }

protected:
    VariantHolder() { VariantInit(&v_); }
    ~VariantHolder() { VariantClear(&v_); }
    VariantHolder(const VariantHolder&) = delete;
    VariantHolder& operator=(const VariantHolder&) = delete;
    VARIANT v_;
};

// A window handle, wParam or lParam on an automation interface: LONG_PTR,
// which travels as VT_I4 in a 32-bit process and as VT_I8 in a 64-bit one.
constexpr VARTYPE kVtLongPtr = sizeof(LONG_PTR) == 8 ? VT_I8 : VT_I4;
// An argument that refers to a pointer-sized variable of the caller's.
inline void SetLongPtrRef(VARIANTARG& arg, LONG_PTR* ref) {
    V_VT(&arg) = VT_BYREF | kVtLongPtr;
    V_BYREF(&arg) = ref;
}
inline void SetLongPtr(VARIANT& v, LONG_PTR value) {
#ifdef _WIN64
    V_VT(&v) = VT_I8;
    V_I8(&v) = value;
#else
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
#endif
}

// The one coercion of a VARIANT to the values the project reads, the way an
// automation caller converts (VariantChangeType); the status says why not.
// alphaBool: a Boolean becomes "True"/"False" as VB's CStr gives it, not "-1"/"0".
HRESULT CoerceLong(const VARIANT& v, LONG* out);
HRESULT CoerceLongPtr(const VARIANT& v, LONG_PTR* out);
HRESULT CoerceBool(const VARIANT& v, bool* out);
HRESULT CoerceString(const VARIANT& v, std::wstring* out, bool alphaBool = false);

class Variant : public VariantHolder {
public:
    Variant() = default;

    // Coerced the way an automation caller would; false when the value does not convert.
    bool toLong(LONG& out) const { return SUCCEEDED(CoerceLong(v_, &out)); }
    bool toLongPtr(LONG_PTR& out) const { return SUCCEEDED(CoerceLongPtr(v_, &out)); }
    bool toBool(bool& out) const { return SUCCEEDED(CoerceBool(v_, &out)); }
    bool toString(std::wstring& out) const { return SUCCEEDED(CoerceString(v_, &out)); }
};

} // namespace kx
