/* KxRegProbe.exe: what a program of this probe's bitness finds of Kestrix
   in the registry. Its exit code is 0 when everything works, else the sum
   of what failed: 1 the ProgID gives no class id, 2 the control cannot be
   created, 4 its type library does not load.
   KxRegProbe.exe notregistered: 0 when creating the control by its class id
   fails with REGDB_E_CLASSNOTREG, as it must where nothing is registered
   and no manifest binds it; 1 otherwise. */
#include <windows.h>
#include <ole2.h>

static const GUID kLibId = {0x5C2BF89F, 0x7E58, 0x43A7, {0xBB, 0x95, 0x8D, 0xF1, 0xDB, 0xF2, 0x87, 0x42}};
static const CLSID kClsid = {0x9C3D95F7, 0x81D2, 0x4F8F, {0xBF, 0x6F, 0x29, 0x45, 0xC6, 0x67, 0xB5, 0x7D}};

int main(int argc, char** argv) {
    CLSID clsid;
    IUnknown* control = NULL;
    ITypeLib* lib = NULL;
    int failed = 0;
    if (FAILED(CoInitialize(NULL))) return 8;
    if (argc > 1 && lstrcmpA(argv[1], "notregistered") == 0) {
        const HRESULT hr = CoCreateInstance(&kClsid, NULL, CLSCTX_INPROC_SERVER, &IID_IUnknown, (void**)&control);
        if (control) control->lpVtbl->Release(control);
        CoUninitialize();
        return hr == REGDB_E_CLASSNOTREG ? 0 : 1;
    }
    if (FAILED(CLSIDFromProgID(L"Kestrix32.Kestrix", &clsid))) {
        failed |= 3; /* nothing to create either */
    } else if (FAILED(CoCreateInstance(&clsid, NULL, CLSCTX_INPROC_SERVER, &IID_IUnknown, (void**)&control))) {
        failed |= 2;
    } else {
        control->lpVtbl->Release(control);
    }
    if (FAILED(LoadRegTypeLib(&kLibId, 1, 34, 0, &lib))) failed |= 4;
    else lib->lpVtbl->Release(lib);
    CoUninitialize();
    return failed;
}
