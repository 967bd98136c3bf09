// A drop of files built by hand, as the shell hands one to a window that
// accepts files: a DROPFILES block of paths in global memory.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace kxtest {

// paths in the ANSI code page; an empty list gives a drop that reports no
// files (a handle with no memory behind it).
kx::UniqueHglobal MakeDrop(const std::vector<std::string>& paths);
// The same with wide paths, as the shell itself builds a drop.
kx::UniqueHglobal MakeDrop(const std::vector<std::wstring>& paths);

} // namespace kxtest
