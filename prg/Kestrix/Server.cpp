// The server entry of Kestrix.OCX: the control class and its three property
// pages, from the one table (ServerTable.cpp).
#include <windows.h>
#include <ole2.h>

#include "KestrixBas.h"
#include "ServerTable.h"

using kestrix::KestrixServer;

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return KestrixServer().GetClassObject(clsid, iid, out);
}
// A window another subclasser hooked above us may still call our procedure
// after every object has gone: the library stays while one lives.
STDAPI DllCanUnloadNow() { return gFn_LeftoversRemain() ? S_FALSE : KestrixServer().CanUnloadNow(); }
STDAPI DllRegisterServer() { return KestrixServer().Register(); }
STDAPI DllUnregisterServer() { return KestrixServer().Unregister(); }
