// The class object every entry of a server's class table hands out.
#pragma once
#include <windows.h>
#include <unknwn.h>

#include "ComObject.h"
#include "ComPtr.h"
#include "ReturnIf.h"

namespace kx::ole {

using CreateFunction = HRESULT (*)(REFIID iid, void** out);

// The create function of a class made with kx::ComObject's Make.
template <class T>
HRESULT CreateInstance(REFIID iid, void** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    ComPtr<T> obj;
    RETURN_IF_FAILED(T::Make(obj));
    return obj->QueryInterface(iid, out);
}

class ClassFactory : public ComObject<ClassFactory, IClassFactory> {
public:
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    // Server locks count with the objects alive (kx::ModuleLockCount).
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    friend class ComObject<ClassFactory, IClassFactory>;
    explicit ClassFactory(CreateFunction create) : create_(create) {}
    CreateFunction create_;
};

} // namespace kx::ole
