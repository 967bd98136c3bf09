#include "TestSite.h"

#include <string>

namespace kxtest {

kx::ComPtr<TestSite> TestSite::New(HWND window) {
    kx::ComPtr<TestSite> site;
    Make(site, window);
    return site;
}

STDMETHODIMP TestSite::SaveObject() {
    ++saveRequests;
    return S_OK;
}

STDMETHODIMP TestSite::GetMoniker(DWORD, DWORD, IMoniker** mk) {
    if (mk) *mk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestSite::GetContainer(IOleContainer** c) {
    if (c) *c = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP TestSite::RequestNewObjectLayout() {
    ++layoutRequests;
    return S_OK;
}

STDMETHODIMP TestSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = window_;
    return S_OK;
}

STDMETHODIMP TestSite::OnInPlaceActivate() {
    ++inPlaceActivations;
    return S_OK;
}

STDMETHODIMP TestSite::OnUIActivate() {
    ++uiActivations;
    return S_OK;
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT posOut, LPRECT clip,
                                        LPOLEINPLACEFRAMEINFO info) {
    if (frame) *frame = nullptr;
    if (doc) *doc = nullptr;
    if (posOut) *posOut = pos;
    if (clip) *clip = pos;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP TestSite::OnUIDeactivate(BOOL) {
    ++uiDeactivations;
    return S_OK;
}

STDMETHODIMP TestSite::OnInPlaceDeactivate() {
    ++inPlaceDeactivations;
    return S_OK;
}

STDMETHODIMP TestSite::OnPosRectChange(LPCRECT r) {
    if (r) posRectChanges.push_back(*r);
    return posRectChangeAnswer;
}

STDMETHODIMP TestSite::GetExtendedControl(IDispatch** out) { return kx::GiveRef(extender.Get(), out, E_NOTIMPL); }

STDMETHODIMP TestSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        if (!userMode) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = *userMode ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
        if (!displayName) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocString(displayName->c_str());
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HostWindow::HostWindow() {
    hwnd_ = CreateWindowExA(0, "STATIC", "olecontrol test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50, 320, 240,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

std::string WindowClassName(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

} // namespace kxtest
