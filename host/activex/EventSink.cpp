#include "EventSink.h"
#include "ReturnIf.h"
#include "TypeAttr.h"
#include "Bstr.h"
#include "Text.h"
#include "ActiveXControl.h"
#include "EventArgs.h"
#include "Form.h"
#include <vector>
#include <olectl.h>

namespace kxhost {

namespace {

// The default source interface of a control, from its class information.
HRESULT DefaultSource(IUnknown* control, kx::ComPtr<ITypeInfo>& source, IID& iid) {
    kx::ComPtr<IProvideClassInfo> pci;
    RETURN_IF_FAILED(control->QueryInterface(IID_PPV_ARGS(&pci)));
    kx::ComPtr<ITypeInfo> coclass;
    RETURN_IF_FAILED(pci->GetClassInfo(&coclass));
    WORD count = 0;
    {
        const kx::TypeAttr attr(coclass.Get());
        if (FAILED(attr.status())) return attr.status();
        count = attr->cImplTypes;
    }
    for (UINT i = 0; i < count; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags))) continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        HREFTYPE ref = 0;
        if (FAILED(coclass->GetRefTypeOfImplType(i, &ref))) continue;
        kx::ComPtr<ITypeInfo> ti;
        if (FAILED(coclass->GetRefTypeInfo(ref, &ti))) continue;
        const kx::TypeAttr sa(ti.Get());
        if (!sa.get()) continue;
        iid = sa->guid;
        source = ti;
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

} // namespace

HRESULT EventSink::Connect(IUnknown* control) {
    RETURN_IF_FAILED(DefaultSource(control, source_, iid_));
    kx::ComPtr<IConnectionPointContainer> cpc;
    RETURN_IF_FAILED(control->QueryInterface(IID_PPV_ARGS(&cpc)));
    RETURN_IF_FAILED(cpc->FindConnectionPoint(iid_, &point_));
    const HRESULT hr = point_->Advise(static_cast<IDispatch*>(this), &cookie_);
    if (FAILED(hr)) point_.Reset();
    return hr;
}

void EventSink::Disconnect() noexcept {
    if (point_ && cookie_) point_->Unadvise(cookie_);
    point_.Reset();
    cookie_ = 0;
    owner_ = nullptr;
}

const std::wstring& EventSink::NameOf(DISPID id) {
    const auto it = names_.find(id);
    if (it != names_.end()) return it->second;
    BSTR name = nullptr;
    UINT got = 0;
    std::wstring n;
    if (source_ && SUCCEEDED(source_->GetNames(id, &name, 1, &got)) && got == 1) n = kx::FromBstr(name);
    SysFreeString(name);
    return names_[id] = kx::UpperCase(n);
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    if (!owner_) return S_OK;
    try {
        const std::wstring& event = NameOf(id);
        if (event.empty()) return S_OK;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        DISPPARAMS* p = params ? params : &none;
        if (!owner_->Index()) {
            EventArgs args(p);
            owner_->Parent().RaiseUpper(owner_->UpperName(), event, args);
            return S_OK;
        }
        // Members of a control array get their Index first, as VB passes it.
        std::vector<VARIANTARG> withIndex(p->rgvarg, p->rgvarg + p->cArgs);
        VARIANTARG index;
        V_VT(&index) = VT_I2;
        V_I2(&index) = static_cast<SHORT>(*owner_->Index());
        withIndex.push_back(index);
        DISPPARAMS dp{withIndex.data(), nullptr, static_cast<UINT>(withIndex.size()), 0};
        EventArgs args(&dp);
        owner_->Parent().RaiseUpper(owner_->UpperName(), event, args);
    } catch (...) {
        // An event never fails towards the control that raised it.
    }
    return S_OK;
}

} // namespace kxhost
