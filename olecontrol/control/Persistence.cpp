// IPersistPropertyBag and IPersistStreamInit, both through the OnInitNew,
// OnLoad and OnSave hooks: a stream holds a MemoryPropertyBag.
#include "ControlCore.h"

#include "ComTrap.h"
#include "MemoryPropertyBag.h"
#include "ReturnIf.h"

namespace kx::ole {

STDMETHODIMP ControlCore::GetClassID(CLSID* clsid) {
    RETURN_HR_IF_NULL(E_POINTER, clsid);
    *clsid = *info_.clsid;
    return S_OK;
}

STDMETHODIMP ControlCore::InitNew() {
    return Trap(IID_IPersistPropertyBag, [&]() -> HRESULT {
        RETURN_IF_FAILED(OnInitNew());
        dirty_ = false;
        return S_OK;
    });
}

HRESULT ControlCore::LoadFromBag(IPropertyBag* bag, IErrorLog* log) {
    RETURN_IF_FAILED(OnLoad(bag, log));
    dirty_ = false;
    return S_OK;
}

STDMETHODIMP ControlCore::Load(IPropertyBag* bag, IErrorLog* log) {
    return Trap(IID_IPersistPropertyBag, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, bag);
        return LoadFromBag(bag, log);
    });
}

STDMETHODIMP ControlCore::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
    return Trap(IID_IPersistPropertyBag, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, bag);
        RETURN_IF_FAILED(OnSave(bag, clearDirty, saveAll));
        if (clearDirty) dirty_ = false;
        return S_OK;
    });
}

STDMETHODIMP ControlCore::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP ControlCore::Load(LPSTREAM stream) {
    return Trap(IID_IPersistStreamInit, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, stream);
        ComPtr<MemoryPropertyBag> bag;
        RETURN_IF_FAILED(MemoryPropertyBag::Create(bag));
        RETURN_IF_FAILED(bag->LoadFrom(stream));
        return LoadFromBag(bag.Get(), nullptr);
    });
}

STDMETHODIMP ControlCore::Save(LPSTREAM stream, BOOL clearDirty) {
    return Trap(IID_IPersistStreamInit, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, stream);
        ComPtr<MemoryPropertyBag> bag;
        RETURN_IF_FAILED(MemoryPropertyBag::Create(bag));
        RETURN_IF_FAILED(OnSave(bag.Get(), clearDirty, TRUE));
        RETURN_IF_FAILED(bag->Save(stream));
        if (clearDirty) dirty_ = false;
        return S_OK;
    });
}

STDMETHODIMP ControlCore::GetSizeMax(ULARGE_INTEGER* size) {
    return Trap(IID_IPersistStreamInit, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, size);
        size->QuadPart = 0;
        // Measured by saving: the size depends on the values.
        ComPtr<MemoryPropertyBag> bag;
        RETURN_IF_FAILED(MemoryPropertyBag::Create(bag));
        RETURN_IF_FAILED(OnSave(bag.Get(), FALSE, TRUE));
        ComPtr<IStream> scratch;
        RETURN_IF_FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &scratch));
        RETURN_IF_FAILED(bag->Save(scratch.Get()));
        STATSTG st{};
        RETURN_IF_FAILED(scratch->Stat(&st, STATFLAG_NONAME));
        size->QuadPart = st.cbSize.QuadPart;
        return S_OK;
    });
}

} // namespace kx::ole
