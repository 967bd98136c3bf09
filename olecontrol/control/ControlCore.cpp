// Class info, error info, property pages and IDispatch support.
#include "ControlCore.h"
#include "TypeAttr.h"

#include "ComTrap.h"
#include "DispatchCall.h"
#include "ErrorInfo.h"
#include "ModuleInfo.h"
#include "ReturnIf.h"

namespace kx::ole {

ControlCore::ControlCore(const ControlClassInfo& info)
    : info_(info), module_(ModuleOf(&info)), events_(static_cast<IConnectionPointContainer*>(this), info.eventIid),
      extent_(info.extent) {}

ControlCore::~ControlCore() {
    // The derived class is gone: its hooks must see nothing of the end.
    window_.Detach();
    window_.Destroy();
}

bool ControlCore::QueryCore(REFIID iid, void** out) {
    if (iid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject) *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl) *out = static_cast<IOleControl*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2) *out = static_cast<IViewObject2*>(this);
    else if (iid == IID_IPersistPropertyBag) *out = static_cast<IPersistPropertyBag*>(this);
    // IPersistStream's methods are IPersistStreamInit's first ones, in order.
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit || iid == IID_IPersistStream)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IConnectionPointContainer) *out = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_ISpecifyPropertyPages) *out = static_cast<ISpecifyPropertyPages*>(this);
    else if (iid == IID_ISupportErrorInfo) *out = static_cast<ISupportErrorInfo*>(this);
    else return false;
    return true;
}

HRESULT ControlCore::RaiseError(LONG number, const std::wstring& description, const std::wstring& helpFile,
                                DWORD helpContext) const {
    return kx::ole::RaiseError(*info_.dispatchIid, number, description, helpFile, helpContext);
}

HRESULT ControlCore::EnsureTypeInfo() {
    if (interfaceInfo_) return S_OK;
    RETURN_HR_IF_NULL(E_UNEXPECTED, module_);
    if (!typeLib_) RETURN_IF_FAILED(LoadModuleTypeLib(module_, &typeLib_));
    ComPtr<ITypeInfo> info;
    RETURN_IF_FAILED(typeLib_->GetTypeInfoOfGuid(*info_.dispatchIid, &info));
    // A dual interface comes as its dispinterface; calls go through its
    // vtable half.
    ComPtr<ITypeInfo> vtable = info;
    bool dualDispatch = false;
    {
        const TypeAttr attr(info.Get());
        RETURN_IF_FAILED(attr.status());
        dualDispatch = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
    }
    if (dualDispatch) {
        HREFTYPE ref = 0;
        RETURN_IF_FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
        vtable = nullptr;
        RETURN_IF_FAILED(info->GetRefTypeInfo(ref, &vtable));
    }
    RETURN_IF_FAILED(plan_.Build(vtable.Get()));
    dispatchInfo_ = info;
    interfaceInfo_ = vtable;
    return S_OK;
}

HRESULT ControlCore::DispatchTypeInfoCount(UINT* count) {
    RETURN_HR_IF_NULL(E_POINTER, count);
    *count = 1;
    return S_OK;
}

HRESULT ControlCore::DispatchTypeInfo(UINT index, ITypeInfo** info) {
    RETURN_HR_IF_NULL(E_POINTER, info);
    *info = nullptr;
    RETURN_HR_IF(DISP_E_BADINDEX, index != 0);
    RETURN_IF_FAILED(EnsureTypeInfo());
    return dispatchInfo_.CopyTo(info);
}

HRESULT ControlCore::DispatchIdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) {
    RETURN_HR_IF(DISP_E_UNKNOWNINTERFACE, iid != IID_NULL);
    RETURN_IF_FAILED(EnsureTypeInfo());
    return interfaceInfo_->GetIDsOfNames(names, count, ids);
}

HRESULT ControlCore::DispatchInvoke(void* instance, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    RETURN_HR_IF(DISP_E_UNKNOWNINTERFACE, iid != IID_NULL);
    RETURN_IF_FAILED(EnsureTypeInfo());
    // An error object left from an earlier call must not describe this one.
    ClearErrorInfo();
    // Keep the control alive through the call: a method may fire an event
    // whose handler lets go of it.
    ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
    HRESULT direct = S_OK;
    if (InvokeDirect(id, flags, params, result, &direct)) return DirectCallResult(direct, excepInfo);
    return InvokeCoerced(interfaceInfo_.Get(), plan_, instance, id, flags, params, result, excepInfo, argErr);
}

STDMETHODIMP ControlCore::GetClassInfo(ITypeInfo** info) {
    return Trap(IID_IProvideClassInfo, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, info);
        *info = nullptr;
        RETURN_IF_FAILED(EnsureTypeInfo());
        return typeLib_->GetTypeInfoOfGuid(*info_.clsid, info);
    });
}

STDMETHODIMP ControlCore::GetGUID(DWORD kind, GUID* guid) {
    RETURN_HR_IF_NULL(E_POINTER, guid);
    *guid = GUID_NULL;
    RETURN_HR_IF(E_INVALIDARG, kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID);
    RETURN_HR_IF_NULL(E_UNEXPECTED, info_.eventIid);
    *guid = *info_.eventIid;
    return S_OK;
}

STDMETHODIMP ControlCore::GetPages(CAUUID* pages) {
    RETURN_HR_IF_NULL(E_POINTER, pages);
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (info_.pageCount == 0) return S_OK;
    auto* list = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * info_.pageCount));
    RETURN_HR_IF_NULL(E_OUTOFMEMORY, list);
    for (UINT i = 0; i < info_.pageCount; ++i) list[i] = info_.pages[i];
    pages->cElems = info_.pageCount;
    pages->pElems = list;
    return S_OK;
}

STDMETHODIMP ControlCore::InterfaceSupportsErrorInfo(REFIID iid) {
    const bool ours = iid == *info_.dispatchIid || (info_.extendedIid && iid == *info_.extendedIid);
    return ours ? S_OK : S_FALSE;
}

} // namespace kx::ole
