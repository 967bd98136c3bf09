// The boundary of every COM method of the control base: no C++ exception
// leaves it. A RaisedError becomes the caller's automation error, memory
// exhaustion E_OUTOFMEMORY, anything else E_UNEXPECTED.
#pragma once
#include <windows.h>
#include <new>

#include "ErrorInfo.h"
#include "LateBound.h"

namespace kx::ole {

template <class F>
HRESULT Trap(const IID& iid, F&& body) noexcept {
    try {
        return body();
    } catch (const RaisedError& e) {
        return RaiseError(iid, e.error());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace kx::ole
