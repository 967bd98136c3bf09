#include "Var.h"
#include "Bstr.h"
#include "LateBound.h"

namespace kxhost {

namespace {
Var Converted(const VARIANT& v, VARTYPE vt) {
    Var out;
    // Booleans become "True"/"False" as text, as VB's CStr gives them, not "-1"/"0".
    const USHORT flags = vt == VT_BSTR ? VARIANT_ALPHABOOL : 0;
    const HRESULT hr = VariantChangeType(out.get(), const_cast<VARIANT*>(&v), flags, vt);
    if (FAILED(hr)) throw kx::RaisedError(kx::ErrorFromStatus(hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH));
    return out;
}
} // namespace

LONG Var::AsLong() const { return V_I4(Converted(v_, VT_I4).get()); }

bool Var::AsBool() const { return V_BOOL(Converted(v_, VT_BOOL).get()) != VARIANT_FALSE; }

std::wstring Var::AsString() const {
    Var s = Converted(v_, VT_BSTR);
    return kx::FromBstr(V_BSTR(s.get()));
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
