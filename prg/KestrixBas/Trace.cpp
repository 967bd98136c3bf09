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

std::wstring LocaleText(LCTYPE what, const wchar_t* fallback) {
    wchar_t buf[8] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buf, 8) > 1 ? std::wstring(buf) : std::wstring(fallback);
}

std::wstring Two(int v) {
    wchar_t b[3] = {static_cast<wchar_t>(L'0' + v / 10 % 10), static_cast<wchar_t>(L'0' + v % 10), 0};
    return b;
}

std::wstring TimeText(const EngineSession& s, const SYSTEMTIME& t) {
    return Two(t.wHour) + s.timeSep + Two(t.wMinute) + s.timeSep + Two(t.wSecond);
}

std::wstring StampText(const EngineSession& s) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return Two(t.wYear / 100) + Two(t.wYear % 100) + s.dateSep + Two(t.wMonth) + s.dateSep + Two(t.wDay) + L"-" +
        TimeText(s, t);
}

bool WriteLine(EngineSession& s, const std::string& ansi) {
    const std::string line = ansi + "\r\n";
    return s.g_DebugFileNo.Write(line.data(), line.size());
}

// ---- A message line, made in the ANSI code page as it is written ----------
// Everything a line needs that does not change with the message is made once
// (names, the clock's text while the second lasts), and the line is put
// together in one buffer, reused: once the first line is written, a line
// costs its one write and no allocation. The buffer is free again before
// anything can send a message (the write is the last step).

// Signed decimal; with blank, a blank in front when it is not negative.
void AppendNumber(std::string& line, LONG_PTR v, bool blank = false) {
    char digits[24];
    const int n = kx::DecimalInto(static_cast<LONGLONG>(v), digits);
    if (blank && v >= 0) line += ' ';
    line.append(digits, static_cast<size_t>(n));
}

// Fields start at print zones of 14 columns, with at least one blank
// between them; columns count ANSI bytes, as a text viewer shows them.
void NextZone(std::string& line) { line.append(kPrintZone - line.size() % kPrintZone, ' '); }

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

const std::string& ClockField(EngineSession& s) {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const ULONGLONG second = ((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000000u;
    if (second != s.clockSecond || s.clockText.empty()) {
        SYSTEMTIME t;
        GetLocalTime(&t);
        s.clockText = kx::ToAnsi(L"[" + TimeText(s, t) + L"]");
        s.clockSecond = second;
    }
    return s.clockText;
}

// The names of the controls this session's lines show, in the trace's code
// page. A control cannot be renamed while its form runs, so its Name is read
// once per session.

// The control's name, or null when it could not be read.
const std::string* ControlName(EngineSession& s, IDispatch* ctl) {
    if (!ctl) return nullptr;
    for (const auto& e : s.ctlNames)
        if (e.first.Get() == ctl) return &e.second;
    kx::Variant name;
    std::wstring text;
    if (FAILED(kx::GetProperty(ctl, L"Name", name.get())) || !name.toString(text)) return nullptr;
    s.ctlNames.emplace_back(kx::ComPtr<IDispatch>(ctl), kx::ToAnsi(text));
    return &s.ctlNames.back().second;
}

// What a new session starts from: its separators read, nothing made yet.
void ResetLineState(EngineSession& s) {
    s.dateSep = LocaleText(LOCALE_SDATE, L"/");
    s.timeSep = LocaleText(LOCALE_STIME, L":");
    s.clockText.clear();
    s.ctlNames.clear();
}

// The rest of a message line after its first field ("[time]" and the
// source), written with CR LF as one write.
bool WriteMessageFields(EngineSession& s, LONG msg, LONG_PTR wp, LONG_PTR lp) {
    std::string& line = s.line;
    NextZone(line);
    line += "Event:";
    line += TraceEventNames().Of(msg);
    line += "(";
    AppendNumber(line, msg, true);
    line += ")";
    NextZone(line);
    line += "P1:";
    AppendNumber(line, wp);
    NextZone(line);
    line += "P2:";
    AppendNumber(line, lp);
    line += "\r\n";
    return s.g_DebugFileNo.Write(line.data(), line.size());
}

} // namespace

bool gFn_DebugOpen() noexcept {
    // Opened by the install, whose caller holds the thread's state.
    EngineState* const state = gFn_EngineIfAny();
    if (!state) return false;
    EngineState& s = *state;
    try {
        if (s.g_DebugOpen) gFn_DebugClose();
        ResetLineState(s);
        if (!s.g_DebugFileNo.Open(s.g_DebugFile)) return false;
        if (!WriteLine(s, kx::ToAnsi(L"イベント取得を開始しました。(" + StampText(s) + L")"))) {
            s.g_DebugFileNo.Close();
            return false;
        }
        s.g_DebugOpen = true;
        return true;
    } catch (...) {
        s.g_DebugFileNo.Close();
        s.g_DebugOpen = false;
        return false;
    }
}

bool gFn_DebugClose() noexcept {
    EngineState* const e = gFn_EngineIfAny();
    if (!e || !e->g_DebugOpen) return false;
    EngineSession& s = *e;
    bool ok = false;
    try {
        ok = WriteLine(s, kx::ToAnsi(L"イベント取得を停止しました。(" + StampText(s) + L")")) &&
            WriteLine(s, std::string());
    } catch (...) {
        ok = false;
    }
    s.g_DebugFileNo.Close();
    s.g_DebugOpen = false;
    s.ctlNames.clear(); // the session's controls are let go with it
    return ok;
}

bool gFn_DebugControlLine(EngineSession& s, IDispatch* ctl, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    try {
        const std::string* name = ControlName(s, ctl);
        if (!name) return false;
        s.line.clear();
        s.line += ClockField(s);
        s.line += "Control:";
        s.line += *name;
        return WriteMessageFields(s, msg, wp, lp);
    } catch (...) {
        return false; // a line not written takes the capture's error path
    }
}

bool gFn_DebugHandleLine(EngineSession& s, HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    try {
        s.line.clear();
        s.line += ClockField(s);
        s.line += "Handle:";
        AppendNumber(s.line, reinterpret_cast<LONG_PTR>(h), true);
        return WriteMessageFields(s, msg, wp, lp);
    } catch (...) {
        return false; // a line not written takes the capture's error path
    }
}
