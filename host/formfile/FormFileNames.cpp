#include "FormFileNames.h"
#include "Text.h"
#include <windows.h>

namespace kxhost::formfile {

namespace {
bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool IsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }
} // namespace

bool IsIdentStart(wchar_t c) {
    if (c < 0x80) return IsAsciiLetter(c) || c == L'_';
    return !IsSurrogate(c) && IsCharAlphaW(c);
}

bool IsIdentChar(wchar_t c) {
    if (c < 0x80) return IsAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'_';
    return !IsSurrogate(c) && IsCharAlphaNumericW(c);
}

bool IsIdentifier(const std::wstring& s) {
    if (s.empty() || !IsIdentStart(s[0])) return false;
    for (wchar_t c : s) {
        if (!IsIdentChar(c)) return false;
    }
    return true;
}

bool IsKeyword(const std::wstring& word, const wchar_t* keyword) {
    size_t i = 0;
    for (; keyword[i]; ++i) {
        if (i >= word.size()) return false;
        wchar_t c = word[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        wchar_t k = keyword[i];
        if (k >= L'A' && k <= L'Z') k = static_cast<wchar_t>(k - L'A' + L'a');
        if (c != k) return false;
    }
    return i == word.size();
}

} // namespace kxhost::formfile
