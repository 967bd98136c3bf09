#include "TestPaths.h"

#include <map>

#include "ModulePath.h"
#include "UniqueHandle.h"

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

DWORD RunAndWait(std::wstring commandLine, DWORD ms, const std::wstring& dir) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return kNotStarted;
    CloseHandle(pi.hThread);
    kx::UniqueFile process(pi.hProcess);
    if (WaitForSingleObject(process.get(), ms) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        return kTimedOut;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

DWORD RegSvr32(const std::wstring& dll, bool unregister) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return RunAndWait(L"\"" + std::wstring(system) + L"\\regsvr32.exe\" /s " + (unregister ? L"/u " : L"") + L"\"" +
                      dll + L"\"");
}

} // namespace kxtest
