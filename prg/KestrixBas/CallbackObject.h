// The control as the engine calls it back: an automation object reached by
// member name. Member ids are looked up once per object, not per message.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <array>
#include <string>

#include "ComPtr.h"
#include "LateBound.h"

class CallbackObject {
public:
    CallbackObject& operator=(kx::ComPtr<IDispatch> obj) {
        obj_ = std::move(obj);
        weak_ = nullptr;
        ids_.fill(DISPID_UNKNOWN);
        return *this;
    }
    // An object held without a reference: an instance that is its own
    // call-back object, which the store must not keep alive. It clears
    // this before it goes.
    void SetWeak(IDispatch* self) {
        *this = nullptr;
        weak_ = self;
    }
    void Reset() { *this = nullptr; }
    IDispatch* Get() const { return obj_ ? obj_.Get() : weak_; }
    kx::ComPtr<IDispatch> Ptr() const { return kx::ComPtr<IDispatch>(Get()); }
    explicit operator bool() const { return Get() != nullptr; }

    // DoGetEvents with the four values by reference (the handle and the
    // parameters pointer-sized); cancel is its result.
    HRESULT DoGetEvents(LONG_PTR* hwnd, LONG* msg, LONG_PTR* wp, LONG_PTR* lp, bool* cancel);
    // The control's FileDropMode property.
    HRESULT FileDropMode(bool* value, kx::AutomationError* err);
    // Reports an error through the control's gFn_ErrMsg. At design time the
    // control shows it and this returns; at run time the control raises it
    // and this throws kx::RaisedError, as a raised error leaves a VB procedure.
    void ErrMsg(LONG number, const std::wstring& text, LONG helpContext);

private:
    enum Member { kDoGetEvents, kErrMsg, kFileDropMode, kMemberCount };
    HRESULT Id(Member m, DISPID* id);

    kx::ComPtr<IDispatch> obj_;
    IDispatch* weak_ = nullptr;
    std::array<DISPID, kMemberCount> ids_{{DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN}};
};
