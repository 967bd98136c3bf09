#include "FormPropertyBag.h"
#include "ReturnIf.h"
#include "Bstr.h"
#include "Text.h"
#include "Var.h"

namespace kxhost {

HRESULT ValueToVariant(const Value& v, VARIANT* out) {
    VariantInit(out);
    if (auto b = std::get_if<bool>(&v)) {
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (auto l = std::get_if<LONG>(&v)) {
        V_VT(out) = VT_I4;
        V_I4(out) = *l;
    } else if (auto d = std::get_if<double>(&v)) {
        V_VT(out) = VT_R8;
        V_R8(out) = *d;
    } else {
        const std::wstring& s = std::get<std::wstring>(v);
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        if (!V_BSTR(out)) return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT VariantToValue(const VARIANT& in, Value* out) {
    Var v = Var::Copy(in);
    switch (v.vt()) {
    case VT_BOOL:
        *out = V_BOOL(v.get()) != VARIANT_FALSE;
        return S_OK;
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT: {
        Var l;
        RETURN_IF_FAILED(VariantChangeType(l.get(), v.get(), 0, VT_I4));
        *out = static_cast<LONG>(V_I4(l.get()));
        return S_OK;
    }
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL: {
        Var d;
        RETURN_IF_FAILED(VariantChangeType(d.get(), v.get(), 0, VT_R8));
        *out = V_R8(d.get());
        return S_OK;
    }
    default: {
        Var s;
        RETURN_IF_FAILED(VariantChangeType(s.get(), v.get(), 0, VT_BSTR));
        *out = kx::FromBstr(V_BSTR(s.get()));
        return S_OK;
    }
    }
}

namespace {} // namespace

STDMETHODIMP FormPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    const Value* found = nullptr;
    try {
        found = FindProp(entries_, name);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (!found) return E_INVALIDARG; // absent: the control takes its default
    VARIANT tmp;
    RETURN_IF_FAILED(ValueToVariant(*found, &tmp));
    const VARTYPE want = V_VT(value);
    if (want != VT_EMPTY && want != V_VT(&tmp)) {
        // The type the control asks for, as VB's bag converts.
        VARIANT conv;
        VariantInit(&conv);
        const HRESULT hr = VariantChangeType(&conv, &tmp, 0, want);
        VariantClear(&tmp);
        if (FAILED(hr)) return hr;
        tmp = conv;
    }
    // On entry only the type is meaningful (a control may hand in VT_BSTR
    // with nothing behind it): the value is overwritten, never freed.
    *value = tmp;
    return S_OK;
}

STDMETHODIMP FormPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    Value v;
    RETURN_IF_FAILED(VariantToValue(*value, &v));
    try {
        const std::wstring key = kx::LowerCase(name);
        for (auto& p : entries_) {
            if (kx::LowerCase(p.name) == key) {
                p.name = key;
                p.value = std::move(v);
                return S_OK;
            }
        }
        entries_.push_back({key, std::move(v)});
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace kxhost
