// The server entry points of Kestrix.OCX. The control class and its
// registration are not in this build yet: the class object is refused
// and registration reports that there is nothing to register.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

namespace {
HINSTANCE g_Module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_Module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return S_OK; }

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* out) {
    if (out) *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer() { return SELFREG_E_CLASS; }
STDAPI DllUnregisterServer() { return S_OK; }
