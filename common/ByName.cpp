#include "ByName.h"

#include "Bstr.h"
#include "LateBound.h"
#include "Variant.h"

namespace kx::byname {

namespace {

[[noreturn]] void Raise(HRESULT hr) { throw kx::RaisedError(kx::ErrorFromStatus(hr)); }

void Get(IDispatch* object, const wchar_t* name, kx::Variant& out) {
    Invoke(object, name, DISPATCH_PROPERTYGET, nullptr, 0, out.put());
}

void Put(IDispatch* object, const wchar_t* name, VARIANT value) {
    Invoke(object, name, DISPATCH_PROPERTYPUT, &value, 1, nullptr);
}

} // namespace

void Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANTARG* args, UINT count, VARIANT* result) {
    kx::AutomationError err;
    if (FAILED(kx::InvokeByName(object, name, flags, args, count, result, &err))) throw kx::RaisedError(err);
}

std::wstring GetString(IDispatch* object, const wchar_t* name) {
    kx::Variant v;
    Get(object, name, v);
    std::wstring out;
    if (!v.toString(out)) Raise(DISP_E_TYPEMISMATCH);
    return out;
}

bool GetBool(IDispatch* object, const wchar_t* name) {
    kx::Variant v;
    Get(object, name, v);
    bool out = false;
    if (!v.toBool(out)) Raise(DISP_E_TYPEMISMATCH);
    return out;
}

LONG_PTR GetLongPtr(IDispatch* object, const wchar_t* name) {
    kx::Variant v;
    Get(object, name, v);
    LONG_PTR out = 0;
    if (!v.toLongPtr(out)) Raise(DISP_E_TYPEMISMATCH);
    return out;
}

kx::ComPtr<IDispatch> GetObject(IDispatch* object, const wchar_t* name) {
    kx::Variant v;
    Get(object, name, v);
    kx::ComPtr<IDispatch> out;
    if (v.vt() == VT_DISPATCH) out = V_DISPATCH(v.get());
    else if (v.vt() == VT_UNKNOWN && V_UNKNOWN(v.get())) V_UNKNOWN(v.get())->QueryInterface(IID_PPV_ARGS(&out));
    else Raise(DISP_E_TYPEMISMATCH);
    if (!out) Raise(E_POINTER); // Nothing, used as an object
    return out;
}

void Let(IDispatch* object, const wchar_t* name, const std::wstring& value) {
    kx::Bstr b(value);
    if (!b.get() && !value.empty()) Raise(E_OUTOFMEMORY);
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = b.get();
    Put(object, name, v);
}

void Let(IDispatch* object, const wchar_t* name, bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    Put(object, name, v);
}

void LetLongPtr(IDispatch* object, const wchar_t* name, LONG_PTR value) {
    VARIANT v;
    kx::SetLongPtr(v, value);
    Put(object, name, v);
}

std::vector<kx::ComPtr<IDispatch>> Members(IDispatch* collection) {
    kx::Variant en;
    kx::AutomationError err;
    if (FAILED(kx::InvokeId(collection, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0, en.get(),
                            &err)))
        throw kx::RaisedError(err);
    if ((en.vt() != VT_UNKNOWN && en.vt() != VT_DISPATCH) || !V_UNKNOWN(en.get())) Raise(DISP_E_TYPEMISMATCH);
    kx::ComPtr<IEnumVARIANT> e;
    const HRESULT hr = V_UNKNOWN(en.get())->QueryInterface(IID_PPV_ARGS(&e));
    if (FAILED(hr)) Raise(hr);
    std::vector<kx::ComPtr<IDispatch>> items;
    for (;;) {
        kx::Variant item;
        ULONG got = 0;
        if (e->Next(1, item.get(), &got) != S_OK || got == 0) break;
        kx::ComPtr<IDispatch> d;
        if (item.vt() == VT_DISPATCH) d = V_DISPATCH(item.get());
        else if (item.vt() == VT_UNKNOWN && V_UNKNOWN(item.get()))
            V_UNKNOWN(item.get())->QueryInterface(IID_PPV_ARGS(&d));
        items.push_back(d);
    }
    return items;
}

} // namespace kx::byname
