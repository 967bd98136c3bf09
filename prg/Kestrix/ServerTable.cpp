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
} // namespace

const kx::ole::ServerModule& KestrixServer() {
    static const kx::ole::ServerModule server(kClasses, kControls, kPages);
    return server;
}

} // namespace kestrix
