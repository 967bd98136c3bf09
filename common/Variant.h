// Owner of one VARIANT: cleared on destruction and before reuse.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

#include "Bstr.h"

namespace kx {

class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* put() { VariantClear(&v_); return &v_; }
    VARTYPE vt() const { return V_VT(&v_); }

    // Coerces in place the way an automation caller would; false when the value does not convert.
    bool toLong(LONG& out) const { return to(VT_I4, [&](const VARIANT& v) { out = V_I4(&v); }); }
    bool toBool(bool& out) const { return to(VT_BOOL, [&](const VARIANT& v) { out = V_BOOL(&v) != VARIANT_FALSE; }); }
    bool toString(std::wstring& out) const {
        return to(VT_BSTR, [&](const VARIANT& v) { out = FromBstr(V_BSTR(&v)); });
    }

private:
    template <class F> bool to(VARTYPE vt, F&& take) const {
        VARIANT tmp; VariantInit(&tmp);
        if (FAILED(VariantChangeType(&tmp, const_cast<VARIANT*>(&v_), 0, vt))) return false;
        take(tmp);
        VariantClear(&tmp);
        return true;
    }
    VARIANT v_;
};

} // namespace kx
