#include "FormFileCursor.h"
#include "FormFile.h"
#include "FormFileNames.h"

namespace kxhost::formfile {

namespace {
constexpr size_t kShownMax = 24; // a message quotes at most this much of the line
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
} // namespace

std::wstring Shown(const wchar_t* begin, const wchar_t* end) {
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring out = L"\"";
    const bool clipped = static_cast<size_t>(end - begin) > kShownMax;
    if (clipped) end = begin + kShownMax;
    for (const wchar_t* p = begin; p != end; ++p) {
        if (*p < 0x20 || *p == 0x7F) {
            out += L"U+00";
            out += hex[(*p >> 4) & 15];
            out += hex[*p & 15];
        } else {
            out += *p;
        }
    }
    return out + (clipped ? L"...\"" : L"\"");
}

void LineCursor::SkipBlanks() {
    while (p_ != end_ && IsBlank(*p_)) ++p_;
}

bool LineCursor::AtEnd() {
    SkipBlanks();
    return p_ == end_ || *p_ == L'\'';
}

wchar_t LineCursor::Peek() { return AtEnd() ? L'\0' : *p_; }

bool LineCursor::Take(wchar_t c) {
    if (Peek() != c || c == L'\0') return false;
    ++p_;
    return true;
}

std::wstring LineCursor::Word() {
    if (AtEnd() || !IsIdentStart(*p_)) return {};
    const wchar_t* start = p_;
    while (p_ != end_ && IsIdentChar(*p_)) ++p_;
    return std::wstring(start, p_);
}

std::wstring LineCursor::Identifier(const std::wstring& what) {
    std::wstring word = Word();
    if (word.empty()) Fail(L"expected " + what + L", found " + Found());
    return word;
}

std::wstring LineCursor::Quoted(const std::wstring& what) {
    SkipBlanks();
    std::wstring out;
    const wchar_t* q = p_ + 1; // past the opening quote
    for (;;) {
        if (q == end_) Fail(L"unterminated string for " + what + L": expected a closing \" before the end of the line");
        if (*q == L'"') {
            if (q + 1 != end_ && q[1] == L'"') {
                out += L'"';
                q += 2;
                continue;
            }
            p_ = q + 1;
            return out;
        }
        out += *q++;
    }
}

void LineCursor::ExpectEnd(const std::wstring& after) {
    if (!AtEnd()) Fail(L"expected the end of the line after " + after + L", found " + Found());
}

std::wstring LineCursor::Found() {
    if (AtEnd()) return L"the end of the line";
    const wchar_t* stop = p_;
    while (stop != end_ && !IsBlank(*stop)) ++stop;
    return Shown(p_, stop);
}

void LineCursor::Fail(const std::wstring& message) const { throw FormFileError(source_, line_, message); }

} // namespace kxhost::formfile
