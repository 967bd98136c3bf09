// The DLL (or exe) that holds a given address: where a control's type
// library, bitmaps and window class live, and the path registration writes.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>

#include "ModulePath.h"

namespace kx::ole {

HMODULE ModuleOf(const void* address);

// The type library embedded as resource TYPELIB 1 of the module.
HRESULT LoadModuleTypeLib(HMODULE module, ITypeLib** out);

} // namespace kx::ole
