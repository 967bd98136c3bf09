// A newer minor version of a type library takes the place of the older
// ones of the same major version in this bitness's registration.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace kx::ole {

// Removes this bitness's entry (win32 or win64) of every older minor
// version of the library, and an older version's key left with no entry
// at all: a program that asks for an older version then loads the current
// file, even where an older install left its key behind. The other
// bitness's entries stay.
void ForgetOlderTypeLibs(const TLIBATTR& current) noexcept;

} // namespace kx::ole
