// The registry rows that RegisterTypeLib writes for a type library, for an
// installer that writes them itself instead of running the server.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <vector>

#include "Registration.h"

namespace kx::ole {

// "%MODULE%" in data stands for the library's file, "%HELPDIR%" for the
// folder of its help file. Rows go to `own` when the key belongs to this
// bitness (the platform's path, the interfaces) and to `shared` when the
// 32-bit and 64-bit registrations write the same key (the version's key
// with its description, FLAGS and HELPDIR).
HRESULT AddTypeLibRows(ITypeLib* lib, std::vector<RegistryRow>* own, std::vector<RegistryRow>* shared);

} // namespace kx::ole
