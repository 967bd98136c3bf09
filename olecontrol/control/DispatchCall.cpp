#include "DispatchCall.h"

#include <cstring>

#include "TypeAttr.h"

#include "ComPtr.h"
#include "ReturnIf.h"
#include "ScopeExit.h"
#include "Variant.h"

namespace kx::ole {

namespace {

constexpr UINT kMaxArgs = 32;

bool IsPlainType(VARTYPE vt) {
    // DECIMAL overlays the variant's type field: left to Invoke.
    return ValueSize(vt) != 0 || vt == VT_BSTR || vt == VT_VARIANT || vt == VT_DISPATCH || vt == VT_UNKNOWN;
}

// The variant type a value of declared type t travels as, when it is one
// the conversion handles.
bool ValueType(ITypeInfo* ti, const TYPEDESC& t, VARTYPE* out) {
    if (IsPlainType(t.vt)) {
        *out = t.vt;
        return true;
    }
    if (t.vt == VT_PTR && t.lptdesc && t.lptdesc->vt == VT_USERDEFINED) {
        // An interface pointer: only the two generic ones convert safely.
        ComPtr<ITypeInfo> ref;
        if (FAILED(ti->GetRefTypeInfo(t.lptdesc->hreftype, &ref))) return false;
        TypeAttr attr(ref.Get());
        if (!attr.get()) return false;
        if (attr.get()->guid == IID_IDispatch) {
            *out = VT_DISPATCH;
            return true;
        }
        if (attr.get()->guid == IID_IUnknown) {
            *out = VT_UNKNOWN;
            return true;
        }
        return false;
    }
    if (t.vt == VT_USERDEFINED) {
        ComPtr<ITypeInfo> ref;
        if (FAILED(ti->GetRefTypeInfo(t.hreftype, &ref))) return false;
        TypeAttr attr(ref.Get());
        if (!attr.get()) return false;
        if (attr.get()->typekind == TKIND_ENUM) {
            *out = VT_I4;
            return true;
        }
        if (attr.get()->typekind == TKIND_ALIAS) return ValueType(ref.Get(), attr.get()->tdescAlias, out);
    }
    return false;
}

// The index of the parameter that rgvarg[position] is for, or -1.
int ParamIndex(const DISPPARAMS& p, UINT position, SHORT params) {
    if (position < p.cNamedArgs) {
        const DISPID named = p.rgdispidNamedArgs[position];
        if (named == DISPID_PROPERTYPUT) return params - 1;
        return named >= 0 && named < params ? named : -1;
    }
    const int k = static_cast<int>(p.cArgs - 1 - position);
    return k < params ? k : -1;
}

// Stores value (of any type) into the variable that ref (VT_BYREF|X,
// X not VT_VARIANT) points at, converted to X.
HRESULT StoreThrough(VARIANT* ref, const VARIANT* value) {
    const VARTYPE base = V_VT(ref) & ~VT_BYREF;
    if ((base & (VT_ARRAY | VT_VECTOR)) || !V_BYREF(ref)) return DISP_E_TYPEMISMATCH;
    Variant conv;
    RETURN_IF_FAILED(VariantChangeType(conv.get(), const_cast<VARIANT*>(value), 0, base));
    VARIANT* c = conv.get();
    if (const size_t n = ValueSize(base)) {
        std::memcpy(V_BYREF(ref), &V_UI1(c), n);
        return S_OK;
    }
    switch (base) {
    case VT_DECIMAL:
        *V_DECIMALREF(ref) = V_DECIMAL(c);
        break;
    case VT_BSTR:
        SysFreeString(*V_BSTRREF(ref));
        *V_BSTRREF(ref) = V_BSTR(c);
        V_VT(c) = VT_EMPTY; // ownership moved
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (*V_UNKNOWNREF(ref)) (*V_UNKNOWNREF(ref))->Release();
        *V_UNKNOWNREF(ref) = V_UNKNOWN(c);
        V_VT(c) = VT_EMPTY;
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

// Puts the callee's value back where the caller's argument came from.
HRESULT WriteBack(const VARIANTARG& callerArg, VARIANT* local) {
    if (!(V_VT(&callerArg) & VT_BYREF)) return S_OK; // by value: nothing to give back
    if (V_VT(&callerArg) != (VT_BYREF | VT_VARIANT)) return StoreThrough(const_cast<VARIANTARG*>(&callerArg), local);
    VARIANT* target = V_VARIANTREF(&callerArg);
    if (!target) return S_OK;
    if ((V_VT(target) & VT_BYREF) && V_VT(target) != (VT_BYREF | VT_VARIANT)) return StoreThrough(target, local);
    VariantClear(target);
    *target = *local; // moved: the local gives up what it held
    VariantInit(local);
    return S_OK;
}

struct Coerced {
    UINT position;
    VARIANT* local;
};

} // namespace

HRESULT CoercionPlan::Build(ITypeInfo* ti) {
    funcs_.clear();
    RETURN_HR_IF_NULL(E_POINTER, ti);
    try {
        // The interface's own members, then those it extends, up to IDispatch.
        for (ComPtr<ITypeInfo> level(ti); level;) {
            ComPtr<ITypeInfo> base;
            {
                // Each description is let go before the type it describes.
                TypeAttr attr(level.Get());
                RETURN_HR_IF_NULL(E_FAIL, attr.get());
                AddFuncs(level.Get(), attr.get()->cFuncs);
                HREFTYPE ref = 0;
                if (attr.get()->cImplTypes == 0 || FAILED(level->GetRefTypeOfImplType(0, &ref)) ||
                    FAILED(level->GetRefTypeInfo(ref, &base)))
                    break;
                TypeAttr baseAttr(base.Get());
                // IDispatch's own members are answered by the object itself.
                if (!baseAttr.get() || baseAttr.get()->guid == IID_IDispatch) break;
            }
            level = base;
        }
    } catch (...) {
        funcs_.clear();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void CoercionPlan::AddFuncs(ITypeInfo* ti, UINT count) {
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(ti->GetFuncDesc(i, &fd))) continue;
        Func f{fd->memid, static_cast<WORD>(fd->invkind), fd->cParams, std::vector<VARTYPE>(fd->cParams, VT_EMPTY)};
        for (SHORT k = 0; k < fd->cParams; ++k) {
            const ELEMDESC& param = fd->lprgelemdescParam[k];
            VARTYPE declared = VT_EMPTY;
            if (!(param.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) && param.tdesc.vt == VT_PTR &&
                param.tdesc.lptdesc && ValueType(ti, *param.tdesc.lptdesc, &declared)) {
                f.byRef[k] = declared;
            }
        }
        ti->ReleaseFuncDesc(fd);
        funcs_.push_back(std::move(f));
    }
}

// INVOKEKIND values are the DISPATCH_ flags they answer.
const CoercionPlan::Func* CoercionPlan::Find(DISPID id, WORD flags) const {
    for (const Func& f : funcs_) {
        if (f.id == id && (f.invkind & flags)) return &f;
    }
    return nullptr;
}

namespace {

// A by-reference argument of another type than declared: its value,
// converted, goes into local, and the argument refers to local instead.
HRESULT CoerceToLocal(VARIANTARG& arg, VARTYPE declared, VARIANT* local) {
    HRESULT hr = VariantCopyInd(local, &arg);
    if (SUCCEEDED(hr) && V_VT(local) == (VT_BYREF | VT_VARIANT)) hr = E_FAIL; // never nested twice
    if (SUCCEEDED(hr) && declared != VT_VARIANT && V_VT(local) != declared) {
        hr = VariantChangeType(local, local, 0, declared);
    }
    if (FAILED(hr)) return hr;
    if (declared == VT_VARIANT) {
        V_VT(&arg) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&arg) = local;
    } else {
        V_VT(&arg) = VT_BYREF | declared;
        V_BYREF(&arg) = &V_UI1(local); // the value's storage inside the variant
    }
    return S_OK;
}

} // namespace

HRESULT DirectCallResult(HRESULT hr, EXCEPINFO* excepInfo) {
    if (SUCCEEDED(hr)) return S_OK;
    if (excepInfo) {
        *excepInfo = EXCEPINFO{};
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            info->GetSource(&excepInfo->bstrSource);
            info->GetDescription(&excepInfo->bstrDescription);
            info->GetHelpFile(&excepInfo->bstrHelpFile);
            info->GetHelpContext(&excepInfo->dwHelpContext);
        }
        excepInfo->scode = hr;
    }
    return DISP_E_EXCEPTION;
}

HRESULT InvokeCoerced(ITypeInfo* typeInfo, const CoercionPlan& plan, void* instance, DISPID id, WORD flags,
                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    RETURN_HR_IF_NULL(E_POINTER, typeInfo);
    const CoercionPlan::Func* fd = nullptr;
    if (!params || params->cArgs == 0 || params->cArgs > kMaxArgs || !params->rgvarg ||
        (params->cNamedArgs && !params->rgdispidNamedArgs) || !(fd = plan.Find(id, flags))) {
        return typeInfo->Invoke(instance, id, flags, params, result, excepInfo, argErr);
    }

    VARIANTARG args[kMaxArgs];
    // Only the arguments that are converted get a local: the usual call, whose
    // arguments are what the callee takes, sets up and clears none.
    VARIANT locals[kMaxArgs];
    UINT nLocals = 0;
    const ScopeExit clearLocals([&] {
        for (UINT i = 0; i < nLocals; ++i) VariantClear(&locals[i]);
    });
    Coerced coerced[kMaxArgs];
    UINT nCoerced = 0;
    for (UINT pos = 0; pos < params->cArgs; ++pos) {
        args[pos] = params->rgvarg[pos]; // shallow: owns nothing
        const int index = ParamIndex(*params, pos, fd->params);
        if (index < 0) continue;
        const VARTYPE declared = fd->byRef[static_cast<size_t>(index)];
        if (declared == VT_EMPTY) continue;
        VARIANTARG& arg = args[pos];
        if (V_VT(&arg) == (VT_BYREF | declared)) continue; // already what the callee takes

        VARIANT* local = &locals[nLocals++];
        VariantInit(local);
        if (FAILED(CoerceToLocal(arg, declared, local))) {
            if (argErr) *argErr = pos;
            return DISP_E_TYPEMISMATCH;
        }
        coerced[nCoerced++] = Coerced{pos, local};
    }
    if (nCoerced == 0) return typeInfo->Invoke(instance, id, flags, params, result, excepInfo, argErr);

    DISPPARAMS call{args, params->rgdispidNamedArgs, params->cArgs, params->cNamedArgs};
    const HRESULT hr = typeInfo->Invoke(instance, id, flags, &call, result, excepInfo, argErr);
    // Changes made before a raised error stay visible, as with a variable
    // passed by reference.
    HRESULT back = S_OK;
    UINT backPos = 0;
    for (UINT i = 0; i < nCoerced; ++i) {
        const HRESULT h = WriteBack(params->rgvarg[coerced[i].position], coerced[i].local);
        if (FAILED(h) && SUCCEEDED(back)) {
            back = h;
            backPos = coerced[i].position;
        }
    }
    if (SUCCEEDED(hr) && FAILED(back)) {
        if (argErr) *argErr = backPos;
        return back == DISP_E_OVERFLOW ? back : DISP_E_TYPEMISMATCH;
    }
    return hr;
}

} // namespace kx::ole
