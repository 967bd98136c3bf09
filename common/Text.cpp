#include "Text.h"

namespace kx {

std::wstring TrimBlanks(const std::wstring& s) {
    const size_t b = s.find_first_not_of(L' ');
    if (b == std::wstring::npos) return {};
    const size_t e = s.find_last_not_of(L' ');
    return s.substr(b, e - b + 1);
}

std::wstring UpperCase(std::wstring s) {
    if (!s.empty()) CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::wstring LowerCase(std::wstring s) {
    if (!s.empty()) CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

int DecimalInto(LONG v, wchar_t* buf) {
    // Unsigned magnitude so that the most negative value has no overflow.
    unsigned long m = v < 0 ? 0ul - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
    wchar_t tmp[12];
    int n = 0;
    do {
        tmp[n++] = static_cast<wchar_t>(L'0' + m % 10);
        m /= 10;
    } while (m);
    int len = 0;
    if (v < 0) buf[len++] = L'-';
    while (n) buf[len++] = tmp[--n];
    buf[len] = 0;
    return len;
}

std::wstring Decimal(LONG v) {
    wchar_t buf[12];
    const int n = DecimalInto(v, buf);
    return std::wstring(buf, n);
}

} // namespace kx
