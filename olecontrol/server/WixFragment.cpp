#include "WixFragment.h"

#include <cwchar>
#include <initializer_list>

#include "Manifest.h"
#include "ReturnIf.h"

namespace kx::ole {

namespace {
bool Ascii(const std::wstring& s) {
    for (wchar_t c : s) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

// Literal text in a Windows Installer formatted string: brackets would
// name properties.
std::wstring Formatted(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'[') out += L"[\\[]";
        else if (c == L']') out += L"[\\]]";
        else out += c;
    }
    return out;
}

struct Placeholder {
    const wchar_t* name;
    const std::wstring& by;
};

// The data as a formatted string, each placeholder replaced by a formatted
// string of the package's own.
std::wstring Expand(const std::wstring& data, std::initializer_list<Placeholder> placeholders) {
    std::wstring out;
    size_t from = 0, literal = 0;
    while (from < data.size()) {
        const Placeholder* found = nullptr;
        for (const Placeholder& p : placeholders) {
            if (data.compare(from, wcslen(p.name), p.name) == 0) found = &p;
        }
        if (!found) {
            ++from;
            continue;
        }
        out += Formatted(data.substr(literal, from - literal)) + found->by;
        from += wcslen(found->name);
        literal = from;
    }
    out += Formatted(data.substr(literal));
    // A value that starts with '#' would be taken for a number.
    return !out.empty() && out[0] == L'#' ? L"#" + out : out;
}

const wchar_t* RootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return L"HKCR";
    if (root == HKEY_LOCAL_MACHINE) return L"HKLM";
    return nullptr;
}

HRESULT AddComponent(const wchar_t* id, const std::vector<RegistryRow>& rows, const std::wstring& module,
                     const std::wstring& helpDir, std::wstring* x, std::vector<WixText>* texts) {
    *x += L"      <Component Id=\"" + std::wstring(id) + L"\" Guid=\"$(var." + id + L"Guid)\" Win64=\"$(var.Win64)\">\r\n";
    bool keyPath = true;
    for (const RegistryRow& row : rows) {
        const wchar_t* root = RootName(row.root);
        // wixl's preprocessor would read "$(" as one of its variables.
        RETURN_HR_IF(E_INVALIDARG, !root || !Ascii(row.key) || !Ascii(row.valueName) ||
                                       (row.key + row.valueName + row.data).find(L"$(") != std::wstring::npos);
        std::wstring value = Expand(row.data, {{L"%MODULE%", module}, {L"%HELPDIR%", helpDir}});
        if (!Ascii(value)) {
            texts->push_back({L"@KX_TEXT_" + std::to_wstring(texts->size() + 1) + L"@", value});
            value = texts->back().placeholder;
        }
        *x += L"        <RegistryValue Root=\"" + std::wstring(root) + L"\" Key=\"" + XmlAttribute(Formatted(row.key)) + L"\"";
        if (!row.valueName.empty()) *x += L" Name=\"" + XmlAttribute(Formatted(row.valueName)) + L"\"";
        *x += L" Value=\"" + XmlAttribute(value) + L"\" Type=\"string\"";
        // A value, not a bare key: Windows Installer checks it on repair.
        if (keyPath && !value.empty()) {
            *x += L" KeyPath=\"yes\"";
            keyPath = false;
        }
        *x += L"/>\r\n";
    }
    *x += L"      </Component>\r\n";
    return S_OK;
}
} // namespace

HRESULT WixRegistryFragment(const std::vector<RegistryRow>& own, const std::vector<WixSharedRows>& shared,
                            const wchar_t* fileId, const wchar_t* dirId, std::wstring* xml,
                            std::vector<WixText>* texts) {
    RETURN_HR_IF(E_POINTER, !fileId || !dirId || !xml || !texts);
    try {
        texts->clear();
        const std::wstring module = L"[#" + std::wstring(fileId) + L"]";
        const std::wstring helpDir = L"[" + std::wstring(dirId) + L"]";
        std::wstring x = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                         L"<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\r\n  <Fragment>\r\n"
                         L"    <ComponentGroup Id=\"ComRegistration\" Directory=\"" + XmlAttribute(dirId) + L"\">\r\n";
        RETURN_IF_FAILED(AddComponent(L"ComRegistration", own, module, helpDir, &x, texts));
        for (const WixSharedRows& group : shared) {
            RETURN_IF_FAILED(AddComponent(group.id.c_str(), group.rows, module, helpDir, &x, texts));
        }
        x += L"    </ComponentGroup>\r\n  </Fragment>\r\n</Wix>\r\n";
        *xml = std::move(x);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace kx::ole
