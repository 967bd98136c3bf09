// A copyable owner of one VARIANT, for values handed around by C++ code of
// the runtime (results of late-bound calls, event arguments).
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

#include "ComPtr.h"
#include "Variant.h"

namespace kxhost {

class Var : public kx::VariantHolder {
public:
    Var() = default;
    Var(LONG v) : Var() {
        V_VT(&v_) = VT_I4;
        V_I4(&v_) = v;
    }
    Var(int v) : Var(static_cast<LONG>(v)) {}
    Var(bool v) : Var() {
        V_VT(&v_) = VT_BOOL;
        V_BOOL(&v_) = v ? VARIANT_TRUE : VARIANT_FALSE;
    }
    Var(double v) : Var() {
        V_VT(&v_) = VT_R8;
        V_R8(&v_) = v;
    }
    Var(const wchar_t* s) : Var(std::wstring(s ? s : L"")) {}
    Var(const std::wstring& s) : Var() {
        V_VT(&v_) = VT_BSTR;
        V_BSTR(&v_) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    }
    Var(IDispatch* d) : Var() {
        V_VT(&v_) = VT_DISPATCH;
        V_DISPATCH(&v_) = d;
        if (d) d->AddRef();
    }
    // VB's LongPtr: a window handle or a message parameter, as wide as a
    // pointer (Long in a 32-bit program).
    static Var LongPtr(LONG_PTR v) {
        Var r;
        kx::SetLongPtr(r.v_, v);
        return r;
    }
    // Takes a copy of any VARIANT, following one level of reference.
    static Var Copy(const VARIANT& v) {
        Var r;
        VariantCopyInd(&r.v_, const_cast<VARIANT*>(&v));
        return r;
    }

    Var(const Var& o) : VariantHolder() { VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)); }
    Var& operator=(const Var& o) {
        if (this != &o) {
            VariantClear(&v_);
            VariantCopy(&v_, const_cast<VARIANT*>(&o.v_));
        }
        return *this;
    }
    Var(Var&& o) noexcept : VariantHolder() {
        v_ = o.v_;
        VariantInit(&o.v_);
    }
    Var& operator=(Var&& o) noexcept {
        if (this != &o) {
            VariantClear(&v_);
            v_ = o.v_;
            VariantInit(&o.v_);
        }
        return *this;
    }
    bool empty() const { return V_VT(&v_) == VT_EMPTY; }

    // Conversions as VB's CLng/CStr/CBool do them; throw kx::RaisedError (13, type mismatch) when impossible.
    LONG AsLong() const;
    LONG_PTR AsLongPtr() const;
    std::wstring AsString() const;
    bool AsBool() const;
    kx::ComPtr<IDispatch> AsObject() const;
};

// A member's result for the automation object: a copy into the caller's
// VARIANT, when the caller asked for one.
inline HRESULT Return(VARIANT* result, const Var& v) {
    return result ? VariantCopy(result, const_cast<VARIANT*>(v.get())) : S_OK;
}

} // namespace kxhost
