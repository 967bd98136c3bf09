// The registry rows that RegisterTypeLib writes for a type library, for an
// installer that writes them itself instead of running the server.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include <vector>

#include "Registration.h"

namespace kx::ole {

// "%MODULE%" in data stands for the library's file, "%HELPDIR%" for the
// folder of its help file. Rows go to `own` when the key belongs to this
// bitness (the platform's path, the interfaces) and to `shared` when the
// 32-bit and 64-bit registrations write the same key (the version's key
// with its description, FLAGS and HELPDIR).
// The registration's key names, as RegisterTypeLib writes them: the
// version in hexadecimal ("1.23" for 1.35), and under it the locale (also
// hexadecimal) and the platform ("win32" or "win64").
std::wstring TypeLibVersionKey(const TLIBATTR& a);
std::wstring TypeLibPlatformKey(const TLIBATTR& a);
const wchar_t* PlatformName(SYSKIND kind);

HRESULT AddTypeLibRows(ITypeLib* lib, std::vector<RegistryRow>* own, std::vector<RegistryRow>* shared);

} // namespace kx::ole
