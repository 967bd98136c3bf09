// The create functions of the three property pages, for the server's class
// table. The page classes themselves live in their own files.
#pragma once
#include <windows.h>

namespace kestrix {

HRESULT CreateKestrixProp1(REFIID iid, void** out);
HRESULT CreateKestrixProp2(REFIID iid, void** out);
HRESULT CreateKestrixProp3(REFIID iid, void** out);

} // namespace kestrix
