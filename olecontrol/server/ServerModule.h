// The server entry of a control DLL, driven by two tables:
//
//   const kx::ole::ClassEntry kClasses[] = {
//       {&CLSID_MyControl, &kx::ole::CreateInstance<MyControl>},
//   };
//   const kx::ole::ControlEntry kControls[] = {
//       {&kMyClassInfo, L"MyLib.MyControl", L"My control", IDB_TOOLBOX},
//   };
//   kx::ole::ServerModule g_Server(kClasses, kControls);
//
//   STDAPI DllGetClassObject(REFCLSID c, REFIID i, void** p) { return g_Server.GetClassObject(c, i, p); }
//   STDAPI DllCanUnloadNow() { return g_Server.CanUnloadNow(); }
//   STDAPI DllRegisterServer() { return g_Server.Register(); }
//   STDAPI DllUnregisterServer() { return g_Server.Unregister(); }
//
// Register writes, per control: CLSID\{..} (default: description) with
// InprocServer32 (module path, ThreadingModel=Apartment), ProgID,
// VersionIndependentProgID, Control, MiscStatus ("0") and MiscStatus\1
// (the class's OLEMISC flags, decimal), ToolboxBitmap32 ("path, id"),
// TypeLib, Version, Implemented Categories\{control category}; and
// HKCR\<ProgID> (description, CLSID). Classes that are no controls (a
// control's property pages) come in a third table and get CLSID\{..}
// (default: description) with InprocServer32 (module path,
// ThreadingModel=Apartment) only:
//
//   const kx::ole::PlainEntry kPlain[] = {{&CLSID_MyPage, L"My page"}};
//   kx::ole::ServerModule g_Server(kClasses, kControls, kPlain);
//
// It registers the module's type library (resource TYPELIB 1). Unregister
// deletes the same and treats what is already gone as done. Manifest writes
// the same classes and type library as a side-by-side assembly manifest,
// and InstallerFragment as a Windows Installer package's registry rows.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>
#include <vector>

#include "ClassFactory.h"
#include "ControlClassInfo.h"
#include "Registration.h"
#include "WixFragment.h"

namespace kx::ole {

struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
};

struct ControlEntry {
    const ControlClassInfo* info;
    const wchar_t* progId; // also the version-independent ProgID
    const wchar_t* description;
    UINT toolboxBitmapId; // 0: no ToolboxBitmap32
};

struct PlainEntry {
    const CLSID* clsid;
    const wchar_t* description;
};

class ServerModule {
public:
    template <size_t NC, size_t NR>
    ServerModule(const ClassEntry (&classes)[NC], const ControlEntry (&controls)[NR])
        : classes_(classes), classCount_(NC), controls_(controls), controlCount_(NR) {}
    template <size_t NC, size_t NR, size_t NP>
    ServerModule(const ClassEntry (&classes)[NC], const ControlEntry (&controls)[NR], const PlainEntry (&plain)[NP])
        : classes_(classes), classCount_(NC), controls_(controls), controlCount_(NR), plain_(plain), plainCount_(NP) {}

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
    HRESULT CanUnloadNow() const;
    HRESULT Register() const;
    HRESULT Unregister() const;

    // The rows Register writes (type library apart), for tests and tools.
    HRESULT Rows(std::vector<RegistryRow>* rows) const;
    // The side-by-side assembly manifest of the same classes and type
    // library (version and architecture this build's), naming the server's
    // file; UTF-16 text of an XML document.
    HRESULT Manifest(const wchar_t* assemblyName, const wchar_t* fileName, std::wstring* xml) const;
    // What Register writes, the type library's rows included, as a WiX
    // fragment (WixFragment.h) for the package's file fileId in its folder
    // dirId.
    HRESULT InstallerFragment(const wchar_t* fileId, const wchar_t* dirId, std::wstring* xml,
                              std::vector<WixText>* texts) const;

private:
    HMODULE Module() const;

    const ClassEntry* classes_;
    size_t classCount_;
    const ControlEntry* controls_;
    size_t controlCount_;
    const PlainEntry* plain_ = nullptr;
    size_t plainCount_ = 0;
};

} // namespace kx::ole
