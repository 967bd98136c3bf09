// The full path of a loaded module (nullptr: the program), read whole
// however long it is: the wide call, because an ANSI buffer too short for
// a Shift-JIS path comes back cut without a sign that it was cut.
#pragma once
#include <windows.h>
#include <string>

namespace kx {

// Empty when the path cannot be read.
std::wstring ModulePath(HMODULE module);

} // namespace kx
