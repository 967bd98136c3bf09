// The server entry of Kestrix.OCX: the control class and its three property
// pages, table-driven.
#include <windows.h>
#include <ole2.h>

#include "Kestrix.h"
#include "KestrixBas.h"
#include "PageIds.h"
#include "Pages.h"
#include "ServerModule.h"
#include "resource.h"

namespace {
const kx::ole::ClassEntry kClasses[] = {
    {&CLSID_Kestrix, &kx::ole::CreateInstance<kestrix::Kestrix>},
    {&kestrix::CLSID_KestrixProp1, &kestrix::CreateKestrixProp1},
    {&kestrix::CLSID_KestrixProp2, &kestrix::CreateKestrixProp2},
    {&kestrix::CLSID_KestrixProp3, &kestrix::CreateKestrixProp3},
};
const kx::ole::ControlEntry kControls[] = {
    {&kestrix::kKestrixClass, L"Kestrix32.Kestrix", L"Kestrix", IDB_KESTRIX_TOOLBOX},
};
const kx::ole::PlainEntry kPages[] = {
    {&kestrix::CLSID_KestrixProp1, L"KestrixProp1"},
    {&kestrix::CLSID_KestrixProp2, L"KestrixProp2"},
    {&kestrix::CLSID_KestrixProp3, L"KestrixProp3"},
};
const kx::ole::ServerModule g_Server(kClasses, kControls, kPages);
} // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) { return g_Server.GetClassObject(clsid, iid, out); }
// A window another subclasser hooked above us may still call our procedure
// after every object has gone: the library stays while one lives.
STDAPI DllCanUnloadNow() { return gFn_LeftoversRemain() ? S_FALSE : g_Server.CanUnloadNow(); }
STDAPI DllRegisterServer() { return g_Server.Register(); }
STDAPI DllUnregisterServer() { return g_Server.Unregister(); }
