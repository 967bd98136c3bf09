#include "SiteLink.h"
#include "ExcepInfo.h"

#include "ReturnIf.h"
#include "Variant.h"

namespace kx::ole {

void SiteLink::Reset(IOleClientSite* site) {
    // Taken apart before the new site is asked anything: releasing the old
    // one may call back into the control.
    ComPtr<IOleClientSite> oldClient = std::move(client_);
    ComPtr<IOleControlSite> oldControl = std::move(control_);
    ComPtr<IDispatch> oldAmbient = std::move(ambient_);
    ComPtr<IOleInPlaceSite> oldInPlace = std::move(inPlace_);
    client_ = nullptr;
    control_ = nullptr;
    ambient_ = nullptr;
    inPlace_ = nullptr;
    inPlaceAsked_ = false;
    if (!site) return;
    client_ = site;
    site->QueryInterface(IID_PPV_ARGS(&control_));
    site->QueryInterface(IID_PPV_ARGS(&ambient_));
}

IOleInPlaceSite* SiteLink::InPlaceSite() {
    if (!inPlaceAsked_ && client_) {
        inPlaceAsked_ = true;
        client_->QueryInterface(IID_PPV_ARGS(&inPlace_));
    }
    return inPlace_.Get();
}

HRESULT SiteLink::Ambient(DISPID id, VARIANT* value) const {
    RETURN_HR_IF_NULL(E_POINTER, value);
    RETURN_HR_IF_NULL(E_NOINTERFACE, ambient_);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ExcepInfo ei; // an ambient that raises is one the container does not have
    return ambient_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, ei.get(), nullptr);
}

bool SiteLink::AmbientBool(DISPID id, bool* value) const {
    Variant v;
    return SUCCEEDED(Ambient(id, v.get())) && v.vt() != VT_EMPTY && v.toBool(*value);
}

bool SiteLink::AmbientString(DISPID id, std::wstring* value) const {
    Variant v;
    return SUCCEEDED(Ambient(id, v.get())) && v.vt() != VT_EMPTY && v.toString(*value);
}

HRESULT SiteLink::ExtendedControl(IDispatch** out) const {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    RETURN_HR_IF_NULL(E_NOINTERFACE, control_);
    const HRESULT hr = control_->GetExtendedControl(out);
    if (SUCCEEDED(hr) && !*out) return E_NOINTERFACE;
    return hr;
}

} // namespace kx::ole
