// A library with nothing of ours in it, built and linked as Kestrix.OCX is
// (static C++ runtime, an exception thrown and caught): what the compiler's
// runtime alone leaves behind each time a host loads and frees a library.
#include <windows.h>
#include <string>

extern "C" __declspec(dllexport) int KxRuntimeOnly() {
    try {
        throw std::wstring(L"runtime");
    } catch (const std::wstring& s) {
        return static_cast<int>(s.size());
    }
}
