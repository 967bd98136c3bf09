// The pages' and the version dialog's controls as the user sees them:
// kind, caption, position and size (twips at 15 to the pixel), font, tab
// order; and the pages' titles and sizes as the frame reads them.
#include <olectl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ActiveXControl.h"
#include "Ansi.h"
#include "PageControls.h"
#include "PageFixture.h"
#include "PageIds.h"
#include "VerDlgControls.h"

using namespace kxtest;
using namespace kestrix::pages;

namespace {

struct FontWant {
    const wchar_t* face;
    LONG height; // pixels, negative: character height
    bool bold;
};

struct Expected {
    int id;
    const char* cls; // "Static", "ListBox", "Edit", "Button"
    const wchar_t* text;
    LONG left, top, width, height; // twips
    int tab;
    const FontWant* font = nullptr; // nullptr: the form's
    bool growsToText = false; // one line that widens to its text
};

// The width the control's text needs in its own font.
int TextWidth(HWND h) {
    char text[256] = {};
    const int n = GetWindowTextA(h, text, sizeof text);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)));
    SIZE s{};
    GetTextExtentPoint32A(dc, text, n, &s);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return s.cx;
}

const FontWant kPageFont{L"ＭＳ ゴシック", -15, false};

int Px(LONG twips) { return static_cast<int>(twips / 15); }

std::wstring TextOf(HWND h) {
    char text[256] = {};
    GetWindowTextA(h, text, sizeof text);
    return kx::FromAnsi(text);
}

void CheckFont(HWND h, const FontWant& want, const std::string& what) {
    HFONT f = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    ASSERT_TRUE(f) << what << ": no font";
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(f, sizeof lf, &lf)) << what;
    EXPECT_EQ(std::wstring(lf.lfFaceName), want.face) << what;
    EXPECT_EQ(lf.lfHeight, want.height) << what;
    EXPECT_EQ(lf.lfWeight >= FW_BOLD, want.bold) << what;
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET) << what;
}

// Every control in place, and the windows in tab order.
void CheckLayout(HWND form, const std::vector<Expected>& table, const FontWant& font) {
    for (const Expected& e : table) {
        const std::string what = "control " + std::to_string(e.id);
        HWND h = GetDlgItem(form, e.id);
        ASSERT_TRUE(h) << what;
        char cls[16] = {};
        GetClassNameA(h, cls, sizeof cls);
        EXPECT_STRCASEEQ(cls, e.cls) << what;
        EXPECT_EQ(TextOf(h), e.text ? e.text : L"") << what;
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, Px(e.left)) << what;
        EXPECT_EQ(r.top, Px(e.top)) << what;
        if (e.growsToText) {
            // The given width, or the text's when a wider font needs more.
            EXPECT_EQ(r.right - r.left, std::max(Px(e.width), TextWidth(h))) << what;
            EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP) << what;
        } else {
            EXPECT_EQ(r.right - r.left, Px(e.width)) << what;
        }
        if (lstrcmpiA(cls, "ListBox") == 0) {
            // A list shows whole rows: its height comes down to a whole number of them.
            EXPECT_LE(r.bottom - r.top, Px(e.height)) << what;
            EXPECT_GT(r.bottom - r.top, Px(e.height) - 20) << what;
        } else {
            EXPECT_EQ(r.bottom - r.top, Px(e.height)) << what;
        }
        const bool focusable = lstrcmpiA(cls, "Static") != 0;
        EXPECT_EQ((GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) != 0, focusable) << what;
        CheckFont(h, e.font ? *e.font : font, what);
    }
    std::vector<Expected> byTab = table;
    std::stable_sort(byTab.begin(), byTab.end(), [](const Expected& a, const Expected& b) { return a.tab < b.tab; });
    std::vector<int> want, got;
    for (const Expected& e : byTab) want.push_back(e.id);
    for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) got.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(got, want) << "window order is not the tab order";
}

const std::vector<Expected> kPage1 = {
    {kP1Heading, "Static", L"TargetControls ﾌﾟﾛﾊﾟﾃｨ", 300, 240, 4095, 255, 0},
    {kP1ListCnt, "Static", L"3", 600, 720, 855, 255, 6},
    {kP1CountCaption, "Static", L"Count", 1560, 720, 720, 240, 8},
    {kP1SelCnt, "Static", L"0", 2880, 720, 855, 255, 5},
    {kP1SelectCaption, "Static", L"Select", 3840, 720, 735, 255, 7},
    {kP1List, "ListBox", L"", 120, 1080, 4815, 3660, 1},
    {kP1Msg, "Static", L"ｲﾍﾞﾝﾄを拡張するｺﾝﾄﾛｰﾙを選択(複数可)", 360, 4920, 4335, 255, 2},
    {kP1SelectAll, "Button", L"全選択", 360, 5400, 1215, 615, 3},
    {kP1ClearAll, "Button", L"全解除", 1560, 5400, 1215, 615, 4},
};

const std::vector<Expected> kPage2 = {
    {kP2Heading, "Static", L"TargetEvents ﾌﾟﾛﾊﾟﾃｨ", 300, 240, 3000, 240, 0},
    {kP2ListCnt, "Static", L"166", 600, 720, 855, 255, 11},
    {kP2CountCaption, "Static", L"Count", 1560, 720, 720, 240, 9},
    {kP2SelCnt, "Static", L"0", 2880, 720, 855, 255, 12},
    {kP2SelectCaption, "Static", L"Select", 3840, 720, 735, 255, 10},
    {kP2List, "ListBox", L"", 120, 1080, 4815, 2760, 1},
    {kP2Msg0, "Static", L"取得するｲﾍﾞﾝﾄを選択(複数可)", 300, 4005, 4440, 315, 2},
    {kP2SelectAll, "Button", L"全選択", 360, 4440, 1215, 615, 7},
    {kP2ClearAll, "Button", L"全解除", 1560, 4440, 1215, 615, 8},
    {kP2Msg1, "Static", L"選択ｲﾍﾞﾝﾄ値(10進数)", 300, 5340, 2340, 315, 3},
    {kP2EventDec, "Edit", L"6", 2700, 5340, 2115, 390, 4},
    {kP2Msg2, "Static", L"選択ｲﾍﾞﾝﾄ値(16進数)", 300, 5790, 2340, 315, 5},
    {kP2EventHex, "Edit", L"&h6", 2700, 5715, 2115, 390, 6},
};

const std::vector<Expected> kPage3 = {
    {kP3DebugMode, "Button", L" 拡張イベント発生情報をログに記録", 240, 600, 4695, 495, 0},
    {kP3FileCaption, "Static", L"ログファイル：", 480, 1200, 1695, 255, 5},
    {kP3DebugFile, "Edit", L"Kestrix1.Dbg", 480, 1560, 4215, 375, 1},
    {kP3FileDropMode, "Button", L" ドロップされたファイル名を取得", 240, 2400, 4695, 495, 2},
    {kP3DropNote, "Static", L"(FileDropイベントが発生するようになる)", 600, 2880, 4455, 255, 8},
    {kP3Link, "Button", L"", 240, 3600, 255, 495, 3},
    {kP3LinkCaption, "Static", L"  他のアプリケーションにデータを送る", 480, 3720, 4455, 375, 7},
    {kP3NameCaption, "Static", L"通信名：", 480, 4200, 1695, 255, 6},
    {kP3LinkName, "Edit", L"Kestrix", 480, 4560, 4215, 375, 4},
};

class Layout : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        HDC dc = GetDC(nullptr);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        ASSERT_EQ(dpi, 96) << "these sizes are for 15 twips to the pixel";
    }
};

} // namespace

TEST_F(Layout, ThePagesTitlesAndSizes) {
    const struct {
        const CLSID* clsid;
        const wchar_t* title;
        LONG cx, cy;
    } pages[] = {
        {&kestrix::CLSID_KestrixProp1, L"対象ｺﾝﾄﾛｰﾙ", 337, 419},
        {&kestrix::CLSID_KestrixProp2, L"拡張ｲﾍﾞﾝﾄ", 337, 419},
        {&kestrix::CLSID_KestrixProp3, L"詳細設定", 337, 392},
    };
    for (const auto& p : pages) {
        kx::ComPtr<IPropertyPage> page;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(*p.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page)));
        PROPPAGEINFO info{};
        info.cb = sizeof info;
        ASSERT_HRESULT_SUCCEEDED(page->GetPageInfo(&info));
        EXPECT_EQ(std::wstring(info.pszTitle), p.title);
        EXPECT_EQ(info.size.cx, p.cx);
        EXPECT_EQ(info.size.cy, p.cy);
        CoTaskMemFree(info.pszTitle);
        // Through the page's other interfaces.
        kx::ComPtr<IPropertyPage2> page2;
        EXPECT_HRESULT_SUCCEEDED(page.As(&page2));
        kx::ComPtr<ISupportErrorInfo> errors;
        ASSERT_HRESULT_SUCCEEDED(page.As(&errors));
        EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IPropertyPage), S_OK);
    }
}

TEST_F(Layout, TargetControlsPage) {
    LoadDemlet1();
    PageDriver p(kestrix::CLSID_KestrixProp1, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    CheckLayout(p.hwnd(), kPage1, kPageFont);
    const LONG style = GetWindowLongA(p.Item(kP1List), GWL_STYLE);
    EXPECT_TRUE(style & LBS_EXTENDEDSEL);
    EXPECT_FALSE(style & (LBS_SORT | LBS_MULTIPLESEL));
}

TEST_F(Layout, TargetEventsPage) {
    LoadDemlet1();
    PageDriver p(kestrix::CLSID_KestrixProp2, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    CheckLayout(p.hwnd(), kPage2, kPageFont);
    const LONG style = GetWindowLongA(p.Item(kP2List), GWL_STYLE);
    EXPECT_TRUE(style & LBS_EXTENDEDSEL);
    EXPECT_FALSE(style & (LBS_SORT | LBS_MULTIPLESEL));
}

TEST_F(Layout, OptionsPage) {
    LoadDemlet1();
    PageDriver p(kestrix::CLSID_KestrixProp3, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    CheckLayout(p.hwnd(), kPage3, kPageFont);
    for (int id : {kP3DebugMode, kP3FileDropMode, kP3Link})
        EXPECT_EQ(GetWindowLongA(p.Item(id), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX) << id;
}

TEST_F(Layout, VersionDialog) {
    LoadText(L"Form Form1\n    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n    End\nEnd\n");
    kx::UniqueHwnd env(CreateWindowExA(0, "STATIC", kx::ToAnsi(L"P - Microsoft Visual Basic [デザイン]").c_str(),
                                       WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr));
    const FontWant form{L"ＭＳ ゴシック", -16, false};
    const FontWant product{L"ＭＳ Ｐ明朝", -64, true};
    const FontWant version{L"ＭＳ Ｐ明朝", -32, false};
    const FontWant caption{L"ＭＳ ゴシック", -19, false};
    LONG style = 0;
    HWND owner = nullptr;
    bool ownerVisible = true, blueProduct = false, blueVersion = false;
    auto blue = [](HWND label) {
        UpdateWindow(label);
        RECT r{};
        GetClientRect(label, &r);
        HDC dc = GetDC(label);
        bool found = false;
        for (int y = 0; y < r.bottom && !found; ++y)
            for (int x = 0; x < r.right && !found; ++x) found = GetPixel(dc, x, y) == RGB(0, 0, 255);
        ReleaseDC(label, dc);
        return found;
    };
    ModalScript script([] { return FindWindowA(nullptr, kx::ToAnsi(kestrix::kVerDlgCaption).c_str()); }, {[&](HWND d) {
                           using namespace kestrix;
                           CheckLayout(
                               d,
                               {{kVdProduct, "Static", L"Kestrix", 120, 120, 3555, 930, 0, &product},
                                {kVdVersion, "Static", L"Ver 1.35", 3840, 480, 1740, 495, 1, &version, true},
                                {kVdOk, "Button", L"OK", 6000, 240, 1575, 615, 3},
                                {kVdAuthorCaption, "Static", L"作成者", 120, 1200, 1095, 375, 2, &caption},
                                {kVdAuthor, "Edit", L"Kestrix", 1200, 1200, 6375, 375, 6},
                                {kVdHomeCaption, "Static", L"Ｈ  Ｐ", 120, 1680, 1095, 255, 4, &caption},
                                {kVdHome, "Edit", L"https://kestrix.example.org/", 1200, 1680, 6375, 375, 7},
                                {kVdMailCaption, "Static", L"メール", 120, 2160, 1095, 255, 5, &caption},
                                {kVdMail, "Edit", L"kestrix@example.org", 1200, 2160, 6375, 375, 8},
                                {kVdVisit, "Button", L"作者のホームページを見に行く", 1200, 2760, 6375, 615, 9}},
                               form);
                           style = GetWindowLongA(d, GWL_STYLE);
                           owner = GetWindow(d, GW_OWNER);
                           ownerVisible = owner && IsWindowVisible(owner);
                           blueProduct = blue(GetDlgItem(d, kVdProduct));
                           blueVersion = blue(GetDlgItem(d, kVdVersion));
                           SendMessageA(GetDlgItem(d, kVdOk), BM_CLICK, 0, 0);
                           return true;
                       }},
                       [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); });
    auto& c = form_->Get<kxhost::ActiveXControl>(L"Kestrix1");
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_HRESULT_SUCCEEDED(c.ControlObject()->Invoke(DISPID_ABOUTBOX, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                       &none, nullptr, nullptr, nullptr));
    script.Check();
    // A fixed dialog border, no minimise or maximise button.
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & DS_MODALFRAME);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    // No task-bar entry: owned by a window that is never shown.
    EXPECT_TRUE(owner);
    EXPECT_FALSE(ownerVisible);
    EXPECT_TRUE(blueProduct) << "the product name is not drawn in blue";
    EXPECT_TRUE(blueVersion) << "the version is not drawn in blue";
}
