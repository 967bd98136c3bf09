#include "Sinks.h"

#include "KxTestCtlLib.h"

namespace kxtest {

kx::ComPtr<EventSink> EventSink::New() {
    kx::ComPtr<EventSink> s;
    Make(s);
    return s;
}

bool EventSink::QueryOther(REFIID iid, void** out) {
    if (iid != DIID__KxTestCtlEvents) return false;
    *out = static_cast<IDispatch*>(this);
    return true;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    Call call{id, flags, {}};
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) call.types.push_back(V_VT(&params->rgvarg[i - 1]));
    calls.push_back(call);
    if (handler) handler(params);
    return S_OK;
}

kx::ComPtr<NotifySink> NotifySink::New() {
    kx::ComPtr<NotifySink> s;
    Make(s);
    return s;
}

STDMETHODIMP NotifySink::OnChanged(DISPID id) {
    changed.push_back(id);
    return S_OK;
}

STDMETHODIMP NotifySink::OnRequestEdit(DISPID id) {
    editRequests.push_back(id);
    return editAnswer;
}

DWORD Connect(IUnknown* obj, REFIID iid, IUnknown* sink, HRESULT* hrOut) {
    kx::ComPtr<IConnectionPointContainer> cpc;
    kx::ComPtr<IConnectionPoint> cp;
    DWORD cookie = 0;
    HRESULT hr = obj->QueryInterface(IID_PPV_ARGS(&cpc));
    if (SUCCEEDED(hr)) hr = cpc->FindConnectionPoint(iid, &cp);
    if (SUCCEEDED(hr)) hr = cp->Advise(sink, &cookie);
    if (hrOut) *hrOut = hr;
    return SUCCEEDED(hr) ? cookie : 0;
}

HRESULT Disconnect(IUnknown* obj, REFIID iid, DWORD cookie) {
    kx::ComPtr<IConnectionPointContainer> cpc;
    kx::ComPtr<IConnectionPoint> cp;
    HRESULT hr = obj->QueryInterface(IID_PPV_ARGS(&cpc));
    if (SUCCEEDED(hr)) hr = cpc->FindConnectionPoint(iid, &cp);
    if (SUCCEEDED(hr)) hr = cp->Unadvise(cookie);
    return hr;
}

} // namespace kxtest
