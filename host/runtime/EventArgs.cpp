#include "EventArgs.h"
#include "Bstr.h"
#include "LateBound.h"
#include <cstring>

namespace kxhost {

namespace {

[[noreturn]] void Fail(HRESULT hr) { throw kx::RaisedError(kx::ErrorFromStatus(hr)); }

// Stores v in the variable a by-reference argument points at, converted to that variable's type.
void SetThrough(VARIANTARG& a, const Var& v) {
    if (!(V_VT(&a) & VT_BYREF)) Fail(DISP_E_TYPEMISMATCH);
    const VARTYPE target = V_VT(&a) & ~VT_BYREF;
    if (target == VT_VARIANT) {
        VARIANT* dst = V_VARIANTREF(&a);
        const HRESULT hr = VariantCopy(dst, const_cast<VARIANT*>(v.get()));
        if (FAILED(hr)) Fail(hr);
        return;
    }
    Var conv;
    const HRESULT hr = VariantChangeType(conv.get(), const_cast<VARIANT*>(v.get()), 0, target);
    if (FAILED(hr)) Fail(hr);
    // Integers of any width (a LongPtr is 64 bits in a 64-bit program),
    // Booleans and reals: the value lies at the start of the variant's.
    if (const size_t n = kx::ValueSize(target)) {
        std::memcpy(V_BYREF(&a), &V_UI1(conv.get()), n);
        return;
    }
    switch (target) {
    case VT_BSTR:
        SysFreeString(*V_BSTRREF(&a));
        *V_BSTRREF(&a) = V_BSTR(conv.get());
        V_VT(conv.get()) = VT_EMPTY; // ownership moved to the caller's variable
        break;
    default:
        Fail(DISP_E_TYPEMISMATCH);
    }
}

} // namespace

VARIANTARG& EventArgs::Raw(UINT i) const {
    if (!params_ || i >= params_->cArgs) Fail(DISP_E_PARAMNOTFOUND);
    return params_->rgvarg[params_->cArgs - 1 - i];
}

void EventArgs::SetLong(UINT i, LONG v) { SetThrough(Raw(i), Var(v)); }
void EventArgs::SetLongPtr(UINT i, LONG_PTR v) { SetThrough(Raw(i), Var::LongPtr(v)); }
void EventArgs::SetBool(UINT i, bool v) { SetThrough(Raw(i), Var(v)); }

std::vector<std::wstring> EventArgs::Strings(UINT i) const {
    const VARIANT* v = &Raw(i);
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    SAFEARRAY* sa = nullptr;
    if (V_VT(v) == (VT_ARRAY | VT_BSTR)) sa = V_ARRAY(v);
    else if (V_VT(v) == (VT_BYREF | VT_ARRAY | VT_BSTR)) sa = *V_ARRAYREF(v);
    else Fail(DISP_E_TYPEMISMATCH);
    std::vector<std::wstring> out;
    if (!sa) return out;
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(sa, 1, &lo);
    SafeArrayGetUBound(sa, 1, &hi);
    for (LONG k = lo; k <= hi; ++k) {
        BSTR b = nullptr;
        if (FAILED(SafeArrayGetElement(sa, &k, &b))) Fail(DISP_E_BADINDEX);
        out.push_back(kx::FromBstr(b));
        SysFreeString(b);
    }
    return out;
}

} // namespace kxhost
