// The watched-message list, kept as the text the developer set and as a
// compiled set, so that matching a message costs no text work at all.
#pragma once
#include <windows.h>
#include <bitset>
#include <string>
#include <vector>

class TargetEventList {
public:
    TargetEventList() = default;
    explicit TargetEventList(const wchar_t* text) { *this = text; }
    TargetEventList& operator=(const std::wstring& text);
    TargetEventList& operator=(const wchar_t* text) { return *this = std::wstring(text ? text : L""); }

    const std::wstring& text() const { return text_; }
    operator const std::wstring&() const { return text_; }

    // True when the text is exactly "ALL" or holds "'" + decimal(m) + "'" anywhere.
    bool watches(LONG m) const {
        if (all_) return true;
        if (static_cast<unsigned long>(m) < kDirect) return direct_[static_cast<size_t>(m)];
        return watchesOther(m);
    }

private:
    static constexpr size_t kDirect = 0x10000; // every message number below WM_APP and far beyond
    bool watchesOther(LONG m) const;

    std::wstring text_;
    bool all_ = false;
    std::bitset<kDirect> direct_;
    std::vector<LONG> others_; // sorted, for negative and large numbers
};
