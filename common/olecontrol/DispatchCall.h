// Late-bound calls into a dual interface through its type information,
// with one step in front of ITypeInfo::Invoke: a by-reference parameter
// (declared long*, BSTR*, VARIANT_BOOL*, VARIANT*, IDispatch**, ...)
// accepts what late-bound callers pass for it, not only VT_BYREF of the
// declared type:
//   - VT_BYREF|<another type>: converted in, converted back after the call;
//   - VT_BYREF|VT_VARIANT (what scripts pass): the referenced variant
//     receives the callee's value, in the declared type;
//   - a by-value variant: converted in, the callee's change is dropped.
// (Wine's ITypeInfo::Invoke refuses all of these with DISP_E_TYPEMISMATCH.)
// Other parameters go to ITypeInfo::Invoke untouched; it coerces by-value
// arguments itself.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace kx::ole {

// typeInfo describes the interface (TKIND_INTERFACE) that instance points
// at. Returns what ITypeInfo::Invoke returns, or DISP_E_TYPEMISMATCH (with
// *argErr set) when an argument does not convert.
HRESULT InvokeCoerced(ITypeInfo* typeInfo, void* instance, DISPID id, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

} // namespace kx::ole
