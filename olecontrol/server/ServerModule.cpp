#include "ServerModule.h"
#include "TypeAttr.h"

#include <oleauto.h>
#include <olectl.h>

#include "ComPtr.h"
#include "Manifest.h"
#include "ModuleInfo.h"
#include "OlderTypeLibs.h"
#include "ReturnIf.h"
#include "Text.h"
#include "TypeLibRows.h"

namespace kx::ole {

namespace {
// CATID_Control.
constexpr GUID kControlCategory = {0x40FC6ED4, 0x2438, 0x11CF, {0xA3, 0xDB, 0x08, 0x00, 0x36, 0xF1, 0x25, 0x02}};

void AddControlRows(const ControlEntry& c, const TLIBATTR* lib, std::vector<RegistryRow>* rows) {
    const HKEY hkcr = HKEY_CLASSES_ROOT;
    const std::wstring clsidKey = L"CLSID\\" + GuidString(*c.info->clsid);
    const std::wstring clsid = GuidString(*c.info->clsid);
    rows->push_back({hkcr, clsidKey, L"", c.description});
    rows->push_back({hkcr, clsidKey + L"\\InprocServer32", L"", L"%MODULE%"});
    rows->push_back({hkcr, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"});
    rows->push_back({hkcr, clsidKey + L"\\ProgID", L"", c.progId});
    rows->push_back({hkcr, clsidKey + L"\\VersionIndependentProgID", L"", c.progId});
    rows->push_back({hkcr, clsidKey + L"\\Control", L"", L""});
    rows->push_back({hkcr, clsidKey + L"\\MiscStatus", L"", L"0"});
    rows->push_back({hkcr, clsidKey + L"\\MiscStatus\\1", L"", Decimal(static_cast<LONG>(c.info->miscStatus))});
    if (c.toolboxBitmapId) {
        rows->push_back({hkcr, clsidKey + L"\\ToolboxBitmap32", L"",
                         L"%MODULE%, " + Decimal(static_cast<LONG>(c.toolboxBitmapId))});
    }
    if (lib) {
        rows->push_back({hkcr, clsidKey + L"\\TypeLib", L"", GuidString(lib->guid)});
        rows->push_back(
            {hkcr, clsidKey + L"\\Version", L"", Decimal(lib->wMajorVerNum) + L"." + Decimal(lib->wMinorVerNum)});
    }
    rows->push_back({hkcr, clsidKey + L"\\Implemented Categories\\" + GuidString(kControlCategory), L"", L""});
    rows->push_back({hkcr, c.progId, L"", c.description, c.info->clsid});
    rows->push_back({hkcr, std::wstring(c.progId) + L"\\CLSID", L"", clsid, c.info->clsid});
}

// The library's registration for this platform (win32 or win64) exists.
bool TypeLibRegistered(const TLIBATTR& a) { return KeyExists(HKEY_CLASSES_ROOT, TypeLibPlatformKey(a)); }

void AddPlainRows(const PlainEntry& c, std::vector<RegistryRow>* rows) {
    const std::wstring clsidKey = L"CLSID\\" + GuidString(*c.clsid);
    rows->push_back({HKEY_CLASSES_ROOT, clsidKey, L"", c.description});
    rows->push_back({HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"", L"%MODULE%"});
    rows->push_back({HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"});
}
} // namespace

HMODULE ServerModule::Module() const { return ModuleOf(classes_); }

HRESULT ServerModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    for (size_t i = 0; i < classCount_; ++i) {
        if (*classes_[i].clsid != clsid) continue;
        ComPtr<ClassFactory> factory;
        RETURN_IF_FAILED(ClassFactory::Make(factory, classes_[i].create));
        return factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerModule::CanUnloadNow() const { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT ServerModule::Rows(std::vector<RegistryRow>* rows) const {
    RETURN_HR_IF_NULL(E_POINTER, rows);
    try {
        rows->clear();
        ComPtr<ITypeLib> lib;
        const bool hasLib = SUCCEEDED(LoadModuleTypeLib(Module(), &lib));
        LibAttr attr(hasLib ? lib.Get() : nullptr);
        for (size_t i = 0; i < controlCount_; ++i) AddControlRows(controls_[i], attr.get(), rows);
        for (size_t i = 0; i < plainCount_; ++i) AddPlainRows(plain_[i], rows);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ServerModule::Manifest(const wchar_t* assemblyName, const wchar_t* fileName, std::wstring* xml) const {
    RETURN_HR_IF_NULL(E_POINTER, xml);
    try {
        ComPtr<ITypeLib> lib;
        RETURN_IF_FAILED(LoadModuleTypeLib(Module(), &lib));
        LibAttr attr(lib.Get());
        const TLIBATTR* a = attr.get();
        RETURN_HR_IF_NULL(E_FAIL, a);
        const std::wstring libId = GuidString(a->guid);
        const std::wstring version = Decimal(a->wMajorVerNum) + L"." + Decimal(a->wMinorVerNum);
        const auto quoted = [](const std::wstring& v) { return L"\"" + XmlAttribute(v) + L"\""; };

        std::wstring x = L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                         L"<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n";
        x += L"  <assemblyIdentity type=\"win32\" name=" + quoted(assemblyName) + L" version=" +
            quoted(version + L".0.0") + L" processorArchitecture=" + quoted(ProcessorArchitecture()) + L"/>\r\n";
        x += L"  <file name=" + quoted(fileName) + L">\r\n";
        for (size_t i = 0; i < controlCount_; ++i) {
            const ControlEntry& c = controls_[i];
            // The registry's MiscStatus is 0 for every aspect but content.
            x += L"    <comClass clsid=" + quoted(GuidString(*c.info->clsid)) + L" progid=" + quoted(c.progId) +
                L" threadingModel=\"Apartment\" tlbid=" + quoted(libId) + L" description=" + quoted(c.description) +
                L" miscStatusContent=" + quoted(MiscStatusKeywords(c.info->miscStatus)) + L"/>\r\n";
        }
        for (size_t i = 0; i < plainCount_; ++i) {
            x += L"    <comClass clsid=" + quoted(GuidString(*plain_[i].clsid)) +
                L" threadingModel=\"Apartment\" description=" + quoted(plain_[i].description) + L"/>\r\n";
        }
        // The help file lies beside the server: the assembly's own folder.
        x += L"    <typelib tlbid=" + quoted(libId) + L" version=" + quoted(version) + L" helpdir=\"\"";
        // HASDISKIMAGE tells how the library was loaded, not what it is.
        const WORD flags = a->wLibFlags & ~LIBFLAG_FHASDISKIMAGE;
        if (flags) x += L" flags=" + quoted(LibFlagKeywords(flags));
        x += L"/>\r\n  </file>\r\n</assembly>\r\n";
        *xml = std::move(x);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ServerModule::InstallerFragment(const wchar_t* fileId, const wchar_t* dirId, std::wstring* xml,
                                        std::vector<WixText>* texts) const {
    try {
        std::vector<RegistryRow> rows, own;
        // The ProgIDs stay from version to version, the type library's
        // version key does not: a component each.
        std::vector<WixSharedRows> shared = {{L"SharedProgIds", {}}, {L"SharedTypeLib", {}}};
        RETURN_IF_FAILED(Rows(&rows));
        for (RegistryRow& row : rows) (row.sharedFor ? shared[0].rows : own).push_back(std::move(row));
        ComPtr<ITypeLib> lib;
        RETURN_IF_FAILED(LoadModuleTypeLib(Module(), &lib));
        RETURN_IF_FAILED(AddTypeLibRows(lib.Get(), &own, &shared[1].rows));
        return WixRegistryFragment(own, shared, fileId, dirId, xml, texts);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ServerModule::Register() const {
    try {
        const std::wstring path = ModulePath(Module());
        RETURN_HR_IF(SELFREG_E_CLASS, path.empty());
        std::vector<RegistryRow> rows;
        RETURN_IF_FAILED(Rows(&rows));
        if (FAILED(WriteRegistryRows(rows, path))) return SELFREG_E_CLASS;
        ComPtr<ITypeLib> lib;
        if (SUCCEEDED(LoadModuleTypeLib(Module(), &lib))) {
            if (FAILED(RegisterTypeLib(lib.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr)))
                return SELFREG_E_TYPELIB;
            // Only once this version is registered: a failed registration
            // leaves the older ones working.
            LibAttr attr(lib.Get());
            if (attr.get()) ForgetOlderTypeLibs(*attr.get());
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ServerModule::Unregister() const {
    try {
        std::vector<RegistryRow> rows;
        RETURN_IF_FAILED(Rows(&rows));
        HRESULT result = DeleteRegistryRows(rows);
        ComPtr<ITypeLib> lib;
        if (SUCCEEDED(LoadModuleTypeLib(Module(), &lib))) {
            LibAttr attr(lib.Get());
            const TLIBATTR* a = attr.get();
            // Not registered (any more) is what we want; Wine answers
            // E_INVALIDARG for a library that is not registered, Windows
            // TYPE_E_REGISTRYACCESS, so ask first, for this bitness's own
            // entry: QueryPathOfRegTypeLib also finds the other's.
            if (a && TypeLibRegistered(*a)) {
                if (FAILED(UnRegisterTypeLib(a->guid, a->wMajorVerNum, a->wMinorVerNum, a->lcid, a->syskind)) &&
                    SUCCEEDED(result)) {
                    result = SELFREG_E_TYPELIB;
                }
            }
        }
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace kx::ole
