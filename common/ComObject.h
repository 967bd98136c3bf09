// The one ref-counting helper of the project: every COM object we implement
// derives from ComObject and is made only through Make, never with a bare new.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "ComPtr.h"

namespace kx {

void ModuleLock(); // objects alive keep the server loaded
void ModuleUnlock();
LONG ModuleLockCount();

template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a COM object implements at least one interface");
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    template <class... Args>
    static HRESULT Make(ComPtr<Derived>& out, Args&&... args) {
        Derived* raw = new (std::nothrow) Derived(std::forward<Args>(args)...);
        if (!raw) return E_OUTOFMEMORY;
        // The new object's own reference goes to out as it is: mingw-w64's
        // ComPtr::Attach adds one (unlike Microsoft's), which kept every
        // object alive for ever.
        *out.ReleaseAndGetAddressOf() = raw;
        return S_OK;
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == __uuidof(IUnknown)) {
            *ppv = static_cast<IUnknown*>(static_cast<First*>(this));
        } else if (!(... || Match<Interfaces>(riid, ppv))) {
            if (!static_cast<Derived*>(this)->QueryOther(riid, ppv)) return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(n);
    }

protected:
    ComObject() { ModuleLock(); }
    virtual ~ComObject() { ModuleUnlock(); }
    // Interfaces answered besides the listed ones (a base such as IDispatch
    // of a dual interface); the derived class hides this to add its own.
    bool QueryOther(REFIID riid, void** ppv) { return (... || MatchBaseDispatch<Interfaces>(riid, ppv)); }

private:
    template <class I>
    bool Match(REFIID riid, void** ppv) {
        if (riid != __uuidof(I)) return false;
        *ppv = static_cast<I*>(this);
        return true;
    }
    template <class I>
    bool MatchBaseDispatch(REFIID riid, void** ppv) {
        if constexpr (std::is_base_of_v<IDispatch, I> && !std::is_same_v<IDispatch, I>) {
            if (riid != __uuidof(IDispatch)) return false;
            *ppv = static_cast<IDispatch*>(static_cast<I*>(this));
            return true;
        } else {
            return false;
        }
    }

    LONG refs_ = 1;
};

} // namespace kx

// IDispatch's type-information members, for an object that describes
// itself to nobody (it is called by name, or by ids agreed beforehand).
#define KX_NO_TYPE_INFO                                             \
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {               \
        if (n) *n = 0;                                              \
        return S_OK;                                                \
    }                                                               \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ti) override { \
        if (ti) *ti = nullptr;                                      \
        return E_NOTIMPL;                                           \
    }
