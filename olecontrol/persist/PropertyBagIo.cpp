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

HRESULT WriteProperty(IPropertyBag* bag, const wchar_t* name, const VARIANT& value, const VARIANT& def, BOOL saveAll) {
    RETURN_HR_IF_NULL(E_POINTER, bag);
    if (!saveAll && V_VT(&value) == V_VT(&def) &&
        VarCmp(const_cast<VARIANT*>(&value), const_cast<VARIANT*>(&def), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ) {
        return S_FALSE;
    }
    return bag->Write(name, const_cast<VARIANT*>(&value));
}

namespace {

// The three persisted types as variants and back.
HRESULT ToVariant(const std::wstring& s, Variant& v) {
    V_VT(v.put()) = VT_BSTR;
    V_BSTR(v.get()) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return V_BSTR(v.get()) ? S_OK : E_OUTOFMEMORY;
}
HRESULT ToVariant(LONG n, Variant& v) {
    V_VT(v.put()) = VT_I4;
    V_I4(v.get()) = n;
    return S_OK;
}
HRESULT ToVariant(bool b, Variant& v) {
    V_VT(v.put()) = VT_BOOL;
    V_BOOL(v.get()) = b ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
void FromVariant(const VARIANT& v, std::wstring* s) { *s = FromBstr(V_BSTR(&v)); }
void FromVariant(const VARIANT& v, LONG* n) { *n = V_I4(&v); }
void FromVariant(const VARIANT& v, bool* b) { *b = V_BOOL(&v) != VARIANT_FALSE; }

template <class T>
HRESULT ReadAs(IPropertyBag* bag, const wchar_t* name, VARTYPE vt, const T& def, T* value, IErrorLog* log) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    Variant d, v;
    RETURN_IF_FAILED(ToVariant(def, d));
    const HRESULT hr = ReadProperty(bag, name, vt, *d.get(), v.get(), log);
    RETURN_IF_FAILED(hr);
    FromVariant(*v.get(), value);
    return hr;
}

template <class T>
HRESULT WriteAs(IPropertyBag* bag, const wchar_t* name, const T& value, const T& def, BOOL saveAll) {
    if (!saveAll && value == def) return S_FALSE;
    Variant v;
    RETURN_IF_FAILED(ToVariant(value, v));
    RETURN_HR_IF_NULL(E_POINTER, bag);
    return bag->Write(name, v.get());
}

} // namespace

HRESULT ReadValue(IPropertyBag* bag, const wchar_t* name, const std::wstring& def, std::wstring* value,
                  IErrorLog* log) {
    return ReadAs(bag, name, VT_BSTR, def, value, log);
}
HRESULT ReadValue(IPropertyBag* bag, const wchar_t* name, const LONG& def, LONG* value, IErrorLog* log) {
    return ReadAs(bag, name, VT_I4, def, value, log);
}
HRESULT ReadValue(IPropertyBag* bag, const wchar_t* name, const bool& def, bool* value, IErrorLog* log) {
    return ReadAs(bag, name, VT_BOOL, def, value, log);
}

HRESULT WriteValue(IPropertyBag* bag, const wchar_t* name, const std::wstring& value, const std::wstring& def,
                   BOOL saveAll) {
    return WriteAs(bag, name, value, def, saveAll);
}
HRESULT WriteValue(IPropertyBag* bag, const wchar_t* name, const LONG& value, const LONG& def, BOOL saveAll) {
    return WriteAs(bag, name, value, def, saveAll);
}
HRESULT WriteValue(IPropertyBag* bag, const wchar_t* name, const bool& value, const bool& def, BOOL saveAll) {
    return WriteAs(bag, name, value, def, saveAll);
}

} // namespace kx::ole
