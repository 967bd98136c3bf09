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

namespace {

// Unsigned magnitude, so that the most negative value has no overflow.
template <class Signed, class Unsigned, class Char>
int DecimalDigits(Signed v, Char* buf) {
    Unsigned m = v < 0 ? Unsigned(0) - static_cast<Unsigned>(v) : static_cast<Unsigned>(v);
    Char tmp[21];
    int n = 0;
    do {
        tmp[n++] = static_cast<Char>('0' + m % 10);
        m /= 10;
    } while (m);
    int len = 0;
    if (v < 0) buf[len++] = '-';
    while (n) buf[len++] = tmp[--n];
    buf[len] = 0;
    return len;
}

} // namespace

int DecimalInto(LONG v, wchar_t* buf) { return DecimalDigits<LONG, unsigned long>(v, buf); }

int DecimalInto(LONGLONG v, char* buf) { return DecimalDigits<LONGLONG, ULONGLONG>(v, buf); }

std::wstring Decimal(LONGLONG v) {
    wchar_t buf[22];
    const int n = DecimalDigits<LONGLONG, ULONGLONG>(v, buf);
    return std::wstring(buf, n);
}

} // namespace kx
