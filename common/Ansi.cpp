#include "Ansi.h"
#include <windows.h>

namespace kx {

namespace {
std::string ToCodePage(UINT codePage, const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}
} // namespace

std::string ToAnsi(const std::wstring& s) { return ToCodePage(CP_ACP, s); }
std::string ToUtf8(const std::wstring& s) { return ToCodePage(CP_UTF8, s); }

std::wstring FromAnsi(const char* s, size_t len) {
    if (len == 0) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(len), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(len), &out[0], n);
    return out;
}

std::wstring FromAnsi(const std::string& s) { return FromAnsi(s.data(), s.size()); }

} // namespace kx
