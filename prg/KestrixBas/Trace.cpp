// The trace file: a start line per session, a line per watched message and a
// stop line, in the ANSI code page with CR LF, appended and readable by others
// while the capture runs.
#include "KestrixBas.h"
#include "Ansi.h"
#include "LateBound.h"
#include "Text.h"
#include "Variant.h"
#include <algorithm>
#include <cwchar>

namespace {

constexpr size_t kPrintZone = 14;

// Separators of the user's locale, read once per session.
std::wstring g_DateSep = L"/";
std::wstring g_TimeSep = L":";

std::wstring LocaleText(LCTYPE what, const wchar_t* fallback) {
    wchar_t buf[8] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buf, 8) > 1 ? std::wstring(buf) : std::wstring(fallback);
}

std::wstring Two(int v) {
    wchar_t b[3] = {static_cast<wchar_t>(L'0' + v / 10 % 10), static_cast<wchar_t>(L'0' + v % 10), 0};
    return b;
}

std::wstring TimeText(const SYSTEMTIME& t) {
    return Two(t.wHour) + g_TimeSep + Two(t.wMinute) + g_TimeSep + Two(t.wSecond);
}

std::wstring StampText() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return Two(t.wYear / 100) + Two(t.wYear % 100) + g_DateSep + Two(t.wMonth) + g_DateSep + Two(t.wDay) + L"-" +
        TimeText(t);
}

bool WriteBytes(const char* bytes, size_t size) {
    DWORD written = 0;
    return WriteFile(g_DebugFileNo.get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool WriteLine(const std::string& ansi) {
    const std::string line = ansi + "\r\n";
    return WriteBytes(line.data(), line.size());
}

// ---- A message line, made in the ANSI code page as it is written ----------
// Everything a line needs that does not change with the message is made once
// (names, the clock's text while the second lasts), and the line is put
// together in one buffer, reused: once the first line is written, a line
// costs its one write and no allocation. The buffer is free again before
// anything can send a message (the write is the last step).
std::string g_Line;

void Append(const std::string& text) { g_Line += text; }
void Append(const char* text) { g_Line += text; }

// Signed decimal; with blank, a blank in front when it is not negative.
void AppendNumber(LONG_PTR v, bool blank = false) {
    char digits[24];
    const int n = kx::DecimalInto(static_cast<LONGLONG>(v), digits);
    if (blank && v >= 0) g_Line += ' ';
    g_Line.append(digits, static_cast<size_t>(n));
}

// Fields start at print zones of 14 columns, with at least one blank
// between them; columns count ANSI bytes, as a text viewer shows them.
void NextZone() { g_Line.append(kPrintZone - g_Line.size() % kPrintZone, ' '); }

// The catalogue's names by value, in the trace's code page: a binary search
// per line instead of two searches of the catalogue's text.
class EventNames {
public:
    EventNames() {
        // Each entry of the values text is a quote, the value's digits, blanks and a quote.
        for (const wchar_t* p = wcschr(Def_AllEventsValue, L'\''); p; p = wcschr(p + 1, L'\'')) {
            byValue_.emplace_back(wcstol(p + 1, nullptr, 10), std::string());
            p = wcschr(p + 1, L'\''); // the entry's closing quote
            if (!p) break;
        }
        std::sort(byValue_.begin(), byValue_.end());
        byValue_.erase(std::unique(byValue_.begin(), byValue_.end()), byValue_.end());
        for (auto& e : byValue_) e.second = kx::ToAnsi(gFn_EventName(e.first));
    }
    // Its name, or "?????" as gFn_EventName gives for a value it has not.
    const char* Of(LONG v) const {
        const auto at = std::lower_bound(byValue_.begin(), byValue_.end(), v,
                                         [](const std::pair<LONG, std::string>& e, LONG k) { return e.first < k; });
        return at != byValue_.end() && at->first == v ? at->second.c_str() : "?????";
    }

private:
    std::vector<std::pair<LONG, std::string>> byValue_;
};

const EventNames& TraceEventNames() {
    static const EventNames names;
    return names;
}

// "[hh:mm:ss]" of the local time, made again only when the system clock has
// moved on to another second (the local time's seconds turn with it).
ULONGLONG g_ClockSecond = 0;
std::string g_ClockText;

const std::string& ClockField() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const ULONGLONG second = ((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000000u;
    if (second != g_ClockSecond || g_ClockText.empty()) {
        SYSTEMTIME t;
        GetLocalTime(&t);
        g_ClockText = kx::ToAnsi(L"[" + TimeText(t) + L"]");
        g_ClockSecond = second;
    }
    return g_ClockText;
}

// The names of the controls this session's lines show, in the trace's code
// page. A control cannot be renamed while its form runs, so its Name is read
// once per session; the entry holds the object, so that no other can take
// its place at the same address.
std::vector<std::pair<kx::ComPtr<IDispatch>, std::string>> g_CtlNames;

// The control's name, or null when it could not be read.
const std::string* ControlName(const kx::ComPtr<IDispatch>& ctl) {
    if (!ctl) return nullptr;
    for (const auto& e : g_CtlNames)
        if (e.first == ctl) return &e.second;
    kx::Variant name;
    std::wstring text;
    if (FAILED(kx::GetProperty(ctl.Get(), L"Name", name.get())) || !name.toString(text)) return nullptr;
    g_CtlNames.emplace_back(ctl, kx::ToAnsi(text));
    return &g_CtlNames.back().second;
}

// What a new session starts from: its separators read, nothing made yet.
void ResetLineState() {
    g_DateSep = LocaleText(LOCALE_SDATE, L"/");
    g_TimeSep = LocaleText(LOCALE_STIME, L":");
    g_ClockText.clear();
    g_CtlNames.clear();
}

// The rest of a message line after its first field ("[time]" and the
// source), written with CR LF as one write.
bool WriteMessageFields(LONG msg, LONG_PTR wp, LONG_PTR lp) {
    NextZone();
    Append("Event:");
    Append(TraceEventNames().Of(msg));
    Append("(");
    AppendNumber(msg, true);
    Append(")");
    NextZone();
    Append("P1:");
    AppendNumber(wp);
    NextZone();
    Append("P2:");
    AppendNumber(lp);
    Append("\r\n");
    return WriteBytes(g_Line.data(), g_Line.size());
}

} // namespace

bool gFn_DebugOpen() noexcept {
    try {
        if (g_DebugOpen) gFn_DebugClose();
        ResetLineState();
        // Appended by writing at its end: nobody else can write to it while it
        // is open (others may only read), and a handle opened for appending
        // only costs the system far more on every write.
        kx::UniqueFile f(CreateFileW(g_DebugFile.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return false;
        LARGE_INTEGER none{};
        if (!SetFilePointerEx(f.get(), none, nullptr, FILE_END)) return false;
        g_DebugFileNo = std::move(f);
        if (!WriteLine(kx::ToAnsi(L"イベント取得を開始しました。(" + StampText() + L")"))) {
            g_DebugFileNo.reset();
            return false;
        }
        g_DebugOpen = true;
        return true;
    } catch (...) {
        g_DebugFileNo.reset();
        g_DebugOpen = false;
        return false;
    }
}

bool gFn_DebugClose() noexcept {
    if (!g_DebugOpen) return false;
    bool ok = false;
    try {
        ok = WriteLine(kx::ToAnsi(L"イベント取得を停止しました。(" + StampText() + L")")) && WriteLine(std::string());
    } catch (...) {
        ok = false;
    }
    g_DebugFileNo.reset();
    g_DebugOpen = false;
    g_CtlNames.clear(); // the session's controls are let go with it
    return ok;
}

bool gFn_DebugControlLine(HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    try {
        const std::string* name = ControlName(gFn_TargetCtl(h));
        if (!name) return false;
        g_Line.clear();
        Append(ClockField());
        Append("Control:");
        Append(*name);
        return WriteMessageFields(msg, wp, lp);
    } catch (...) {
        return false; // a line not written takes the capture's error path
    }
}

bool gFn_DebugHandleLine(HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    try {
        g_Line.clear();
        Append(ClockField());
        Append("Handle:");
        AppendNumber(reinterpret_cast<LONG_PTR>(h), true);
        return WriteMessageFields(msg, wp, lp);
    } catch (...) {
        return false; // a line not written takes the capture's error path
    }
}
