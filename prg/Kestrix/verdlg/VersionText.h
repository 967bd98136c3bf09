// The version label's text: "Ver " and the major version, "." and the
// minor version with at least two digits (1.34 gives "Ver 1.34", 1.5
// gives "Ver 1.05").
#pragma once
#include <windows.h>
#include <string>

namespace kestrix {

std::wstring VersionCaption(WORD major, WORD minor);
// The major and minor file version of a module's version resource; false
// when it has none.
bool ModuleVersion(HMODULE module, WORD* major, WORD* minor);

} // namespace kestrix
