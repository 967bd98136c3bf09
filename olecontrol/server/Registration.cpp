#include "Registration.h"

#include "UniqueHandle.h"

namespace kx::ole {

namespace {
// The class is registered in the other bitness's view of the registry (in
// a 32-bit Windows the only view, where the server's own keys are gone by
// the time this is asked).
bool OtherViewRegisters(const GUID& clsid) {
    const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    return KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\" + GuidString(clsid) + L"\\InprocServer32",
                     otherView);
}

std::wstring Expand(const std::wstring& data, const std::wstring& modulePath) {
    static const std::wstring kModule = L"%MODULE%";
    std::wstring out = data;
    for (size_t at = out.find(kModule); at != std::wstring::npos; at = out.find(kModule, at + modulePath.size())) {
        out.replace(at, kModule.size(), modulePath);
    }
    return out;
}
} // namespace

std::wstring GuidString(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool KeyExists(HKEY root, const std::wstring& key, REGSAM view) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &raw) != ERROR_SUCCESS) return false;
    UniqueHkey open(raw);
    return true;
}

HRESULT WriteRegistryRows(const std::vector<RegistryRow>& rows, const std::wstring& modulePath) {
    for (const RegistryRow& row : rows) {
        HKEY raw = nullptr;
        LONG e = RegCreateKeyExW(row.root, row.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                 &raw, nullptr);
        if (e != ERROR_SUCCESS) return HRESULT_FROM_WIN32(e);
        UniqueHkey key(raw);
        const std::wstring data = Expand(row.data, modulePath);
        e = RegSetValueExW(key.get(), row.valueName.empty() ? nullptr : row.valueName.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        if (e != ERROR_SUCCESS) return HRESULT_FROM_WIN32(e);
    }
    return S_OK;
}

HRESULT DeleteRegistryRows(const std::vector<RegistryRow>& rows) {
    HRESULT result = S_OK;
    const auto remove = [&](const RegistryRow& row) {
        const LONG e = RegDeleteTreeW(row.root, row.key.c_str());
        if (e != ERROR_SUCCESS && e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND && SUCCEEDED(result)) {
            result = HRESULT_FROM_WIN32(e);
        }
    };
    // The server's own keys first (deepest first, though deleting a tree
    // takes its subkeys anyway), so that where only one view exists the
    // shared keys then find the class gone and go too.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (!it->sharedFor) remove(*it);
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (it->sharedFor && !OtherViewRegisters(*it->sharedFor)) remove(*it);
    }
    return result;
}

} // namespace kx::ole
