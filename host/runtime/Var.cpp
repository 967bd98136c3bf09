#include "Var.h"
#include "Bstr.h"
#include "LateBound.h"

namespace kxhost {

namespace {
// A failed conversion raises what VB's CLng, CBool or CStr raise.
void Check(HRESULT hr) {
    if (FAILED(hr)) throw kx::RaisedError(kx::ErrorFromStatus(hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH));
}
} // namespace

LONG Var::AsLong() const {
    LONG v = 0;
    Check(kx::CoerceLong(v_, &v));
    return v;
}

LONG_PTR Var::AsLongPtr() const {
    LONG_PTR v = 0;
    Check(kx::CoerceLongPtr(v_, &v));
    return v;
}

bool Var::AsBool() const {
    bool v = false;
    Check(kx::CoerceBool(v_, &v));
    return v;
}

std::wstring Var::AsString() const {
    std::wstring v;
    // Booleans become "True"/"False" as text, as VB's CStr gives them.
    Check(kx::CoerceString(v_, &v, true));
    return v;
}

kx::ComPtr<IDispatch> Var::AsObject() const {
    const VARIANT* v = &v_;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    kx::ComPtr<IDispatch> d;
    if (V_VT(v) == VT_DISPATCH) d = V_DISPATCH(v);
    else if (V_VT(v) == (VT_BYREF | VT_DISPATCH)) d = *V_DISPATCHREF(v);
    else if (V_VT(v) == VT_UNKNOWN && V_UNKNOWN(v)) V_UNKNOWN(v)->QueryInterface(IID_PPV_ARGS(&d));
    else throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_TYPEMISMATCH));
    return d;
}

} // namespace kxhost
