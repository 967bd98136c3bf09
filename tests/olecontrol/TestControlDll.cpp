#include "TestControlDll.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include "UniqueHandle.h"

namespace kxtest {

namespace {
using DllFunction = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

FARPROC Export(const char* name) {
    HMODULE m = TestControlModule();
    return m ? GetProcAddress(m, name) : nullptr;
}

HRESULT CallExport(const char* name) {
    auto f = reinterpret_cast<DllFunction>(Export(name));
    return f ? f() : E_FAIL;
}
} // namespace

std::wstring TestControlPath() { return ExeDir() + L"KxTestCtl.dll"; }

HMODULE TestControlModule() {
    static HMODULE module = LoadLibraryW(TestControlPath().c_str());
    return module;
}

HRESULT RegisterTestControl() { return CallExport("DllRegisterServer"); }
HRESULT UnregisterTestControl() { return CallExport("DllUnregisterServer"); }
HRESULT TestControlCanUnloadNow() { return CallExport("DllCanUnloadNow"); }

DWORD RunRegsvr32(bool unregister) {
    std::wstring cmd = L"regsvr32.exe /s ";
    if (unregister) cmd += L"/u ";
    cmd += L"\"" + TestControlPath() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0xFFFFFFFF;
    kx::UniqueFile process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) return 0xFFFFFFFE;
    DWORD code = 0xFFFFFFFD;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

kx::ComPtr<IKxTestCtl> NewTestControl() {
    auto get = reinterpret_cast<GetClassObjectFunction>(Export("DllGetClassObject"));
    kx::ComPtr<IClassFactory> factory;
    kx::ComPtr<IKxTestCtl> ctl;
    if (!get || FAILED(get(CLSID_KxTestCtl, IID_PPV_ARGS(&factory)))) {
        ADD_FAILURE() << "no class object from KxTestCtl.dll";
        return ctl;
    }
    const HRESULT hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(&ctl));
    if (FAILED(hr)) ADD_FAILURE() << "CreateInstance failed: 0x" << std::hex << hr;
    return ctl;
}

kx::ComPtr<IKxTestCtl> NewInitializedTestControl() {
    kx::ComPtr<IKxTestCtl> ctl = NewTestControl();
    kx::ComPtr<IPersistStreamInit> persist;
    if (!ctl || FAILED(ctl.As(&persist)) || FAILED(persist->InitNew())) ADD_FAILURE() << "InitNew failed";
    return ctl;
}

std::wstring RegistryString(HKEY root, const std::wstring& key, const wchar_t* valueName) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return L"<no key>";
    kx::UniqueHkey k(raw);
    if (RegQueryValueExW(k.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return L"<no value>";
    if (type != REG_SZ) return L"<not a string>";
    return data;
}

bool RegistryKeyExists(HKEY root, const std::wstring& key) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
    kx::UniqueHkey k(raw);
    return true;
}

} // namespace kxtest
