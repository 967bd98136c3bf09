#include "PropertyBagIo.h"
#include "Bstr.h"

#include "ReturnIf.h"
#include "Variant.h"

namespace kx::ole {

HRESULT ReadProperty(IPropertyBag* bag, const wchar_t* name, VARTYPE vt, const VARIANT& def, VARIANT* value,
                     IErrorLog* log) {
    RETURN_HR_IF_NULL(E_POINTER, bag);
    RETURN_HR_IF_NULL(E_POINTER, value);
    VariantInit(value);
    V_VT(value) = vt;
    const HRESULT hr = bag->Read(name, value, log);
    if (SUCCEEDED(hr)) {
        // A bag that ignored the wanted type gets converted here.
        if (V_VT(value) != vt && vt != VT_EMPTY) RETURN_IF_FAILED(VariantChangeType(value, value, 0, vt));
        return S_OK;
    }
    VariantInit(value); // the bag may have left only the type
    if (hr != E_INVALIDARG) return hr;
    RETURN_IF_FAILED(VariantCopy(value, const_cast<VARIANT*>(&def)));
    return S_FALSE;
}

HRESULT WriteProperty(IPropertyBag* bag, const wchar_t* name, const VARIANT& value, const VARIANT& def,
                      BOOL saveAll) {
    RETURN_HR_IF_NULL(E_POINTER, bag);
    if (!saveAll && V_VT(&value) == V_VT(&def) &&
        VarCmp(const_cast<VARIANT*>(&value), const_cast<VARIANT*>(&def), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ) {
        return S_FALSE;
    }
    return bag->Write(name, const_cast<VARIANT*>(&value));
}

HRESULT ReadString(IPropertyBag* bag, const wchar_t* name, const std::wstring& def, std::wstring* value,
                   IErrorLog* log) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    Variant d;
    V_VT(d.get()) = VT_BSTR;
    V_BSTR(d.get()) = SysAllocStringLen(def.data(), static_cast<UINT>(def.size()));
    RETURN_HR_IF_NULL(E_OUTOFMEMORY, V_BSTR(d.get()));
    Variant v;
    const HRESULT hr = ReadProperty(bag, name, VT_BSTR, *d.get(), v.get(), log);
    RETURN_IF_FAILED(hr);
    *value = FromBstr(V_BSTR(v.get()));
    return hr;
}

HRESULT ReadLong(IPropertyBag* bag, const wchar_t* name, LONG def, LONG* value, IErrorLog* log) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    Variant d;
    V_VT(d.get()) = VT_I4;
    V_I4(d.get()) = def;
    Variant v;
    const HRESULT hr = ReadProperty(bag, name, VT_I4, *d.get(), v.get(), log);
    RETURN_IF_FAILED(hr);
    *value = V_I4(v.get());
    return hr;
}

HRESULT ReadBool(IPropertyBag* bag, const wchar_t* name, bool def, bool* value, IErrorLog* log) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    Variant d;
    V_VT(d.get()) = VT_BOOL;
    V_BOOL(d.get()) = def ? VARIANT_TRUE : VARIANT_FALSE;
    Variant v;
    const HRESULT hr = ReadProperty(bag, name, VT_BOOL, *d.get(), v.get(), log);
    RETURN_IF_FAILED(hr);
    *value = V_BOOL(v.get()) != VARIANT_FALSE;
    return hr;
}

HRESULT WriteString(IPropertyBag* bag, const wchar_t* name, const std::wstring& value, const std::wstring& def,
                    BOOL saveAll) {
    if (!saveAll && value == def) return S_FALSE;
    Variant v;
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    RETURN_HR_IF_NULL(E_OUTOFMEMORY, V_BSTR(v.get()));
    RETURN_HR_IF_NULL(E_POINTER, bag);
    return bag->Write(name, v.get());
}

HRESULT WriteLong(IPropertyBag* bag, const wchar_t* name, LONG value, LONG def, BOOL saveAll) {
    if (!saveAll && value == def) return S_FALSE;
    RETURN_HR_IF_NULL(E_POINTER, bag);
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return bag->Write(name, &v);
}

HRESULT WriteBool(IPropertyBag* bag, const wchar_t* name, bool value, bool def, BOOL saveAll) {
    if (!saveAll && value == def) return S_FALSE;
    RETURN_HR_IF_NULL(E_POINTER, bag);
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return bag->Write(name, &v);
}

} // namespace kx::ole
