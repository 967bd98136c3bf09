#include "BareControl.h"

#include <gtest/gtest.h>

namespace kxtest {

kx::ComPtr<TestSite> BareSite() {
    kx::ComPtr<TestSite> site = TestSite::New();
    site->displayName.reset();
    return site;
}

void StartBare(BareControl& c, TestSite* site) {
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"Kestrix32.Kestrix", &clsid));
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&c.ole)));
    ASSERT_HRESULT_SUCCEEDED(c.ole.As(&c.dispatch));
    if (site) {
        ASSERT_HRESULT_SUCCEEDED(c.ole->SetClientSite(static_cast<IOleClientSite*>(site)));
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
