// KxWriteManifest.exe: writes Kestrix.manifest, the side-by-side assembly
// manifest of Kestrix.OCX, into the current folder, from the table the OCX
// registers itself with. The build runs it (under Wine when cross-built)
// and embeds what it wrote in the OCX; this program carries the same type
// library, which the manifest describes.
#include <windows.h>
#include <cstdio>
#include <string>

#include "ServerTable.h"
#include "UniqueHandle.h"

int main() {
    std::wstring xml;
    const HRESULT hr = kestrix::KestrixServer().Manifest(kestrix::kAssemblyName, kestrix::kServerFile, &xml);
    if (FAILED(hr)) {
        std::fprintf(stderr, "KxWriteManifest: no manifest (0x%08lx)\n", static_cast<unsigned long>(hr));
        return 1;
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, xml.data(), static_cast<int>(xml.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, xml.data(), static_cast<int>(xml.size()), &utf8[0], n, nullptr, nullptr);
    kx::UniqueFile file(
        CreateFileW(L"Kestrix.manifest", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
        written != utf8.size()) {
        std::fprintf(stderr, "KxWriteManifest: Kestrix.manifest not written (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
