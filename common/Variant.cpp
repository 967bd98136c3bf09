#include "Variant.h"

namespace kx {

namespace {

template <class Take>
HRESULT Coerce(const VARIANT& v, VARTYPE vt, USHORT flags, Take&& take) {
    // A value of the wanted type is taken as it is: what a conversion to
    // its own type would give, without a round through the system's.
    if (V_VT(&v) == vt) {
        take(v);
        return S_OK;
    }
    VARIANT tmp;
    VariantInit(&tmp);
    const HRESULT hr = VariantChangeType(&tmp, const_cast<VARIANT*>(&v), flags, vt);
    if (SUCCEEDED(hr)) take(tmp);
    VariantClear(&tmp);
    return hr;
}

} // namespace

HRESULT CoerceLong(const VARIANT& v, LONG* out) {
    return Coerce(v, VT_I4, 0, [&](const VARIANT& t) { *out = V_I4(&t); });
}

HRESULT CoerceLongPtr(const VARIANT& v, LONG_PTR* out) {
#ifdef _WIN64
    return Coerce(v, VT_I8, 0, [&](const VARIANT& t) { *out = V_I8(&t); });
#else
    return CoerceLong(v, out);
#endif
}

HRESULT CoerceBool(const VARIANT& v, bool* out) {
    return Coerce(v, VT_BOOL, 0, [&](const VARIANT& t) { *out = V_BOOL(&t) != VARIANT_FALSE; });
}

HRESULT CoerceString(const VARIANT& v, std::wstring* out, bool alphaBool) {
    return Coerce(v, VT_BSTR, alphaBool ? VARIANT_ALPHABOOL : 0,
                  [&](const VARIANT& t) { *out = FromBstr(V_BSTR(&t)); });
}

} // namespace kx
