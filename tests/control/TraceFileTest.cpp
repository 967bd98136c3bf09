// The trace file of a capture with DebugMode on: Kestrix1.Dbg beside the
// program, Shift-JIS text with CR LF, a start line, one line per watched
// message (control lines name the control, handle lines the window), a
// stop line and a blank line; sessions append.
#include "Ansi.h"
#include "KestrixFixture.h"

#include <fstream>
#include <regex>
#include <sstream>

using namespace kxtest;

namespace {

const wchar_t kFile[] = L"Kestrix1.Dbg";

std::string ReadBytes(const wchar_t* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::wstring> Lines(const std::string& bytes) {
    std::vector<std::wstring> lines;
    size_t at = 0;
    for (size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(kx::FromAnsi(bytes.substr(at, end - at)));
    if (at != bytes.size()) lines.push_back(L"(unterminated) " + kx::FromAnsi(bytes.substr(at)));
    return lines;
}

// The fields of a message line, in order, each where the one before ended.
void ExpectFields(const std::wstring& line, const std::vector<std::wstring>& fields) {
    size_t at = 0;
    for (const std::wstring& f : fields) {
        const size_t found = line.find(f, at);
        ASSERT_NE(found, std::wstring::npos) << "'" << kx::ToAnsi(f) << "' missing in: " << kx::ToAnsi(line);
        // Only blanks may stand between two fields.
        EXPECT_EQ(line.find_first_not_of(L' ', at), found) << kx::ToAnsi(line);
        at = found + f.size();
    }
    EXPECT_EQ(at, line.size());
}

class TraceFileTest : public KestrixTest {
protected:
    void SetUp() override {
        KestrixTest::SetUp();
        DeleteFileW(kFile);
    }
    void TearDown() override {
        KestrixTest::TearDown();
        DeleteFileW(kFile);
    }
};

const std::wregex kStart(L"イベント取得を開始しました。\\(\\d{4}/\\d{2}/\\d{2}-\\d{2}:\\d{2}:\\d{2}\\)");
const std::wregex kStop(L"イベント取得を停止しました。\\(\\d{4}/\\d{2}/\\d{2}-\\d{2}:\\d{2}:\\d{2}\\)");
const std::wregex kClock(L"\\[\\d{2}:\\d{2}:\\d{2}\\]");

} // namespace

TEST_F(TraceFileTest, ACaptureWithDebugModeWritesItsSessionToKestrix1Dbg) {
    Load(L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag targetevents = \"'513','1032'\"\n");
    const HWND text1 = Hwnd(L"Text1");
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(text1)));
    K().Call(L"EventsStart");
    SendMessageA(Hwnd(L"Command1"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    SendMessageA(Hwnd(L"Command1"), WM_LBUTTONUP, 0, 0); // not watched
    SendMessageA(text1, WM_USER + 8, static_cast<WPARAM>(-3), -4);
    K().Call(L"EventsStop");

    const auto lines = Lines(ReadBytes(kFile));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(std::regex_match(lines[0], kStart)) << kx::ToAnsi(lines[0]);
    ASSERT_TRUE(std::regex_search(lines[1], kClock));
    ExpectFields(lines[1].substr(10), {L"Control:Command1", L"Event:WM_LBUTTONDOWN( 513)", L"P1:1", L"P2:327683"});
    ExpectFields(lines[2].substr(10),
                 {L"Handle: " + std::to_wstring(reinterpret_cast<LONG_PTR>(text1)),
                  L"Event:?????"
                  L"( 1032)",
                  L"P1:-3", L"P2:-4"});
    EXPECT_TRUE(std::regex_match(lines[3], kStop)) << kx::ToAnsi(lines[3]);
    EXPECT_EQ(lines[4], L"");

    // A second session appends to the same file.
    K().Call(L"EventsStart");
    K().Call(L"EventsStop");
    const auto more = Lines(ReadBytes(kFile));
    ASSERT_EQ(more.size(), 8u);
    EXPECT_EQ(std::vector<std::wstring>(more.begin(), more.begin() + 5), lines);
    EXPECT_TRUE(std::regex_match(more[5], kStart));
    EXPECT_TRUE(std::regex_match(more[6], kStop));
    EXPECT_EQ(more[7], L"");
}

TEST_F(TraceFileTest, DebugModeOffWritesNoFileAndSwitchingItOffStopsTheMessageLines) {
    Load(L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag debugmode = False\n");
    K().Call(L"EventsStart");
    SendMessageA(Hwnd(L"Command1"), WM_USER + 8, 0, 0);
    K().Call(L"EventsStop");
    EXPECT_EQ(GetFileAttributesW(kFile), INVALID_FILE_ATTRIBUTES);

    K().Let(L"DebugMode", true);
    K().Call(L"EventsStart");
    SendMessageA(Hwnd(L"Command1"), WM_USER + 8, 1, 0);
    K().Let(L"DebugMode", false);
    SendMessageA(Hwnd(L"Command1"), WM_USER + 8, 2, 0);
    K().Call(L"EventsStop");
    const auto lines = Lines(ReadBytes(kFile));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].find(L"P1:1"), std::wstring::npos);
    EXPECT_TRUE(std::regex_match(lines[2], kStop));
}
