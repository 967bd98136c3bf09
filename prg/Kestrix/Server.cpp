// The server entry of Kestrix.OCX: the control class and its three property
// pages, from the one table (ServerTable.cpp).
#include <windows.h>
#include <ole2.h>

#include "KestrixBas.h"
#include "ServerTable.h"

using kestrix::KestrixServer;

namespace {

// Once it has served an object the library stays loaded until the process
// ends: windows may call its procedures late, and the static runtime keeps
// records per load (a thread's handles) that no unload gives back, so that
// hosts that create and free it over and over would leak with each cycle.
bool g_Pinned = false;

void Pin() {
    if (g_Pinned) return;
    HMODULE self = nullptr;
    g_Pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCWSTR>(&Pin), &self) != FALSE;
}

} // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    Pin();
    return KestrixServer().GetClassObject(clsid, iid, out);
}
// A window another subclasser hooked above us may still call our procedure
// after every object has gone: the library stays while one lives.
STDAPI DllCanUnloadNow() { return gFn_LeftoversRemain() ? S_FALSE : KestrixServer().CanUnloadNow(); }
STDAPI DllRegisterServer() { return KestrixServer().Register(); }
STDAPI DllUnregisterServer() { return KestrixServer().Unregister(); }
