#include "ClassFactory.h"

namespace kx::ole {

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    RETURN_HR_IF(CLASS_E_NOAGGREGATION, outer != nullptr);
    try {
        return create_(iid, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) ModuleLock();
    else ModuleUnlock();
    return S_OK;
}

} // namespace kx::ole
