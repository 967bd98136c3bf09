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
#include <vector>

namespace kx::ole {

// What the conversion step needs of an interface: for each function, the
// declared type of every by-reference parameter it converts. Read from the
// type information once, not per call: reading a function's description
// copies it, which costs more than the call it is for.
class CoercionPlan {
public:
    struct Func {
        MEMBERID id;
        WORD invkind;
        SHORT params; // all of them, the [retval] one included
        std::vector<VARTYPE> byRef; // per parameter: VT_EMPTY when passed on as it is
    };
    HRESULT Build(ITypeInfo* typeInfo);
    // The first function with this id that answers these DISPATCH_ flags.
    const Func* Find(DISPID id, WORD flags) const;

private:
    void AddFuncs(ITypeInfo* ti, UINT count);

    std::vector<Func> funcs_;
};

// typeInfo describes the interface (TKIND_INTERFACE) that instance points
// at, plan was built from it. Returns what ITypeInfo::Invoke returns, or
// DISP_E_TYPEMISMATCH (with *argErr set) when an argument does not convert.
HRESULT InvokeCoerced(ITypeInfo* typeInfo, const CoercionPlan& plan, void* instance, DISPID id, WORD flags,
                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

// What a late-bound caller gets from a member that the control called
// straight through its C++ signature (ControlCore::InvokeDirect), as the type
// information's call gives it: a success as S_OK; a failure as
// DISP_E_EXCEPTION, with the member's status and the thread's error object
// (which it takes) in excepInfo.
HRESULT DirectCallResult(HRESULT hr, EXCEPINFO* excepInfo);

} // namespace kx::ole
