// The one COM smart pointer of the project.
#pragma once
#include <cstddef>
#include <unknwn.h>
#include <wrl/client.h>

namespace kx {
template <class T>
using ComPtr = Microsoft::WRL::ComPtr<T>;

// Whether two references reach one object: COM identity is the IUnknown
// each answers, as VB's Is compares. Nothing is Nothing, and nothing else.
inline bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return a == b;
    ComPtr<IUnknown> ua, ub;
    a->QueryInterface(IID_PPV_ARGS(&ua));
    b->QueryInterface(IID_PPV_ARGS(&ub));
    return ua && ua.Get() == ub.Get();
}

// Hands out p with a reference of the caller's own; none is the answer
// when there is no object to give.
template <class T>
HRESULT GiveRef(T* p, T** out, HRESULT none) {
    if (!out) return E_POINTER;
    *out = p;
    if (!p) return none;
    p->AddRef();
    return S_OK;
}
} // namespace kx

// mingw-w64's ComPtr has no comparison of its own: without these, two
// pointers compare through their truth value and any two objects are "equal".
namespace Microsoft::WRL {
template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) {
    return a.Get() == b.Get();
}
template <class T, class U>
bool operator!=(const ComPtr<T>& a, const ComPtr<U>& b) {
    return a.Get() != b.Get();
}
template <class T>
bool operator==(const ComPtr<T>& a, std::nullptr_t) {
    return a.Get() == nullptr;
}
template <class T>
bool operator!=(const ComPtr<T>& a, std::nullptr_t) {
    return a.Get() != nullptr;
}
template <class T>
bool operator==(std::nullptr_t, const ComPtr<T>& a) {
    return a.Get() == nullptr;
}
template <class T>
bool operator!=(std::nullptr_t, const ComPtr<T>& a) {
    return a.Get() != nullptr;
}
} // namespace Microsoft::WRL
