// Event and change-notification sinks that record what reaches them.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <functional>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"

namespace kxtest {

// Answers the test control's event dispinterface (and IDispatch).
class EventSink : public kx::ComObject<EventSink, IDispatch> {
public:
    static kx::ComPtr<EventSink> New();

    struct Call {
        DISPID id;
        WORD flags;
        std::vector<VARTYPE> types; // in call order
    };
    std::vector<Call> calls;
    // Runs inside Invoke with the arguments as the control passed them.
    std::function<void(DISPPARAMS*)> handler;

    bool QueryOther(REFIID iid, void** out);
    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

private:
    friend class kx::ComObject<EventSink, IDispatch>;
    EventSink() = default;
};

class NotifySink : public kx::ComObject<NotifySink, IPropertyNotifySink> {
public:
    static kx::ComPtr<NotifySink> New();

    std::vector<DISPID> changed;
    std::vector<DISPID> editRequests;
    HRESULT editAnswer = S_OK;

    STDMETHODIMP OnChanged(DISPID id) override;
    STDMETHODIMP OnRequestEdit(DISPID id) override;

private:
    friend class kx::ComObject<NotifySink, IPropertyNotifySink>;
    NotifySink() = default;
};

// Connects sink to the point for iid of obj; returns the cookie (0: failed).
DWORD Connect(IUnknown* obj, REFIID iid, IUnknown* sink, HRESULT* hr = nullptr);
HRESULT Disconnect(IUnknown* obj, REFIID iid, DWORD cookie);

} // namespace kxtest
