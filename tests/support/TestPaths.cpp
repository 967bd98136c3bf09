#include "TestPaths.h"

#include <map>

#include "ModulePath.h"

namespace kxtest {

std::wstring ExeDir() {
    const std::wstring path = kx::ModulePath(nullptr);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (done && done()) return true;
        if (GetTickCount() - start >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool RegisterDllOnce(const wchar_t* dll) {
    static std::map<std::wstring, bool> done;
    const auto found = done.find(dll);
    if (found != done.end()) return found->second;
    bool ok = false;
    if (HMODULE module = LoadLibraryW((ExeDir() + dll).c_str())) {
        auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllRegisterServer"));
        ok = reg && SUCCEEDED(reg());
    }
    done[dll] = ok;
    return ok;
}

} // namespace kxtest
