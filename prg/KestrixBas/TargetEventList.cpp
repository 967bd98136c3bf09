#include "TargetEventList.h"
#include <algorithm>

namespace {

// The number whose canonical decimal text is exactly [b, e): digits with
// an optional leading '-', no leading zeros, no "-0", within 32 bits.
bool ParseCanonical(const wchar_t* b, const wchar_t* e, LONG& out) {
    bool neg = false;
    if (b < e && *b == L'-') {
        neg = true;
        ++b;
    }
    if (b == e || e - b > 10) return false;
    if (*b == L'0' && (e - b > 1 || neg)) return false;
    unsigned long long v = 0;
    for (const wchar_t* p = b; p < e; ++p) {
        if (*p < L'0' || *p > L'9') return false;
        v = v * 10 + static_cast<unsigned>(*p - L'0');
    }
    if (neg ? v > 2147483648ull : v > 2147483647ull) return false;
    out = neg ? static_cast<LONG>(0 - v) : static_cast<LONG>(v);
    return true;
}

} // namespace

TargetEventList& TargetEventList::operator=(const std::wstring& text) {
    text_ = text;
    all_ = (text_ == L"ALL");
    direct_.reset();
    others_.clear();
    // A decimal text holds no quote, so "'" + D + "'" can only occur between
    // two neighbouring quotes: every such gap is a candidate.
    const wchar_t* s = text_.c_str();
    const wchar_t* end = s + text_.size();
    const wchar_t* open = std::find(s, end, L'\'');
    while (open != end) {
        const wchar_t* close = std::find(open + 1, end, L'\'');
        if (close == end) break;
        LONG v;
        if (ParseCanonical(open + 1, close, v)) {
            if (static_cast<unsigned long>(v) < kDirect) direct_[static_cast<size_t>(v)] = true;
            else others_.push_back(v);
        }
        open = close;
    }
    std::sort(others_.begin(), others_.end());
    return *this;
}

bool TargetEventList::watchesOther(LONG m) const { return std::binary_search(others_.begin(), others_.end(), m); }
