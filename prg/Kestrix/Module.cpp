// The server entry of Kestrix.OCX: one control class, table-driven.
#include <windows.h>
#include <ole2.h>

#include "Kestrix.h"
#include "ServerModule.h"
#include "resource.h"

namespace {
const kx::ole::ClassEntry kClasses[] = {
    {&CLSID_Kestrix, &kx::ole::CreateInstance<kestrix::Kestrix>},
};
const kx::ole::ControlEntry kControls[] = {
    {&kestrix::kKestrixClass, L"Kestrix32.Kestrix", L"Kestrix", IDB_KESTRIX_TOOLBOX},
};
const kx::ole::ServerModule g_Server(kClasses, kControls);
} // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) { return g_Server.GetClassObject(clsid, iid, out); }
STDAPI DllCanUnloadNow() { return g_Server.CanUnloadNow(); }
STDAPI DllRegisterServer() { return g_Server.Register(); }
STDAPI DllUnregisterServer() { return g_Server.Unregister(); }
