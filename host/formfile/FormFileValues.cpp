#include "FormFileValues.h"
#include "FormFileNames.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kxhost::formfile {

namespace {

constexpr int64_t kCap = int64_t(1) << 40; // accumulation stops growing past any 32-bit value

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
int HexDigit(wchar_t c) {
    if (IsDigit(c)) return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// A character that cannot continue a number: "12x", "1.2.3", "&HFF&&" are bad numbers.
bool EndsNumber(wchar_t c) {
    return !(IsIdentChar(c) || c == L'.' || c == L'&' || c == L'-' || c == L'+' || c == L'"');
}

struct Number {
    bool isDouble = false;
    int64_t whole = 0; // capped: anything past 32 bits stays out of range
    double real = 0;
};

// Reads a number at the cursor; the caller has seen '-', '&' or a digit.
Number ReadNumber(LineCursor& in, const std::wstring& what) {
    const wchar_t* const start = in.pos();
    const wchar_t* p = start;
    const wchar_t* const e = in.end();
    auto fail = [&](const std::wstring& expected) {
        in.advance(p);
        in.Fail(L"bad number for " + what + L": expected " + expected + L" after " + Shown(start, p) + L", found " +
                in.Found());
    };
    Number n;
    if (*p == L'&') {
        ++p;
        if (p == e || (*p != L'H' && *p != L'h')) fail(L"H (a hexadecimal number is written &H...)");
        ++p;
        const wchar_t* digits = p;
        int significant = 0;
        uint64_t v = 0;
        for (; p != e && HexDigit(*p) >= 0; ++p) {
            if (significant > 0 || HexDigit(*p) != 0) ++significant;
            v = v * 16 + HexDigit(*p); // wraps only past 16 digits, refused below anyway
        }
        if (p == digits) fail(L"hexadecimal digits");
        if (p != e && *p == L'&') ++p; // the Long suffix VB writes
        if (p != e && !EndsNumber(*p)) fail(L"a blank or the end of the line");
        if (significant > 8)
            in.Fail(L"number " + Shown(start, p) + L" for " + what +
                    L" is out of range: expected at most 8 hexadecimal digits (&HFFFFFFFF)");
        in.advance(p);
        n.whole = static_cast<LONG>(static_cast<DWORD>(v)); // the 32-bit pattern, as VB reads it
        return n;
    }
    const bool negative = *p == L'-';
    if (negative) ++p;
    const wchar_t* digits = p;
    for (; p != e && IsDigit(*p); ++p) n.whole = std::min(n.whole * 10 + (*p - L'0'), kCap);
    if (p == digits) fail(L"digits");
    if (p != e && *p == L'.') {
        ++p;
        if (p == e || !IsDigit(*p)) fail(L"digits after the decimal point");
        while (p != e && IsDigit(*p)) ++p;
        n.isDouble = true;
    }
    if (p != e && (*p == L'E' || *p == L'e')) {
        ++p;
        if (p != e && (*p == L'+' || *p == L'-')) ++p;
        if (p == e || !IsDigit(*p)) fail(L"exponent digits");
        while (p != e && IsDigit(*p)) ++p;
        n.isDouble = true;
    }
    if (p != e && !EndsNumber(*p)) fail(L"a blank or the end of the line");
    in.advance(p);
    if (negative) n.whole = -n.whole;
    if (n.isDouble) {
        const std::string ascii(start, p); // only ASCII digits, signs, '.', 'E' got here
        n.real = std::strtod(ascii.c_str(), nullptr);
        if (!std::isfinite(n.real))
            in.Fail(L"number " + Shown(start, p) + L" for " + what + L" is out of range for a double");
    }
    return n;
}

LONG ToLong(LineCursor& in, const Number& n, const wchar_t* begin, int64_t low, int64_t high,
            const std::wstring& what) {
    if (n.isDouble || n.whole < low || n.whole > high)
        in.Fail(L"number " + Shown(begin, in.pos()) + L" for " + what +
                L" is out of range: expected a whole number from " + std::to_wstring(low) + L" to " +
                std::to_wstring(high));
    return static_cast<LONG>(n.whole);
}

bool StartsNumber(wchar_t c) { return IsDigit(c) || c == L'-' || c == L'&'; }

const wchar_t kPieces[] = L"a quoted string, vbCrLf, vbCr, vbLf, vbTab or ChrW(code)";

// One piece of a string value; false (nothing taken) when none is next.
bool ReadPiece(LineCursor& in, const std::wstring& what, std::wstring& out) {
    if (in.Peek() == L'"') {
        out += in.Quoted(what);
        return true;
    }
    const wchar_t* const start = in.pos();
    const std::wstring word = in.Word();
    if (IsKeyword(word, L"vbCrLf")) out += L"\r\n";
    else if (IsKeyword(word, L"vbCr")) out += L'\r';
    else if (IsKeyword(word, L"vbLf")) out += L'\n';
    else if (IsKeyword(word, L"vbTab")) out += L'\t';
    else if (IsKeyword(word, L"ChrW")) {
        const std::wstring code = L"the ChrW code in " + what;
        if (!in.Take(L'(')) in.Fail(L"expected \"(\" after ChrW in " + what + L", found " + in.Found());
        if (!StartsNumber(in.Peek())) in.Fail(L"expected " + code + L", found " + in.Found());
        const wchar_t* begin = in.pos();
        out += static_cast<wchar_t>(ToLong(in, ReadNumber(in, code), begin, 0, 0xFFFF, code));
        if (!in.Take(L')')) in.Fail(L"expected \")\" after " + code + L", found " + in.Found());
    } else {
        in.advance(start);
        return false;
    }
    return true;
}

// The pieces after the first, joined by "&", up to the end of the line.
std::wstring ReadRestOfString(LineCursor& in, const std::wstring& what, std::wstring out) {
    while (!in.AtEnd()) {
        if (!in.Take(L'&'))
            in.Fail(L"expected \"&\" or the end of the line after the string for " + what + L", found " + in.Found());
        if (!ReadPiece(in, what, out))
            in.Fail(L"expected " + std::wstring(kPieces) + L" after \"&\" in " + what + L", found " + in.Found());
    }
    return out;
}

std::wstring FormatDouble(double d) {
    char buf[40];
    // The shortest text that reads back as the same bits.
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, d);
        if (std::strtod(buf, nullptr) == d) break;
    }
    std::wstring out(buf, buf + std::char_traits<char>::length(buf));
    if (out.find_first_of(L".eE") == std::wstring::npos) out += L".0"; // keeps it a double
    return out;
}

// Characters a line cannot hold visibly, written as named pieces or ChrW.
bool NeedsPiece(const std::wstring& s, size_t i) {
    const wchar_t c = s[i];
    if (c < 0x20 || c == 0x7F) return true;
    if (c >= 0xD800 && c <= 0xDBFF) return !(i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF);
    if (c >= 0xDC00 && c <= 0xDFFF) return !(i > 0 && s[i - 1] >= 0xD800 && s[i - 1] <= 0xDBFF);
    return false;
}

std::wstring FormatString(const std::wstring& s) {
    if (s.empty()) return L"\"\"";
    std::wstring out, run;
    auto add = [&out](const std::wstring& piece) { out += (out.empty() ? L"" : L" & ") + piece; };
    auto flush = [&]() {
        if (!run.empty()) add(L"\"" + run + L"\"");
        run.clear();
    };
    for (size_t i = 0; i < s.size(); ++i) {
        if (!NeedsPiece(s, i)) {
            run += s[i];
            if (s[i] == L'"') run += L'"';
            continue;
        }
        flush();
        if (s[i] == L'\r' && i + 1 < s.size() && s[i + 1] == L'\n') {
            add(L"vbCrLf");
            ++i;
        } else if (s[i] == L'\r') add(L"vbCr");
        else if (s[i] == L'\n') add(L"vbLf");
        else if (s[i] == L'\t') add(L"vbTab");
        else add(L"ChrW(" + std::to_wstring(static_cast<unsigned>(s[i])) + L")");
    }
    flush();
    return out;
}

} // namespace

Value ReadValue(LineCursor& in, const std::wstring& what) {
    const wchar_t c = in.Peek();
    if (StartsNumber(c)) {
        const wchar_t* begin = in.pos();
        const Number n = ReadNumber(in, what);
        in.ExpectEnd(L"the value of " + what);
        if (n.isDouble) return n.real;
        return ToLong(in, n, begin, INT32_MIN, INT32_MAX, what);
    }
    const wchar_t* const start = in.pos();
    const std::wstring word = in.Word();
    const bool isTrue = IsKeyword(word, L"True");
    if (isTrue || IsKeyword(word, L"False")) {
        in.ExpectEnd(L"the value of " + what);
        return isTrue;
    }
    in.advance(start);
    std::wstring text;
    if (!ReadPiece(in, what, text))
        in.Fail(L"expected a value for " + what + L" (a number, True, False or " + kPieces + L"), found " + in.Found());
    return ReadRestOfString(in, what, std::move(text));
}

LONG ReadWholeNumber(LineCursor& in, LONG low, LONG high, const std::wstring& what) {
    in.Peek(); // past blanks
    const wchar_t* const begin = in.pos();
    const wchar_t* p = begin;
    int64_t v = 0;
    for (; p != in.end() && IsDigit(*p); ++p) v = std::min(v * 10 + (*p - L'0'), kCap);
    if (p == begin || (p != in.end() && !EndsNumber(*p)))
        in.Fail(L"expected " + what + L", a whole number from " + std::to_wstring(low) + L" to " +
                std::to_wstring(high) + L", found " + in.Found());
    in.advance(p);
    Number n;
    n.whole = v;
    return ToLong(in, n, begin, low, high, what);
}

std::wstring FormatValue(const Value& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? L"True" : L"False";
    if (const LONG* l = std::get_if<LONG>(&value)) return std::to_wstring(*l);
    if (const double* d = std::get_if<double>(&value)) return FormatDouble(*d);
    return FormatString(std::get<std::wstring>(value));
}

} // namespace kxhost::formfile
