// A container of the plainest kind for the control: a client site that may
// or may not give an ambient user mode and an extender, and that records the
// change notifications it receives. For starting the control outside the
// form runtime, the way a script host or another container would.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <optional>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"

namespace kxtest {

class BareSite : public kx::ComObject<BareSite, IOleClientSite, IOleControlSite, IDispatch, IPropertyNotifySink> {
public:
    // userMode: the ambient flag, or none at all; extender: what
    // GetExtendedControl gives, or E_NOTIMPL when null.
    BareSite(std::optional<bool> userMode, IDispatch* extender) : userMode_(userMode), extender_(extender) {}
    std::vector<DISPID> changes;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** mk) override {
        if (mk) *mk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        if (c) *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** ext) override;
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }
    // IDispatch: the ambient properties
    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;
    // IPropertyNotifySink
    STDMETHODIMP OnChanged(DISPID id) override {
        changes.push_back(id);
        return S_OK;
    }
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

private:
    std::optional<bool> userMode_;
    kx::ComPtr<IDispatch> extender_;
};

// The control made with CoCreateInstance, given the site (if any) and its
// change notifications connected, then started with InitNew.
struct BareControl {
    kx::ComPtr<IOleObject> ole;
    kx::ComPtr<IDispatch> dispatch;
    DWORD cookie = 0;
    HRESULT initNew = E_FAIL;
    ~BareControl();
};
void StartBare(BareControl& c, BareSite* site);

} // namespace kxtest
