// KxDescribeServer.exe: writes, into the current folder and from the table
// the OCX registers itself with, what else describes Kestrix.OCX:
//   Kestrix.manifest      its side-by-side assembly manifest, which the
//                         build embeds in the OCX and lays beside it;
//   KestrixRegistry.wxs   its registration as the registry rows of a
//                         Windows Installer package (a WiX fragment), and
//   KestrixRegistry.txt   the texts that fragment holds as placeholders,
//                         one "placeholder<TAB>text" line each, in UTF-8.
// The build runs it (under Wine when cross-built); this program carries the
// same type library as the OCX.
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

#include "Ansi.h"
#include "ServerTable.h"
#include "UniqueHandle.h"

namespace {
bool Write(const wchar_t* name, const std::wstring& text) {
    const std::string utf8 = kx::ToUtf8(text);
    kx::UniqueFile file(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
        written != utf8.size()) {
        std::fprintf(stderr, "KxDescribeServer: %ls not written (error %lu)\n", name, GetLastError());
        return false;
    }
    return true;
}

bool Failed(const char* what, HRESULT hr) {
    if (SUCCEEDED(hr)) return false;
    std::fprintf(stderr, "KxDescribeServer: no %s (0x%08lx)\n", what, static_cast<unsigned long>(hr));
    return true;
}
} // namespace

int main() {
    const kx::ole::ServerModule& server = kestrix::KestrixServer();
    std::wstring manifest, fragment, texts;
    std::vector<kx::ole::WixText> placeholders;
    if (Failed("manifest", server.Manifest(kestrix::kAssemblyName, kestrix::kServerFile, &manifest)) ||
        Failed("installer rows", server.InstallerFragment(kestrix::kServerFileId, kestrix::kInstallFolderId,
                                                          &fragment, &placeholders))) {
        return 1;
    }
    for (const kx::ole::WixText& t : placeholders) {
        // One line each: a line break in a text would end it.
        if (t.text.find_first_of(L"\r\n\t") != std::wstring::npos) {
            Failed("installer text on one line", E_INVALIDARG);
            return 1;
        }
        texts += t.placeholder + L"\t" + t.text + L"\n";
    }
    return Write(L"Kestrix.manifest", manifest) && Write(L"KestrixRegistry.wxs", fragment) &&
            Write(L"KestrixRegistry.txt", texts)
        ? 0
        : 1;
}
