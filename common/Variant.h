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

class Variant : public VariantHolder {
public:
    Variant() = default;

    // Coerces in place the way an automation caller would; false when the value does not convert.
    bool toLong(LONG& out) const {
        return to(VT_I4, [&](const VARIANT& v) { out = V_I4(&v); });
    }
    bool toBool(bool& out) const {
        return to(VT_BOOL, [&](const VARIANT& v) { out = V_BOOL(&v) != VARIANT_FALSE; });
    }
    bool toString(std::wstring& out) const {
        return to(VT_BSTR, [&](const VARIANT& v) { out = FromBstr(V_BSTR(&v)); });
    }

private:
    template <class F>
    bool to(VARTYPE vt, F&& take) const {
        VARIANT tmp;
        VariantInit(&tmp);
        if (FAILED(VariantChangeType(&tmp, const_cast<VARIANT*>(&v_), 0, vt))) return false;
        take(tmp);
        VariantClear(&tmp);
        return true;
    }
};

} // namespace kx
