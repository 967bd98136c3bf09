// Raising an automation error from a COM method: the error object that
// ITypeInfo::Invoke turns into DISP_E_EXCEPTION for late-bound callers and
// that vtable callers read with GetErrorInfo.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>

#include "LateBound.h"

namespace kx::ole {

// Sets the thread's error object (no source, as VB's Err.Raise from a
// control gives none) and returns MAKE_HRESULT(1, FACILITY_CONTROL, number).
HRESULT RaiseError(const IID& iid, LONG number, const std::wstring& description,
                   const std::wstring& helpFile = std::wstring(), DWORD helpContext = 0);
// A raised error caught at a boundary; its own status when it is no
// VB-numbered error.
HRESULT RaiseError(const IID& iid, const AutomationError& error);

// Forgets a stale error object so that a failure without one is not
// reported with an older description.
void ClearErrorInfo();

} // namespace kx::ole
