#include "BenchControl.h"
#include "LateBound.h"
#include "Bstr.h"
#include <new>

namespace kxbench {

namespace {

enum : DISPID { kDoGetEvents = 1, kFileDropMode, kErrMsg, kName };

const kx::NamedId kMembers[] = {
    {L"DoGetEvents", kDoGetEvents},
    {L"FileDropMode", kFileDropMode},
    {L"gFn_ErrMsg", kErrMsg},
    {L"Name", kName},
};

// Argument i in call order (IDispatch passes them last first).
VARIANT* Arg(DISPPARAMS* p, UINT i) {
    if (!p || i >= p->cArgs) return nullptr;
    return &p->rgvarg[p->cArgs - 1 - i];
}

} // namespace

kx::ComPtr<BenchControl> BenchControl::New(const std::wstring& name) {
    kx::ComPtr<BenchControl> o;
    if (FAILED(Make(o, name))) throw std::bad_alloc();
    return o;
}

STDMETHODIMP BenchControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return kx::IdsOfNames(kMembers, names, count, ids);
}

STDMETHODIMP BenchControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                  UINT*) {
    switch (id) {
    case kDoGetEvents:
        // Nothing to do: the message goes on unchanged.
        ++events;
        if (result) {
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_FALSE;
        }
        return S_OK;
    case kFileDropMode:
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_FALSE;
        return S_OK;
    case kErrMsg: {
        // The design-time behaviour: note it and return, so that the engine's
        // call comes back and the bench can report what broke.
        ++errors;
        lastError.clear();
        VARIANT* text = Arg(params, 1);
        if (text && V_VT(text) == VT_BSTR) lastError = kx::FromBstr(V_BSTR(text));
        return S_OK;
    }
    case kName:
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
        return V_BSTR(result) ? S_OK : E_OUTOFMEMORY;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

} // namespace kxbench
