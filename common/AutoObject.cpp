#include "AutoObject.h"
#include "Text.h"
#include "Variant.h"
#include "LateBound.h"
#include <memory>

namespace kx {

ComPtr<AutoObject> AutoObject::New() {
    ComPtr<AutoObject> o;
    if (FAILED(Make(o))) throw std::bad_alloc();
    return o;
}

void AutoObject::Define(const std::wstring& name, MemberFn fn) {
    const std::wstring upper = UpperCase(name);
    for (auto& e : members_) {
        if (e.upper == upper) { e.fn = std::move(fn); return; }
    }
    members_.push_back({upper, std::move(fn)});
}

void AutoObject::Remove(const std::wstring& name) {
    const std::wstring upper = UpperCase(name);
    for (auto& e : members_) {
        if (e.upper == upper) { e.upper.clear(); e.fn = nullptr; }
    }
}

void AutoObject::DefineValue(const std::wstring& name, const VARIANT& value) {
    auto copy = std::make_shared<Variant>();
    VariantCopy(copy->get(), const_cast<VARIANT*>(&value));
    Define(name, [copy](WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*) -> HRESULT {
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        return result ? VariantCopy(result, copy->get()) : S_OK;
    });
}

void AutoObject::DefineLong(const std::wstring& name, LONG value) {
    VARIANT v; V_VT(&v) = VT_I4; V_I4(&v) = value;
    DefineValue(name, v);
}

void AutoObject::DefineString(const std::wstring& name, const std::wstring& value) {
    VARIANT v; V_VT(&v) = VT_BSTR; V_BSTR(&v) = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    DefineValue(name, v);
    VariantClear(&v);
}

void AutoObject::DefineBool(const std::wstring& name, bool value) {
    VARIANT v; V_VT(&v) = VT_BOOL; V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    DefineValue(name, v);
}

STDMETHODIMP AutoObject::GetTypeInfoCount(UINT* n) { if (n) *n = 0; return S_OK; }
STDMETHODIMP AutoObject::GetTypeInfo(UINT, LCID, ITypeInfo** ti) { if (ti) *ti = nullptr; return E_NOTIMPL; }

STDMETHODIMP AutoObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const std::wstring upper = UpperCase(names[0]);
    for (size_t i = 0; i < members_.size(); ++i) {
        if (!upper.empty() && members_[i].upper == upper) {
            ids[0] = static_cast<DISPID>(i + 1);
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP AutoObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* ei, UINT*) {
    if (id < 1 || static_cast<size_t>(id) > members_.size() || !members_[id - 1].fn) return DISP_E_MEMBERNOTFOUND;
    // Copy: the member may redefine itself while it runs.
    MemberFn fn = members_[id - 1].fn;
    DISPPARAMS empty{nullptr, nullptr, 0, 0};
    return fn(flags, params ? params : &empty, result, ei);
}

HRESULT AutoObject::Raise(EXCEPINFO* ei, LONG number, const std::wstring& description) {
    if (ei) {
        *ei = EXCEPINFO{};
        ei->scode = VbErrorStatus(number);
        ei->bstrDescription = SysAllocString(description.c_str());
        ei->bstrSource = SysAllocString(L"Test");
    }
    return DISP_E_EXCEPTION;
}

namespace {
VARIANT* Arg(DISPPARAMS* p, UINT i) {
    if (!p || i >= p->cArgs) return nullptr;
    return &p->rgvarg[p->cArgs - 1 - i];
}
} // namespace

LONG* ArgLongRef(DISPPARAMS* p, UINT i) {
    VARIANT* v = Arg(p, i);
    return v && V_VT(v) == (VT_BYREF | VT_I4) ? V_I4REF(v) : nullptr;
}

LONG ArgLong(DISPPARAMS* p, UINT i) {
    VARIANT* v = Arg(p, i);
    if (!v) return 0;
    VARIANT tmp; VariantInit(&tmp);
    LONG out = 0;
    if (SUCCEEDED(VariantChangeType(&tmp, v, 0, VT_I4))) out = V_I4(&tmp);
    VariantClear(&tmp);
    return out;
}

std::wstring ArgString(DISPPARAMS* p, UINT i) {
    VARIANT* v = Arg(p, i);
    if (!v) return {};
    VARIANT tmp; VariantInit(&tmp);
    std::wstring out;
    if (SUCCEEDED(VariantChangeType(&tmp, v, 0, VT_BSTR)) && V_BSTR(&tmp)) out.assign(V_BSTR(&tmp), SysStringLen(V_BSTR(&tmp)));
    VariantClear(&tmp);
    return out;
}

} // namespace kx
