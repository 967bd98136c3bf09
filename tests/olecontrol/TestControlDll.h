// KxTestCtl.dll as the tests use it: loaded from beside the test exe,
// registered in the Wine prefix, and its objects made either through the
// registry (CoCreateInstance) or straight from its class object.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <string>

#include "ComPtr.h"
#include "KxTestCtlLib.h"

namespace kxtest {

std::wstring TestControlPath();
// The DLL, loaded once for the whole run (and kept).
HMODULE TestControlModule();

HRESULT RegisterTestControl();
HRESULT UnregisterTestControl();
HRESULT TestControlCanUnloadNow();
// Runs "regsvr32.exe /s [/u] <dll>" and returns its exit code.
DWORD RunRegsvr32(bool unregister);

// A new control from the DLL's class object (no registry needed).
kx::ComPtr<IKxTestCtl> NewTestControl();
// ... already given a new state (IPersistStreamInit::InitNew).
kx::ComPtr<IKxTestCtl> NewInitializedTestControl();

std::wstring RegistryString(HKEY root, const std::wstring& key, const wchar_t* valueName = nullptr);
bool RegistryKeyExists(HKEY root, const std::wstring& key);

} // namespace kxtest
