#include "ModuleInfo.h"

#include "ModulePath.h"
#include "ReturnIf.h"

namespace kx::ole {

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module)) {
        return nullptr;
    }
    return module;
}

HRESULT LoadModuleTypeLib(HMODULE module, ITypeLib** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    const std::wstring path = ModulePath(module);
    RETURN_HR_IF(E_FAIL, path.empty());
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, out);
}

} // namespace kx::ole
