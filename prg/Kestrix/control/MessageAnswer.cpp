// A GetEvents handler answers the message it handles: the value a swallowed
// message gives back, and the window's own procedure called from inside.
#include "Kestrix.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"

namespace kestrix {

Delivery* Kestrix::MessageOrReport() {
    if (Delivery* const d = gFn_CurrentMessage()) return d;
    ErrMsg(kErrNoMessage, kMsgNoMessage, 0);
    return nullptr;
}

STDMETHODIMP Kestrix::get_ReturnValue(LONG_PTR* value) {
    if (!value) return E_POINTER;
    const Delivery* const d = gFn_CurrentMessage();
    *value = d ? d->returnValue : 0;
    return S_OK;
}

STDMETHODIMP Kestrix::put_ReturnValue(LONG_PTR value) {
    return kx::ole::Trap(IID__Kestrix2, [&]() -> HRESULT {
        if (Delivery* const d = MessageOrReport()) d->returnValue = value;
        return S_OK;
    });
}

STDMETHODIMP Kestrix::CallOriginal(LONG EventValue, LONG_PTR Parameter1, LONG_PTR Parameter2, LONG_PTR* result) {
    return kx::ole::Trap(IID__Kestrix2, [&]() -> HRESULT {
        if (!result) return E_POINTER;
        *result = 0;
        if (Delivery* const d = MessageOrReport())
            *result = gFn_CallOriginal(*d, EventValue, Parameter1, Parameter2);
        return S_OK;
    });
}

} // namespace kestrix
