#include "BareSite.h"

#include <gtest/gtest.h>

namespace kxtest {

STDMETHODIMP BareSite::GetExtendedControl(IDispatch** ext) {
    return kx::GiveRef(extender_.Get(), ext, E_NOTIMPL); // E_NOTIMPL without one, as Wine's ATL host window answers
}

STDMETHODIMP BareSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
    if (id != DISPID_AMBIENT_USERMODE || !userMode_) return DISP_E_MEMBERNOTFOUND;
    if (!result) return E_POINTER;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = *userMode_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

void StartBare(BareControl& c, BareSite* site) {
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"Kestrix32.Kestrix", &clsid));
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&c.ole)));
    ASSERT_HRESULT_SUCCEEDED(c.ole.As(&c.dispatch));
    if (site) {
        ASSERT_HRESULT_SUCCEEDED(c.ole->SetClientSite(site));
        kx::ComPtr<IConnectionPointContainer> cpc;
        kx::ComPtr<IConnectionPoint> cp;
        ASSERT_HRESULT_SUCCEEDED(c.ole.As(&cpc));
        ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, &cp));
        ASSERT_HRESULT_SUCCEEDED(cp->Advise(static_cast<IPropertyNotifySink*>(site), &c.cookie));
    }
    kx::ComPtr<IPersistPropertyBag> ppb;
    ASSERT_HRESULT_SUCCEEDED(c.ole.As(&ppb));
    c.initNew = ppb->InitNew();
}

BareControl::~BareControl() {
    if (!ole) return;
    if (cookie) {
        kx::ComPtr<IConnectionPointContainer> cpc;
        kx::ComPtr<IConnectionPoint> cp;
        if (SUCCEEDED(ole.As(&cpc)) && SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, &cp)))
            cp->Unadvise(cookie);
    }
    ole->Close(OLECLOSE_NOSAVE);
    ole->SetClientSite(nullptr);
}

} // namespace kxtest
