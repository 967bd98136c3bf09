// Registry rows written by DllRegisterServer and deleted by
// DllUnregisterServer, table-driven.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace kx::ole {

// One value: key under root, value name (empty: the key's default value),
// string data. "%MODULE%" in data stands for the server's full path.
// Unregistration deletes each row's key with everything under it, so a
// row names a key the server owns (never a shared one such as "CLSID").
// A key that the 32-bit and the 64-bit registry views share (a ProgID)
// names the class it is for: unregistration leaves it while the other
// view still registers that class, whose users need it.
struct RegistryRow {
    HKEY root;
    std::wstring key;
    std::wstring valueName;
    std::wstring data;
    const GUID* sharedFor = nullptr;
};

HRESULT WriteRegistryRows(const std::vector<RegistryRow>& rows, const std::wstring& modulePath);
// A key already gone counts as deleted.
HRESULT DeleteRegistryRows(const std::vector<RegistryRow>& rows);

std::wstring GuidString(const GUID& guid);
// The key can be opened for reading (view: 0 or a KEY_WOW64_ flag).
bool KeyExists(HKEY root, const std::wstring& key, REGSAM view = 0);

} // namespace kx::ole
