#include "CallbackObject.h"
#include "ReturnIf.h"
#include "Bstr.h"
#include "Variant.h"

namespace {
const wchar_t* const kNames[] = {L"DoGetEvents", L"gFn_ErrMsg", L"FileDropMode"};
}

HRESULT CallbackObject::Id(Member m, DISPID* id) {
    if (!Get()) return E_POINTER;
    if (ids_[m] == DISPID_UNKNOWN) {
        DISPID found = DISPID_UNKNOWN;
        RETURN_IF_FAILED(kx::GetDispId(Get(), kNames[m], &found));
        ids_[m] = found;
    }
    *id = ids_[m];
    return S_OK;
}

HRESULT CallbackObject::DoGetEvents(LONG_PTR* hwnd, LONG* msg, LONG_PTR* wp, LONG_PTR* lp, bool* cancel) {
    DISPID id;
    const HRESULT hrId = Id(kDoGetEvents, &id);
    if (FAILED(hrId)) return hrId;
    VARIANTARG args[4];
    kx::SetLongPtrRef(args[0], hwnd);
    V_VT(&args[1]) = VT_BYREF | VT_I4;
    V_I4REF(&args[1]) = msg;
    kx::SetLongPtrRef(args[2], wp);
    kx::SetLongPtrRef(args[3], lp);
    // Keep the object alive for the whole call: the handler may stop the
    // capture or end the control, which clears this reference (and may end
    // the store that holds this object: nothing of it is used after the call).
    const kx::ComPtr<IDispatch> keep = Ptr();
    kx::Variant result;
    RETURN_IF_FAILED(
        kx::InvokeId(keep.Get(), id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, 4, result.get(), nullptr));
    bool value = false;
    if (result.vt() != VT_EMPTY && !result.toBool(value)) return DISP_E_TYPEMISMATCH;
    *cancel = value;
    return S_OK;
}

HRESULT CallbackObject::FileDropMode(bool* value, kx::AutomationError* err) {
    DISPID id;
    const HRESULT hrId = Id(kFileDropMode, &id);
    if (FAILED(hrId)) {
        if (err) *err = kx::ErrorFromStatus(hrId == E_POINTER ? hrId : DISP_E_UNKNOWNNAME);
        return hrId;
    }
    kx::Variant result;
    RETURN_IF_FAILED(kx::InvokeId(Ptr().Get(), id, DISPATCH_PROPERTYGET, nullptr, 0, result.get(), err));
    if (!result.toBool(*value)) {
        if (err) *err = kx::ErrorFromStatus(DISP_E_TYPEMISMATCH);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

void CallbackObject::ErrMsg(LONG number, const std::wstring& text, LONG helpContext) {
    kx::AutomationError err;
    DISPID id;
    HRESULT hr = Id(kErrMsg, &id);
    if (FAILED(hr)) throw kx::RaisedError(kx::ErrorFromStatus(hr == E_POINTER ? hr : DISP_E_UNKNOWNNAME));
    kx::Bstr desc(text);
    VARIANTARG args[3];
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = number;
    V_VT(&args[1]) = VT_BSTR;
    V_BSTR(&args[1]) = desc.get();
    V_VT(&args[2]) = VT_I4;
    V_I4(&args[2]) = helpContext;
    const kx::ComPtr<IDispatch> keep = Ptr();
    hr = kx::InvokeId(keep.Get(), id, DISPATCH_METHOD, args, 3, nullptr, &err);
    if (FAILED(hr)) throw kx::RaisedError(std::move(err));
}
