#include "OlderTypeLibs.h"

#include <cwchar>
#include <string>
#include <vector>

#include "Registration.h"
#include "TypeLibRows.h"
#include "UniqueHandle.h"

namespace kx::ole {

namespace {

UniqueHkey OpenKey(HKEY parent, const std::wstring& name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS) return UniqueHkey();
    return UniqueHkey(raw);
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD len = 256;
        if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    return names;
}

// True unless the key is known to have no subkeys.
bool HasSubkeys(HKEY key) {
    DWORD count = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) != ERROR_SUCCESS ||
        count != 0;
}

// A version key's locale subkeys are hexadecimal numbers; FLAGS and
// HELPDIR are not.
bool IsLocale(const std::wstring& name) {
    return !name.empty() && name.find_first_not_of(L"0123456789abcdefABCDEF") == std::wstring::npos;
}

} // namespace

void ForgetOlderTypeLibs(const TLIBATTR& current) noexcept {
    try {
        const UniqueHkey lib = OpenKey(HKEY_CLASSES_ROOT, L"TypeLib\\" + GuidString(current.guid));
        if (!lib) return;
        const wchar_t* const platform = PlatformName(current.syskind);
        for (const std::wstring& version : SubkeyNames(lib.get())) {
            unsigned major = 0, minor = 0;
            if (std::swscanf(version.c_str(), L"%x.%x", &major, &minor) != 2 || major != current.wMajorVerNum ||
                minor >= current.wMinorVerNum)
                continue;
            // What cannot be opened or emptied counts as left: the other
            // bitness's entries must never go with a key removed whole.
            bool entriesLeft = false;
            const UniqueHkey v = OpenKey(lib.get(), version);
            if (!v) continue;
            for (const std::wstring& locale : SubkeyNames(v.get())) {
                if (!IsLocale(locale)) continue;
                const UniqueHkey l = OpenKey(v.get(), locale);
                if (!l) {
                    entriesLeft = true;
                    continue;
                }
                const LSTATUS gone = RegDeleteTreeW(l.get(), platform);
                if ((gone != ERROR_SUCCESS && gone != ERROR_FILE_NOT_FOUND) || HasSubkeys(l.get())) {
                    entriesLeft = true;
                    continue;
                }
                if (RegDeleteKeyW(v.get(), locale.c_str()) != ERROR_SUCCESS) entriesLeft = true;
            }
            if (!entriesLeft) RegDeleteTreeW(lib.get(), version.c_str());
        }
    } catch (...) {
        // Only a tidy-up: the current version registers all the same.
    }
}

} // namespace kx::ole
