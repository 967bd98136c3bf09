// The base of our windowed ActiveX controls.
//
//   class MyControl : public kx::ole::ControlBase<MyControl, IMyControl> {
//   public:
//       // IMyControl's own methods, each a COM boundary of its own:
//       STDMETHODIMP get_Caption(BSTR* v) override;
//       ...
//   private:
//       friend ComBase;                 // kx::ComObject makes and deletes it
//       MyControl() : ControlBase(kMyClassInfo) {}
//       HRESULT OnLoad(IPropertyBag* bag, IErrorLog* log) override;
//   };
//
// kx::ComObject gives IUnknown and the reference count (create with
// MyControl::Make, or kx::ole::CreateInstance<MyControl> in the server's
// class table); ControlBase answers IDispatch for IMyControl through the
// type library of the module that holds kMyClassInfo (resource TYPELIB 1),
// converting by-reference arguments for late-bound callers
// (DispatchCall.h); ControlCore does the rest (ControlCore.h).
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "ComObject.h"
#include "ControlCore.h"

namespace kx::ole {

template <class Derived, class DualInterface>
class ControlBase : public ComObject<Derived, DualInterface>, public ControlCore {
public:
    using ComBase = ComObject<Derived, DualInterface>;

    // One IUnknown for every interface of the control.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return ComBase::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return ComBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return ComBase::Release(); }

    // IDispatch of the dual interface.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return DispatchTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override { return DispatchTypeInfo(index, info); }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return DispatchIdsOfNames(iid, names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override {
        return DispatchInvoke(static_cast<DualInterface*>(this), id, iid, flags, params, result, excepInfo, argErr);
    }

    // Called by ComObject's QueryInterface for what its list does not name.
    bool QueryOther(REFIID iid, void** out) {
        const IID* const extended = ClassInfo().extendedIid;
        if (extended && iid == *extended) {
            // The extended interface's slots are the first of the dual one's.
            *out = static_cast<DualInterface*>(this);
            return true;
        }
        return QueryCore(iid, out) || ComBase::QueryOther(iid, out);
    }

protected:
    explicit ControlBase(const ControlClassInfo& info) : ControlCore(info) {}
    ~ControlBase() override = default;
};

} // namespace kx::ole
