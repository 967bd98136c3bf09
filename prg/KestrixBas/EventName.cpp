// Message number to WM_ name, read off the parallel catalogue texts.
#include "KestrixBas.h"
#include "Text.h"
#include <cwchar>

namespace {
const wchar_t kUnknown[] = L"?????";

// The first "'" + D + end in the values text, or null.
const wchar_t* FindEntry(const wchar_t* digits, int n, wchar_t end) {
    wchar_t pattern[16];
    pattern[0] = L'\'';
    wmemcpy(pattern + 1, digits, n);
    pattern[n + 1] = end;
    pattern[n + 2] = 0;
    return wcsstr(Def_AllEventsValue, pattern);
}
} // namespace

std::wstring gFn_EventName(LONG v) {
    try {
        wchar_t digits[12];
        const int n = kx::DecimalInto(v, digits);
        // The blank keeps a short value from matching the front of a longer one.
        const wchar_t* hit = FindEntry(digits, n, L' ');
        if (!hit) hit = FindEntry(digits, n, L'\'');
        if (!hit) return kUnknown;
        const size_t p = static_cast<size_t>(hit - Def_AllEventsValue);
        const wchar_t* close = wcschr(Def_AllEventsName + p + 1, L'\'');
        if (!close) return kUnknown;
        const size_t q = static_cast<size_t>(close - Def_AllEventsName);
        return kx::TrimBlanks(std::wstring(Def_AllEventsName + p + 1, q - p - 1));
    } catch (...) {
        return kUnknown; // the module procedure's neutral value
    }
}
