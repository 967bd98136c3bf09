// Receives the events of an ActiveX control on its default source interface
// and raises them to the form's handlers by control name and event name.
#pragma once
#include <oaidl.h>
#include <ocidl.h>
#include <map>
#include <string>

#include "ComObject.h"
#include "ComPtr.h"

namespace kxhost {

class ActiveXControl;

class EventSink : public kx::ComObject<EventSink, IDispatch> {
public:
    explicit EventSink(ActiveXControl* owner) : owner_(owner) {}
    // Finds the control's default source interface and advises this sink.
    HRESULT Connect(IUnknown* control);
    void Disconnect() noexcept;

    bool QueryOther(REFIID riid, void** ppv) {
        if (riid != iid_ || iid_ == IID_NULL) return false;
        *ppv = static_cast<IDispatch*>(this);
        return true;
    }

    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

private:
    // The event's name in upper case, as the form keys its handlers.
    const std::wstring& NameOf(DISPID id);

    ActiveXControl* owner_;
    IID iid_ = IID_NULL;
    kx::ComPtr<ITypeInfo> source_;
    kx::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    std::map<DISPID, std::wstring> names_;
};

} // namespace kxhost
