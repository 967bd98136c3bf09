// Checks the test bench itself: if one of these fails, every other test
// result is suspect. They cover what scripts/wine-env.sh prepares: the
// ANSI code page, a usable display, window subclassing, and the fonts
// copied and substituted into the private Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(Bench, AnsiCodePageIs932) { EXPECT_EQ(932u, GetACP()); }

TEST(Bench, ShiftJisRoundTripsThroughTheAnsiCodePage) {
    // "日本" in Shift-JIS.
    const char sjis[] = "\x93\xfa\x96\x7b";
    wchar_t wide[8] = {};
    ASSERT_EQ(3, MultiByteToWideChar(CP_ACP, 0, sjis, -1, wide, 8));
    EXPECT_EQ(0x65E5, wide[0]);
    EXPECT_EQ(0x672C, wide[1]);
    char back[8] = {};
    ASSERT_EQ(5, WideCharToMultiByte(CP_ACP, 0, wide, -1, back, 8, nullptr, nullptr));
    EXPECT_STREQ(sjis, back);
    EXPECT_TRUE(IsDBCSLeadByte(0x93));
    EXPECT_FALSE(IsDBCSLeadByte('A'));
}

TEST(Bench, TopLevelWindowCanBeCreatedOnTheDisplay) {
    HWND hwnd = CreateWindowExA(0, "STATIC", "Kestrix bench", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, hwnd) << "CreateWindowExA failed, error " << GetLastError()
                             << " (is DISPLAY set for the Wine server?)";
    char text[32] = {};
    EXPECT_EQ(13, GetWindowTextA(hwnd, text, sizeof text));
    EXPECT_STREQ("Kestrix bench", text);
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Bench, ScreenHasAUsableSize) {
    EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_GE(GetSystemMetrics(SM_CYSCREEN), 480);
}

int g_subclassCalls = 0;
WNDPROC g_previousProc = nullptr;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 7) ++g_subclassCalls;
    return CallWindowProcA(g_previousProc, hwnd, msg, wp, lp);
}

TEST(Bench, SubclassingOurOwnWindowWorks) {
    HWND hwnd = CreateWindowExA(0, "STATIC", "sub", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_NE(nullptr, hwnd);
    g_subclassCalls = 0;
    g_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    EXPECT_NE(nullptr, g_previousProc);
    SendMessageA(hwnd, WM_USER + 7, 0, 0);
    EXPECT_EQ(1, g_subclassCalls);
    // The original procedure still does its work behind ours.
    EXPECT_TRUE(SetWindowTextA(hwnd, "changed"));
    char text[16] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ("changed", text);
    // Restoring returns our procedure.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&CountingProc),
              static_cast<LONG_PTR>(
                  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previousProc))));
    DestroyWindow(hwnd);
}

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontFamilyExists(const char* face) {
    HDC dc = GetDC(nullptr);
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc, &lf, reinterpret_cast<FONTENUMPROCA>(&NoteFace), reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

TEST(Bench, MarlettAndTahomaAreInstalled) {
    EXPECT_TRUE(FontFamilyExists("Marlett"));
    EXPECT_TRUE(FontFamilyExists("Tahoma"));
}

// "MS UI Gothic" is substituted by a real Japanese font: the glyph for
// U+3042 (HIRAGANA LETTER A) exists in the font actually selected.
TEST(Bench, JapaneseUiFontHasJapaneseGlyphs) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS UI Gothic");
    ASSERT_NE(nullptr, font);
    HGDIOBJ old = SelectObject(dc, font);
    EXPECT_EQ(SHIFTJIS_CHARSET, GetTextCharset(dc));
    WORD glyph = 0;
    const wchar_t hiraganaA[] = L"\x3042";
    ASSERT_EQ(1u, GetGlyphIndicesW(dc, hiraganaA, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS));
    EXPECT_NE(0xFFFF, glyph);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

} // namespace
