#include "TypeLibRows.h"

#include "Bstr.h"
#include "ComPtr.h"
#include "ReturnIf.h"
#include "TypeAttr.h"

namespace kx::ole {

namespace {
// The proxies of automation: a dual or oleautomation interface's, and a
// plain dispinterface's.
constexpr wchar_t kOleAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kDispatchProxy[] = L"{00020420-0000-0000-C000-000000000046}";

std::wstring Hex(unsigned long v) {
    wchar_t text[16] = {};
    wsprintfW(text, L"%lx", v);
    return text;
}

std::wstring HexVersion(const TLIBATTR& a) { return Hex(a.wMajorVerNum) + L"." + Hex(a.wMinorVerNum); }

HRESULT AddInterfaceRows(ITypeInfo* info, const TYPEATTR& t, const std::wstring& libId, const std::wstring& version,
                         std::vector<RegistryRow>* own) {
    // What RegisterTypeLib registers: automation's interfaces, whose calls
    // its marshaller can carry.
    const bool dispatch = t.typekind == TKIND_DISPATCH;
    if (!dispatch && !(t.typekind == TKIND_INTERFACE && (t.wTypeFlags & TYPEFLAG_FOLEAUTOMATION))) return S_OK;
    Bstr name;
    RETURN_IF_FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr));
    const wchar_t* proxy = dispatch && !(t.wTypeFlags & TYPEFLAG_FDUAL) ? kDispatchProxy : kOleAutomationProxy;
    const std::wstring key = L"Interface\\" + GuidString(t.guid);
    own->push_back({HKEY_CLASSES_ROOT, key, L"", FromBstr(name.get())});
    own->push_back({HKEY_CLASSES_ROOT, key + L"\\ProxyStubClsid", L"", proxy});
    own->push_back({HKEY_CLASSES_ROOT, key + L"\\ProxyStubClsid32", L"", proxy});
    own->push_back({HKEY_CLASSES_ROOT, key + L"\\TypeLib", L"", libId});
    own->push_back({HKEY_CLASSES_ROOT, key + L"\\TypeLib", L"Version", version});
    return S_OK;
}
} // namespace

std::wstring TypeLibVersionKey(const TLIBATTR& a) { return L"TypeLib\\" + GuidString(a.guid) + L"\\" + HexVersion(a); }

std::wstring TypeLibPlatformKey(const TLIBATTR& a) {
    return TypeLibVersionKey(a) + L"\\" + Hex(a.lcid) + L"\\" + PlatformName(a.syskind);
}

const wchar_t* PlatformName(SYSKIND kind) { return kind == SYS_WIN64 ? L"win64" : L"win32"; }

HRESULT AddTypeLibRows(ITypeLib* lib, std::vector<RegistryRow>* own, std::vector<RegistryRow>* shared) {
    RETURN_HR_IF(E_POINTER, !lib || !own || !shared);
    LibAttr attr(lib);
    RETURN_IF_FAILED(attr.status());
    const TLIBATTR& a = *attr.get();
    Bstr description;
    RETURN_IF_FAILED(lib->GetDocumentation(MEMBERID_NIL, nullptr, description.put(), nullptr, nullptr));
    const std::wstring libId = GuidString(a.guid);
    const std::wstring version = HexVersion(a);
    const std::wstring versionKey = TypeLibVersionKey(a);
    shared->push_back({HKEY_CLASSES_ROOT, versionKey, L"", FromBstr(description.get())});
    shared->push_back({HKEY_CLASSES_ROOT, versionKey + L"\\FLAGS", L"", std::to_wstring(a.wLibFlags)});
    shared->push_back({HKEY_CLASSES_ROOT, versionKey + L"\\HELPDIR", L"", L"%HELPDIR%"});
    own->push_back({HKEY_CLASSES_ROOT, TypeLibPlatformKey(a), L"", L"%MODULE%"});
    const UINT count = lib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        ComPtr<ITypeInfo> info;
        RETURN_IF_FAILED(lib->GetTypeInfo(i, &info));
        TypeAttr t(info.Get());
        RETURN_IF_FAILED(t.status());
        RETURN_IF_FAILED(AddInterfaceRows(info.Get(), *t.get(), libId, version, own));
    }
    return S_OK;
}

} // namespace kx::ole
