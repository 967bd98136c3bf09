#include "VersionText.h"

#include <cstring>

namespace kestrix {

std::wstring VersionCaption(WORD major, WORD minor) {
    std::wstring minorText = std::to_wstring(minor);
    if (minorText.size() < 2) minorText.insert(0, 2 - minorText.size(), L'0');
    return L"Ver " + std::to_wstring(major) + L"." + minorText;
}

bool ModuleVersion(HMODULE module, WORD* major, WORD* minor) {
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    if (!res) return false;
    HGLOBAL loaded = LoadResource(module, res);
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(module, res);
    // VS_VERSIONINFO: three WORDs, L"VS_VERSION_INFO", padding to a DWORD,
    // then the fixed part, which starts with its signature.
    constexpr size_t kFixedAt = (3 * sizeof(WORD) + sizeof L"VS_VERSION_INFO" + 3) & ~size_t{3};
    if (!data || size < kFixedAt + sizeof(VS_FIXEDFILEINFO)) return false;
    VS_FIXEDFILEINFO fixed;
    memcpy(&fixed, data + kFixedAt, sizeof fixed);
    if (fixed.dwSignature != 0xFEEF04BD) return false;
    *major = HIWORD(fixed.dwFileVersionMS);
    *minor = LOWORD(fixed.dwFileVersionMS);
    return true;
}

} // namespace kestrix
