#include "ServerTable.h"

#include "Kestrix.h"
#include "PageIds.h"
#include "Pages.h"
#include "resource.h"

namespace kestrix {

namespace {
const kx::ole::ClassEntry kClasses[] = {
    {&CLSID_Kestrix, &kx::ole::CreateInstance<Kestrix>},
    {&CLSID_KestrixProp1, &CreateKestrixProp1},
    {&CLSID_KestrixProp2, &CreateKestrixProp2},
    {&CLSID_KestrixProp3, &CreateKestrixProp3},
};
const kx::ole::ControlEntry kControls[] = {
    {&kKestrixClass, L"Kestrix32.Kestrix", L"Kestrix", IDB_KESTRIX_TOOLBOX},
};
const kx::ole::PlainEntry kPages[] = {
    {&CLSID_KestrixProp1, L"KestrixProp1"},
    {&CLSID_KestrixProp2, L"KestrixProp2"},
    {&CLSID_KestrixProp3, L"KestrixProp3"},
};
// At namespace scope, not a function's static: a guarded first use would
// take a lock of the thread library, whose record for the loading thread
// outlives the unloaded library (two handles per load).
const kx::ole::ServerModule g_Server(kClasses, kControls, kPages);
} // namespace

const kx::ole::ServerModule& KestrixServer() { return g_Server; }

} // namespace kestrix
