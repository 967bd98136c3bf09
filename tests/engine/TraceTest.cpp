// The trace file of a capture session, byte for byte: Shift-JIS text, CR LF,
// fields at print zones of 14 columns counted in bytes, appended per session.
#include "EngineFixture.h"
#include <climits>
#include <cwchar>
#include <string>
#include <vector>

using namespace kxtest;

namespace {

constexpr UINT kShiftJis = 932;

std::string Sjis(const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(kShiftJis, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kShiftJis, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Fields joined at print zones: each field after the first starts at the next
// multiple of 14 bytes, with at least one blank before it.
std::string Zoned(const std::vector<std::string>& fields) {
    std::string line = fields.at(0);
    for (size_t i = 1; i < fields.size(); ++i) {
        do line += ' ';
        while (line.size() % 14 != 0);
        line += fields[i];
    }
    return line;
}

// Patterns write every digit of a time as '#' (never a Shift-JIS byte).
const std::string kClock = "[##:##:##]";
// The line of a left-button press with wParam 1 on the control Text1.
const std::string kText1Down = kClock + "Control:Text1     Event:WM_LBUTTONDOWN( 513)  P1:1          P2:0";
std::string StartLine() { return Sjis(L"イベント取得を開始しました。(####/##/##-##:##:##)"); }
std::string StopLine() { return Sjis(L"イベント取得を停止しました。(####/##/##-##:##:##)"); }
// The first field of a raw window's line.
std::string HandleField(const TestWindow& raw) { return kClock + "Handle: " + std::to_string(raw.handle()); }
// A raw window's line for message 1025, which the catalogue does not name.
std::string Line1025(const TestWindow& raw, const std::string& p1, const std::string& p2) {
    return Zoned({HandleField(raw), "Event:?????" "( 1025)", "P1:" + p1, "P2:" + p2});
}
std::string File(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

::testing::AssertionResult HasShape(const std::string& actual, const std::string& pattern) {
    bool ok = actual.size() == pattern.size();
    for (size_t i = 0; ok && i < actual.size(); ++i)
        ok = pattern[i] == '#' ? (actual[i] >= '0' && actual[i] <= '9') : actual[i] == pattern[i];
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\n  file:     " << ::testing::PrintToString(actual)
                                         << "\n  expected: " << ::testing::PrintToString(pattern);
}

// Every time in the file ("hh:mm:ss", and the date before it in a stamp)
// lies between two readings of the clock.
void ExpectTimesWithin(const std::string& file, const SYSTEMTIME& from, const SYSTEMTIME& to) {
    const auto seconds = [](int h, int m, int s) { return h * 3600L + m * 60 + s; };
    const long lo = seconds(from.wHour, from.wMinute, from.wSecond), hi = seconds(to.wHour, to.wMinute, to.wSecond);
    const auto num = [&](size_t pos, size_t len) { return std::stoi(file.substr(pos, len)); };
    const auto digit = [&](size_t pos) { return pos < file.size() && file[pos] >= '0' && file[pos] <= '9'; };
    size_t found = 0;
    for (size_t i = 2; i + 5 < file.size(); ++i) {
        if (file[i] != ':' || file[i + 3] != ':' || !digit(i - 2) || !digit(i - 1) || !digit(i + 4)) continue;
        const long t = seconds(num(i - 2, 2), num(i + 1, 2), num(i + 4, 2));
        EXPECT_TRUE(lo <= hi ? (lo <= t && t <= hi) : (t >= lo || t <= hi)) << file.substr(i - 2, 8);
        if (file[i - 3] == '-') {
            const int y = num(i - 13, 4), m = num(i - 8, 2), d = num(i - 5, 2);
            EXPECT_TRUE((y == from.wYear && m == from.wMonth && d == from.wDay) ||
                        (y == to.wYear && m == to.wMonth && d == to.wDay))
                << file.substr(i - 13, 19);
        }
        ++found;
    }
    EXPECT_GT(found, 0u);
}

SYSTEMTIME Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t;
}

HWND DeadWindow() {
    TestWindow w("dead");
    return w.hwnd();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class TraceTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        static int serial = 0;
        dir_ =
            std::wstring(tmp) + L"kxtrace-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
        file_ = dir_ + L"\\trace.log";
    }
    void TearDown() override {
        EngineTest::TearDown();
        DeleteFileW(file_.c_str());
        EXPECT_TRUE(RemoveDirectoryW(dir_.c_str())) << "nothing but the trace file is written";
    }

    std::string Read() const {
        HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<no file>";
        std::string out(GetFileSize(h, nullptr), '\0');
        DWORD got = 0;
        if (!out.empty()) ReadFile(h, &out[0], static_cast<DWORD>(out.size()), &got, nullptr);
        CloseHandle(h);
        out.resize(got);
        return out;
    }

    void Trace(const std::wstring& path) {
        gFn_Engine().g_DebugMode = true;
        gFn_Engine().g_DebugFile = path;
    }

    std::wstring dir_, file_;
};

} // namespace

TEST_F(TraceTest, ControlSessionWritesStartLineOneLinePerWatchedMessageAndStopLine) {
    TestWindow a;
    Trace(file_);
    const SYSTEMTIME from = Now();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513','514'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 0);
    SendMessageA(a.hwnd(), WM_MOUSEMOVE, 1, 0); // not watched
    SendMessageA(a.hwnd(), WM_USER + 1, 1, 0); // not watched
    SendMessageA(a.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    gFn_SubClassOff();
    const SYSTEMTIME to = Now();

    const std::string file = Read();
    EXPECT_TRUE(HasShape(
        file,
        File({StartLine(), "[##:##:##]Control:Text1     Event:WM_LBUTTONDOWN( 513)  P1:1          P2:0",
              "[##:##:##]Control:Text1     Event:WM_LBUTTONUP( 514)    P1:0          P2:262147", StopLine(), ""})));
    EXPECT_EQ(file.substr(file.size() - 4), "\r\n\r\n");
    ExpectTimesWithin(file, from, to);
    EXPECT_FALSE(gFn_Engine().g_DebugOpen);
}

TEST_F(TraceTest, HandleLinesNameUnknownMessagesAndWriteNegativeValues) {
    TestWindow raw;
    gFn_Engine().g_TargetHandle = raw.handle();
    Trace(file_);
    ASSERT_TRUE(Capture({}, L"'1025','512'"));
    SendMessageA(raw.hwnd(), WM_USER + 1, static_cast<WPARAM>(-5), static_cast<LPARAM>(-70000));
    SendMessageA(raw.hwnd(), WM_USER + 2, 0, 0); // not watched
    SendMessageA(raw.hwnd(), WM_MOUSEMOVE, 0, 12);
    gFn_SubClassOff();

    EXPECT_TRUE(HasShape(Read(),
                         File({StartLine(), Line1025(raw, "-5", "-70000"),
                               Zoned({HandleField(raw), "Event:WM_MOUSEFIRST( 512)", "P1:0", "P2:12"}), StopLine(),
                               ""})));
}

TEST_F(TraceTest, LineWritersShowSignsAndTheControlForAnUnknownWindow) {
    gFn_Engine().g_DebugFile = file_;
    EXPECT_FALSE(gFn_DebugClose()); // nothing open yet
    ASSERT_TRUE(gFn_DebugOpen());
    EXPECT_TRUE(gFn_Engine().g_DebugOpen);
    EXPECT_TRUE(gFn_DebugHandleLine(gFn_Engine(), reinterpret_cast<HWND>(-2), -1, INT_MIN, INT_MAX));
    EXPECT_TRUE(gFn_DebugControlLine(gFn_Engine(), gFn_TargetCtl(reinterpret_cast<HWND>(0x1234)).Get(), 0, 0, -1)); // no target: the control itself
    EXPECT_TRUE(gFn_DebugClose());
    EXPECT_FALSE(gFn_Engine().g_DebugOpen);
    EXPECT_FALSE(gFn_DebugClose());

    // A 14-byte field ends on a zone boundary: the next field starts a whole zone later.
    EXPECT_TRUE(HasShape(
        Read(),
        File({StartLine(),
              "[##:##:##]Handle:-2         Event:?????"
              "(-1)             P1:-2147483648"
              "              P2:2147483647",
              "[##:##:##]Control:Kestrix1  Event:WM_NULL( 0)           P1:0          P2:-1", StopLine(), ""})));
}

// The names in the lines are made once for the whole catalogue: every value
// it holds is named as the catalogue names it, and one it lacks is "?????".
TEST_F(TraceTest, EveryCatalogueValueIsNamedInItsLineAsTheCatalogueNamesIt) {
    std::vector<LONG> values;
    for (const wchar_t* p = wcschr(Def_AllEventsValue, L'\''); p; p = wcschr(p + 1, L'\'')) {
        values.push_back(wcstol(p + 1, nullptr, 10));
        if (!(p = wcschr(p + 1, L'\''))) break;
    }
    values.push_back(1025); // not in the catalogue
    gFn_Engine().g_DebugFile = file_;
    ASSERT_TRUE(gFn_DebugOpen());
    for (LONG v : values) ASSERT_TRUE(gFn_DebugHandleLine(gFn_Engine(), reinterpret_cast<HWND>(1), v, 0, 0));
    gFn_DebugClose();

    const std::string file = Read();
    size_t at = 0;
    for (LONG v : values) {
        at = file.find("Event:", at);
        ASSERT_NE(at, std::string::npos);
        const size_t open = file.find('(', at);
        EXPECT_EQ(file.substr(at + 6, open - at - 6), Sjis(gFn_EventName(v))) << v;
        EXPECT_EQ(file.compare(open, 3 + std::to_string(v).size(), "( " + std::to_string(v) + ")"), 0) << v;
        at = open;
    }
    EXPECT_GT(values.size(), 100u); // the whole catalogue was read
}

#ifdef _WIN64
// A 64-bit program's handles and parameters are written whole, in decimal.
TEST_F(TraceTest, LinesWriteValuesBeyond32BitsWhole) {
    TestWindow raw;
    gFn_Engine().g_TargetHandle = raw.handle();
    Trace(file_);
    ASSERT_TRUE(Capture({}, L"'1025'"));
    SendMessageA(raw.hwnd(), WM_USER + 1, static_cast<WPARAM>(0x123456789AB), static_cast<LPARAM>(-0x500000001));
    gFn_SubClassOff();
    gFn_Engine().g_DebugFile = file_;
    ASSERT_TRUE(gFn_DebugOpen());
    EXPECT_TRUE(gFn_DebugHandleLine(gFn_Engine(), reinterpret_cast<HWND>(-0x100000000), 0, LLONG_MIN, LLONG_MAX));
    EXPECT_TRUE(gFn_DebugClose());

    EXPECT_TRUE(HasShape(Read(),
                         File({StartLine(), Line1025(raw, "1250999896491", "-21474836481"),
                               StopLine(), "", StartLine(),
                               Zoned({kClock + "Handle:-4294967296", "Event:WM_NULL( 0)", "P1:-9223372036854775808",
                                      "P2:9223372036854775807"}),
                               StopLine(), ""})));
}
#endif

TEST_F(TraceTest, LineShowsTheValuesAsReceivedWhenTheHandlerChangesThem) {
    TestWindow a;
    control_.onEvent = [](LONG_PTR&, LONG& msg, LONG_PTR& wp, LONG_PTR& lp) {
        msg = WM_LBUTTONUP;
        wp = 99;
        lp = -1;
        return false;
    };
    Trace(file_);
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513','514'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 2);
    gFn_SubClassOff();
    EXPECT_EQ(Recorder::Only({WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<Seen>{{a.hwnd(), WM_LBUTTONUP, 99, static_cast<LPARAM>(-1)}}));
    EXPECT_TRUE(HasShape(Read(),
                         File({StartLine(), kClock + "Control:Text1     Event:WM_LBUTTONDOWN( 513)  P1:1          P2:2",
                               StopLine(), ""})));
}

TEST_F(TraceTest, SessionsAppendToWhatTheFileHolds) {
    {
        HANDLE h = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD n = 0;
        WriteFile(h, "OLD\r\n", 5, &n, nullptr);
        CloseHandle(h);
    }
    TestWindow a;
    Trace(file_);
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 0);
    gFn_SubClassOff();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 2, 0);
    gFn_SubClassOff();

    const std::string line = kClock + "Control:Text1     Event:WM_LBUTTONDOWN( 513)  P1:";
    EXPECT_TRUE(HasShape(Read(),
                         File({"OLD", StartLine(), line + "1          P2:0", StopLine(), "", StartLine(),
                               line + "2          P2:0", StopLine(), ""})));
}

TEST_F(TraceTest, DebugModeOffDuringTheSessionStopsLinesButNotTheStopLine) {
    TestWindow a;
    Trace(file_);
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 0);
    gFn_Engine().g_DebugMode = false;
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 2, 0);
    gFn_SubClassOff();
    EXPECT_EQ(control_.events.size(), 2u);
    EXPECT_TRUE(HasShape(Read(), File({StartLine(), kText1Down, StopLine(), ""})));
}

TEST_F(TraceTest, WithoutDebugModeOrAUsablePathNoFileIsWrittenButTheCaptureRuns) {
    TestWindow a;
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str())); // where an empty path might land
    const std::wstring missing = dir_ + L"\\missing";
    const std::pair<bool, std::wstring> cases[] = {
        {false, file_}, {true, L""}, {true, dir_}, {true, missing + L"\\trace.log"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.second));
        control_.events.clear();
        gFn_Engine().g_DebugMode = c.first;
        gFn_Engine().g_DebugFile = c.second;
        EXPECT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513'"));
        EXPECT_FALSE(gFn_Engine().g_DebugOpen);
        EXPECT_TRUE(gFn_Engine().g_EventsStarted);
        EXPECT_EQ(SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 0), 0);
        EXPECT_EQ(control_.events.size(), 1u);
        gFn_SubClassOff();
        EXPECT_EQ(a.proc(), Recorder::Proc);
    }
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(Exists(file_));
    EXPECT_FALSE(Exists(missing));
    EXPECT_TRUE(control_.reports.empty());
}

TEST_F(TraceTest, AnotherReaderSeesEachLineWhileTheSessionRuns) {
    TestWindow a;
    Trace(file_);
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'513'"));
    HANDLE r = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(r, INVALID_HANDLE_VALUE) << GetLastError();
    const auto readMore = [r] {
        char buf[512];
        DWORD got = 0;
        ReadFile(r, buf, sizeof buf, &got, nullptr);
        return std::string(buf, got);
    };
    EXPECT_TRUE(HasShape(readMore(), StartLine() + "\r\n"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 0);
    EXPECT_TRUE(HasShape(readMore(), kText1Down + "\r\n"));
    gFn_SubClassOff();
    EXPECT_TRUE(HasShape(readMore(), StopLine() + "\r\n\r\n"));
    CloseHandle(r);
}

TEST_F(TraceTest, FailedInstallStillWritesTheStopLine) {
    control_.runTime = false;
    TestWindow a;
    Trace(file_);
    EXPECT_FALSE(Capture({{L"Text1", a.hwnd()}, {L"Text2", DeadWindow()}}, L"ALL"));
    ASSERT_EQ(control_.reports.size(), 1u);
    EXPECT_EQ(control_.reports[0].number, 10004);
    EXPECT_FALSE(gFn_Engine().g_DebugOpen);
    EXPECT_TRUE(HasShape(Read(), File({StartLine(), StopLine(), ""})));
}

TEST_F(TraceTest, JapaneseNamesAreShiftJisAndZonesCountBytes) {
    TestWindow a, b;
    Trace(file_);
    ASSERT_TRUE(Capture({{L"テキスト1234", a.hwnd()}, {L"ABCDEFGHIJ", b.hwnd()}}, L"'513'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, 1, 0);
    SendMessageA(b.hwnd(), WM_LBUTTONDOWN, 1, 0);
    gFn_SubClassOff();

    // 8 characters but 12 bytes: the first field is 30 bytes, the next starts at 42.
    const std::string tail = "Event:WM_LBUTTONDOWN( 513)  P1:1          P2:0";
    const std::string file = Read();
    EXPECT_TRUE(HasShape(file,
                         File({StartLine(),
                               kClock +
                                   "Control:\x83\x65\x83\x4c\x83\x58\x83\x67"
                                   "1234" +
                                   std::string(12, ' ') + tail,
                               kClock + "Control:ABCDEFGHIJ" + std::string(14, ' ') + tail, StopLine(), ""})));
    EXPECT_EQ(file.compare(0, 2, "\x83\x43"), 0) << "the start line begins with katakana I in Shift-JIS";
}
