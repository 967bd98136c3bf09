#include "AutoObject.h"
#include "Bstr.h"
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

void AutoObject::Define(const std::wstring& name, MemberFn fn, DISPID id) {
    const std::wstring upper = UpperCase(name);
    for (auto& e : members_) {
        if (e.upper == upper) {
            e.fn = std::move(fn);
            if (id != DISPID_UNKNOWN) e.id = id;
            return;
        }
    }
    if (id == DISPID_UNKNOWN) id = kFirstOwnId + static_cast<DISPID>(members_.size());
    members_.push_back({upper, std::move(fn), id});
}

void AutoObject::Clear() {
    for (auto& e : members_) {
        e.upper.clear();
        e.fn = nullptr;
    }
    fallback_.Reset();
}

void AutoObject::SetFallback(IDispatch* target) { fallback_ = target; }

AutoObject::Entry* AutoObject::Find(DISPID id) {
    for (auto& e : members_) {
        if (e.id == id && e.fn) return &e;
    }
    return nullptr;
}

void AutoObject::Remove(const std::wstring& name) {
    const std::wstring upper = UpperCase(name);
    for (auto& e : members_) {
        if (e.upper == upper) {
            e.upper.clear();
            e.fn = nullptr;
        }
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
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    DefineValue(name, v);
}

void AutoObject::DefineString(const std::wstring& name, const std::wstring& value) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    DefineValue(name, v);
    VariantClear(&v);
}

void AutoObject::DefineBool(const std::wstring& name, bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    DefineValue(name, v);
}

STDMETHODIMP AutoObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const std::wstring upper = UpperCase(names[0]);
    for (const auto& e : members_) {
        if (!upper.empty() && e.upper == upper && e.fn) {
            ids[0] = e.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    if (fallback_) return fallback_->GetIDsOfNames(IID_NULL, names, count, LOCALE_USER_DEFAULT, ids);
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP AutoObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* ei,
                                UINT* argErr) {
    Entry* e = Find(id);
    if (!e) {
        if (!fallback_) return DISP_E_MEMBERNOTFOUND;
        ComPtr<IDispatch> target = fallback_;
        return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result, ei, argErr);
    }
    // Copy: the member may redefine itself while it runs.
    MemberFn fn = e->fn;
    DISPPARAMS empty{nullptr, nullptr, 0, 0};
    // Nothing thrown by a member crosses IDispatch: it becomes the caller's error.
    try {
        return fn(flags, params ? params : &empty, result, ei);
    } catch (const RaisedError& e) {
        const AutomationError& err = e.error();
        if (ei) {
            *ei = EXCEPINFO{};
            ei->scode = FAILED(err.hr) ? err.hr : VbErrorStatus(err.number);
            ei->bstrDescription = SysAllocString(err.description.c_str());
            if (!err.helpFile.empty()) ei->bstrHelpFile = SysAllocString(err.helpFile.c_str());
            ei->dwHelpContext = err.helpContext;
        }
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT AutoObject::Raise(EXCEPINFO* ei, LONG number, const std::wstring& description) {
    if (ei) {
        *ei = EXCEPINFO{};
        ei->scode = VbErrorStatus(number);
        ei->bstrDescription = SysAllocString(description.c_str());
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

LONG_PTR* ArgLongPtrRef(DISPPARAMS* p, UINT i) {
    VARIANT* v = Arg(p, i);
    return v && V_VT(v) == (VT_BYREF | kVtLongPtr) ? reinterpret_cast<LONG_PTR*>(V_BYREF(v)) : nullptr;
}

LONG ArgLong(DISPPARAMS* p, UINT i) {
    LONG out = 0;
    if (VARIANT* v = Arg(p, i)) CoerceLong(*v, &out); // 0 when it does not convert
    return out;
}

std::wstring ArgString(DISPPARAMS* p, UINT i) {
    std::wstring out;
    if (VARIANT* v = Arg(p, i)) CoerceString(*v, &out); // empty when it does not convert
    return out;
}

} // namespace kx
