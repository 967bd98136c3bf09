// The trace file: a start line per session, a line per watched message and a
// stop line, in the ANSI code page with CR LF, appended and readable by others
// while the capture runs.
#include "KestrixBas.h"
#include "Ansi.h"
#include "LateBound.h"
#include "Text.h"
#include "Variant.h"

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

// A number with a blank in front when it is not negative.
std::wstring SignedField(LONG_PTR v) { return (v < 0 ? L"" : L" ") + kx::Decimal(v); }

bool WriteLine(const std::string& ansi) {
    const std::string line = ansi + "\r\n";
    DWORD written = 0;
    return WriteFile(g_DebugFileNo.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
        written == line.size();
}

// Fields start at print zones of 14 columns, with at least one blank
// between them; columns count ANSI bytes, as a text viewer shows them.
bool WriteMessageLine(const std::wstring& first, LONG msg, LONG_PTR wp, LONG_PTR lp) {
    const std::wstring fields[4] = {
        first,
        L"Event:" + gFn_EventName(msg) + L"(" + SignedField(msg) + L")",
        L"P1:" + kx::Decimal(wp),
        L"P2:" + kx::Decimal(lp),
    };
    std::string line;
    for (int i = 0; i < 4; ++i) {
        if (i) line.append(kPrintZone - line.size() % kPrintZone, ' ');
        line += kx::ToAnsi(fields[i]);
    }
    return WriteLine(line);
}

std::wstring MessagePrefix() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return L"[" + TimeText(t) + L"]";
}

} // namespace

bool gFn_DebugOpen() noexcept {
    try {
        if (g_DebugOpen) gFn_DebugClose();
        g_DateSep = LocaleText(LOCALE_SDATE, L"/");
        g_TimeSep = LocaleText(LOCALE_STIME, L":");
        kx::UniqueFile f(CreateFileW(g_DebugFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return false;
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
    return ok;
}

bool gFn_DebugControlLine(HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    try {
        const kx::ComPtr<IDispatch> ctl = gFn_TargetCtl(h);
        kx::Variant name;
        std::wstring text;
        if (FAILED(kx::GetProperty(ctl.Get(), L"Name", name.get())) || !name.toString(text)) return false;
        return WriteMessageLine(MessagePrefix() + L"Control:" + text, msg, wp, lp);
    } catch (...) {
        return false; // a line not written takes the capture's error path
    }
}

bool gFn_DebugHandleLine(HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    try {
        return WriteMessageLine(MessagePrefix() + L"Handle:" + SignedField(reinterpret_cast<LONG_PTR>(h)), msg, wp, lp);
    } catch (...) {
        return false; // a line not written takes the capture's error path
    }
}
