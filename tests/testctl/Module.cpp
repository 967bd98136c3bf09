// The server entry of KxTestCtl.dll: one control class, table-driven.
#include <windows.h>
#include <ole2.h>

#include "ServerModule.h"
#include "TestControl.h"
#include "resource.h"

namespace {
const kx::ole::ClassEntry kClasses[] = {
    {&CLSID_KxTestCtl, &kx::ole::CreateInstance<kxtest::TestControl>},
};
const kx::ole::ControlEntry kControls[] = {
    {&kxtest::kTestControlInfo, L"KxTest.Ctl", L"Kestrix test control", IDB_KXTEST_TOOLBOX},
};
const kx::ole::ServerModule g_Server(kClasses, kControls);
} // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) { return g_Server.GetClassObject(clsid, iid, out); }
STDAPI DllCanUnloadNow() { return g_Server.CanUnloadNow(); }
STDAPI DllRegisterServer() { return g_Server.Register(); }
STDAPI DllUnregisterServer() { return g_Server.Unregister(); }
