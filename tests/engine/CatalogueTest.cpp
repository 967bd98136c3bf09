// The catalogue of window-message names: the layout of the two parallel
// texts, the values against the platform headers, and the name lookup.
#include <windows.h>
#include <dde.h>
#include <gtest/gtest.h>
#include <climits>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "KestrixBas.h"

namespace {

// Entry k of both texts, as cut at ",": "'WM_CREATE'", "'1        '".
struct Row {
    std::wstring nameEntry, valueEntry, name;
    long value;
};

std::vector<std::wstring> CutAtCommas(const std::wstring& s) {
    std::vector<std::wstring> out(1);
    for (wchar_t c : s) {
        if (c == L',') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

// Read independently of the engine's lookup.
std::vector<Row> Rows() {
    const std::vector<std::wstring> names = CutAtCommas(Def_AllEventsName), values = CutAtCommas(Def_AllEventsValue);
    std::vector<Row> rows;
    for (size_t k = 0; k < names.size() && k < values.size(); ++k)
        rows.push_back({names[k], values[k], names[k].substr(1, names[k].size() - 2),
                        std::wcstol(values[k].c_str() + 1, nullptr, 10)});
    return rows;
}

std::map<long, int> ValueCounts() {
    std::map<long, int> counts;
    for (const Row& r : Rows()) ++counts[r.value];
    return counts;
}

// A table, a row a name.
// clang-format off
#define KX_ROW(n) {L## #n, n}
// Every catalogue name that the platform headers define, with their value.
// WM_KEYLAST and WM_MOUSELAST are left out: the catalogue keeps their classic values.
const std::map<std::wstring, long> kHeaderValues = {
    KX_ROW(WM_ACTIVATE), KX_ROW(WM_ACTIVATEAPP), KX_ROW(WM_ASKCBFORMATNAME), KX_ROW(WM_CANCELJOURNAL),
    KX_ROW(WM_CANCELMODE), KX_ROW(WM_CHANGECBCHAIN), KX_ROW(WM_CHAR), KX_ROW(WM_CHARTOITEM),
    KX_ROW(WM_CHILDACTIVATE), KX_ROW(WM_CLEAR), KX_ROW(WM_CLOSE), KX_ROW(WM_COMMAND), KX_ROW(WM_COMMNOTIFY),
    KX_ROW(WM_COMPACTING), KX_ROW(WM_COMPAREITEM), KX_ROW(WM_COPY), KX_ROW(WM_COPYDATA), KX_ROW(WM_CREATE),
    KX_ROW(WM_CTLCOLORBTN), KX_ROW(WM_CTLCOLORDLG), KX_ROW(WM_CTLCOLOREDIT), KX_ROW(WM_CTLCOLORLISTBOX),
    KX_ROW(WM_CTLCOLORMSGBOX), KX_ROW(WM_CTLCOLORSCROLLBAR), KX_ROW(WM_CTLCOLORSTATIC), KX_ROW(WM_CUT),
    KX_ROW(WM_DDE_FIRST), KX_ROW(WM_DEADCHAR), KX_ROW(WM_DELETEITEM), KX_ROW(WM_DESTROY),
    KX_ROW(WM_DESTROYCLIPBOARD), KX_ROW(WM_DEVMODECHANGE), KX_ROW(WM_DRAWCLIPBOARD), KX_ROW(WM_DRAWITEM),
    KX_ROW(WM_DROPFILES), KX_ROW(WM_ENABLE), KX_ROW(WM_ENDSESSION), KX_ROW(WM_ENTERIDLE),
    KX_ROW(WM_ENTERMENULOOP), KX_ROW(WM_ERASEBKGND), KX_ROW(WM_EXITMENULOOP), KX_ROW(WM_FONTCHANGE),
    KX_ROW(WM_GETDLGCODE), KX_ROW(WM_GETFONT), KX_ROW(WM_GETHOTKEY), KX_ROW(WM_GETMINMAXINFO),
    KX_ROW(WM_GETTEXT), KX_ROW(WM_GETTEXTLENGTH), KX_ROW(WM_HOTKEY), KX_ROW(WM_HSCROLL),
    KX_ROW(WM_HSCROLLCLIPBOARD), KX_ROW(WM_ICONERASEBKGND), KX_ROW(WM_IME_CHAR), KX_ROW(WM_IME_COMPOSITION),
    KX_ROW(WM_IME_COMPOSITIONFULL), KX_ROW(WM_IME_CONTROL), KX_ROW(WM_IME_ENDCOMPOSITION),
    KX_ROW(WM_IME_KEYDOWN), KX_ROW(WM_IME_KEYLAST), KX_ROW(WM_IME_KEYUP), KX_ROW(WM_IME_NOTIFY),
    KX_ROW(WM_IME_SELECT), KX_ROW(WM_IME_SETCONTEXT), KX_ROW(WM_IME_STARTCOMPOSITION), KX_ROW(WM_INITDIALOG),
    KX_ROW(WM_INITMENU), KX_ROW(WM_INITMENUPOPUP), KX_ROW(WM_KEYDOWN), KX_ROW(WM_KEYFIRST), KX_ROW(WM_KEYUP),
    KX_ROW(WM_KILLFOCUS), KX_ROW(WM_LBUTTONDBLCLK), KX_ROW(WM_LBUTTONDOWN), KX_ROW(WM_LBUTTONUP),
    KX_ROW(WM_MBUTTONDBLCLK), KX_ROW(WM_MBUTTONDOWN), KX_ROW(WM_MBUTTONUP), KX_ROW(WM_MDIACTIVATE),
    KX_ROW(WM_MDICASCADE), KX_ROW(WM_MDICREATE), KX_ROW(WM_MDIDESTROY), KX_ROW(WM_MDIGETACTIVE),
    KX_ROW(WM_MDIICONARRANGE), KX_ROW(WM_MDIMAXIMIZE), KX_ROW(WM_MDINEXT), KX_ROW(WM_MDIREFRESHMENU),
    KX_ROW(WM_MDIRESTORE), KX_ROW(WM_MDISETMENU), KX_ROW(WM_MDITILE), KX_ROW(WM_MEASUREITEM),
    KX_ROW(WM_MENUCHAR), KX_ROW(WM_MENUSELECT), KX_ROW(WM_MOUSEACTIVATE), KX_ROW(WM_MOUSEFIRST),
    KX_ROW(WM_MOUSEMOVE), KX_ROW(WM_MOVE), KX_ROW(WM_NCACTIVATE), KX_ROW(WM_NCCALCSIZE), KX_ROW(WM_NCCREATE),
    KX_ROW(WM_NCDESTROY), KX_ROW(WM_NCHITTEST), KX_ROW(WM_NCLBUTTONDBLCLK), KX_ROW(WM_NCLBUTTONDOWN),
    KX_ROW(WM_NCLBUTTONUP), KX_ROW(WM_NCMBUTTONDBLCLK), KX_ROW(WM_NCMBUTTONDOWN), KX_ROW(WM_NCMBUTTONUP),
    KX_ROW(WM_NCMOUSEMOVE), KX_ROW(WM_NCPAINT), KX_ROW(WM_NCRBUTTONDBLCLK), KX_ROW(WM_NCRBUTTONDOWN),
    KX_ROW(WM_NCRBUTTONUP), KX_ROW(WM_NEXTDLGCTL), KX_ROW(WM_NULL), KX_ROW(WM_PAINT), KX_ROW(WM_PAINTCLIPBOARD),
    KX_ROW(WM_PAINTICON), KX_ROW(WM_PALETTECHANGED), KX_ROW(WM_PALETTEISCHANGING), KX_ROW(WM_PARENTNOTIFY),
    KX_ROW(WM_PASTE), KX_ROW(WM_PENWINFIRST), KX_ROW(WM_PENWINLAST), KX_ROW(WM_POWER), KX_ROW(WM_QUERYDRAGICON),
    KX_ROW(WM_QUERYENDSESSION), KX_ROW(WM_QUERYNEWPALETTE), KX_ROW(WM_QUERYOPEN), KX_ROW(WM_QUEUESYNC),
    KX_ROW(WM_QUIT), KX_ROW(WM_RBUTTONDBLCLK), KX_ROW(WM_RBUTTONDOWN), KX_ROW(WM_RBUTTONUP),
    KX_ROW(WM_RENDERALLFORMATS), KX_ROW(WM_RENDERFORMAT), KX_ROW(WM_SETCURSOR), KX_ROW(WM_SETFOCUS),
    KX_ROW(WM_SETFONT), KX_ROW(WM_SETHOTKEY), KX_ROW(WM_SETREDRAW), KX_ROW(WM_SETTEXT), KX_ROW(WM_SHOWWINDOW),
    KX_ROW(WM_SIZE), KX_ROW(WM_SIZECLIPBOARD), KX_ROW(WM_SPOOLERSTATUS), KX_ROW(WM_SYSCHAR),
    KX_ROW(WM_SYSCOLORCHANGE), KX_ROW(WM_SYSCOMMAND), KX_ROW(WM_SYSDEADCHAR), KX_ROW(WM_SYSKEYDOWN),
    KX_ROW(WM_SYSKEYUP), KX_ROW(WM_TIMECHANGE), KX_ROW(WM_TIMER), KX_ROW(WM_UNDO), KX_ROW(WM_USER),
    KX_ROW(WM_VKEYTOITEM), KX_ROW(WM_VSCROLL), KX_ROW(WM_VSCROLLCLIPBOARD), KX_ROW(WM_WINDOWPOSCHANGED),
    KX_ROW(WM_WINDOWPOSCHANGING), KX_ROW(WM_WININICHANGE),
};
// clang-format on
#undef KX_ROW

// Rows the headers at hand do not give, or give with a later value.
const std::map<std::wstring, long> kListedValues = {
    {L"WM_CONVERTREQUESTEX", 264},    {L"WM_KEYLAST", 264}, {L"WM_MOUSELAST", 521}, {L"WM_OTHERWINDOWCREATED", 66},
    {L"WM_OTHERWINDOWDESTROYED", 67},
};

} // namespace

TEST(Catalogue, TextsAreParallelWithQuotesAndCommasAtTheSamePositions) {
    const std::wstring names = Def_AllEventsName, values = Def_AllEventsValue;
    EXPECT_EQ(std::wcslen(Def_AllEventsName), 2735u);
    EXPECT_EQ(std::wcslen(Def_AllEventsValue), 2735u);
    ASSERT_EQ(names.size(), values.size());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i] == L'\'', values[i] == L'\'') << "position " << i;
        EXPECT_EQ(names[i] == L',', values[i] == L',') << "position " << i;
    }
    EXPECT_EQ(names.compare(0, 52, L"'WM_ACTIVATE','WM_ACTIVATEAPP','WM_ASKCBFORMATNAME',"), 0);
    EXPECT_EQ(names.compare(names.size() - 40, 40, L"'WM_WINDOWPOSCHANGING','WM_WININICHANGE'"), 0);

    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 166u);
    EXPECT_EQ(CutAtCommas(values).size(), 166u);
    EXPECT_EQ(rows[0].nameEntry + rows[0].valueEntry, L"'WM_ACTIVATE''6          '");
    EXPECT_EQ(rows[1].nameEntry + rows[1].valueEntry, L"'WM_ACTIVATEAPP''28            '");
    EXPECT_EQ(rows[26].nameEntry + rows[26].valueEntry, L"'WM_CUT''768   '");
    EXPECT_EQ(rows[165].nameEntry + rows[165].valueEntry, L"'WM_WININICHANGE''26             '");
}

TEST(Catalogue, EntriesAreQuotedNamesInCodePointOrderAndPaddedDigits) {
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 166u);
    for (size_t k = 0; k < rows.size(); ++k) {
        const Row& r = rows[k];
        SCOPED_TRACE(r.nameEntry);
        ASSERT_GE(r.nameEntry.size(), 5u);
        ASSERT_EQ(r.valueEntry.size(), r.nameEntry.size());
        EXPECT_EQ(r.nameEntry.front(), L'\'');
        EXPECT_EQ(r.nameEntry.back(), L'\'');
        EXPECT_EQ(r.name.compare(0, 3, L"WM_"), 0);
        EXPECT_EQ(r.name.find_first_not_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ_"), std::wstring::npos);
        if (k > 0) {
            EXPECT_LT(rows[k - 1].name, r.name); // wstring compares code points
        }
        EXPECT_EQ(r.valueEntry.front(), L'\'');
        EXPECT_EQ(r.valueEntry.back(), L'\'');
        const std::wstring inner = r.valueEntry.substr(1, r.valueEntry.size() - 2);
        const size_t digits = inner.find_first_not_of(L"0123456789");
        ASSERT_NE(digits, std::wstring::npos) << "a value entry fills its width";
        ASSERT_GE(digits, 1u);
        EXPECT_TRUE(inner[0] != L'0' || digits == 1) << "leading zero";
        EXPECT_EQ(inner.find_first_not_of(L' ', digits), std::wstring::npos) << "only blanks after the digits";
        EXPECT_GE(inner.size() - digits, 3u);
        EXPECT_LE(inner.size() - digits, 21u);
    }
}

TEST(Catalogue, ValuesAreTheHeaderValuesWithTheClassicExceptions) {
    EXPECT_EQ(kHeaderValues.size() + kListedValues.size(), 166u);
    for (const Row& r : Rows()) {
        const auto header = kHeaderValues.find(r.name);
        const auto listed = kListedValues.find(r.name);
        ASSERT_TRUE(header != kHeaderValues.end() || listed != kListedValues.end()) << r.name;
        EXPECT_EQ(r.value, header != kHeaderValues.end() ? header->second : listed->second) << r.name;
    }
    const std::map<long, int> counts = ValueCounts();
    EXPECT_EQ(counts.size(), 161u);
    EXPECT_EQ(counts.begin()->first, 0);
    EXPECT_EQ(counts.rbegin()->first, 1024);
    std::vector<long> doubled;
    for (const auto& c : counts) {
        EXPECT_LE(c.second, 2) << c.first;
        if (c.second == 2) doubled.push_back(c.first);
    }
    EXPECT_EQ(doubled, (std::vector<long>{256, 264, 271, 512, 521}));
}

TEST(Catalogue, EventNameOfKnownUnknownAndSharedValues) {
    const std::pair<LONG, const wchar_t*> known[] = {
        {0, L"WM_NULL"},
        {1, L"WM_CREATE"},
        {15, L"WM_PAINT"},
        {12, L"WM_SETTEXT"},
        {563, L"WM_DROPFILES"},
        {1024, L"WM_USER"},
        {66, L"WM_OTHERWINDOWCREATED"},
        // A shared value gives the entry that comes first.
        {256, L"WM_KEYDOWN"},
        {264, L"WM_CONVERTREQUESTEX"},
        {271, L"WM_IME_COMPOSITION"},
        {512, L"WM_MOUSEFIRST"},
        {521, L"WM_MBUTTONDBLCLK"},
    };
    for (const auto& k : known) EXPECT_EQ(gFn_EventName(k.first), k.second) << k.first;
    for (LONG v : {1025L, 49152L, 9L, 100L, 10240L, -1L, -15L, -513L, -1024L, LONG(INT_MIN), LONG(INT_MAX)})
        EXPECT_EQ(gFn_EventName(v), L"?????") << v;
}

TEST(Catalogue, EveryValueAndNonValueLooksUpLikeTheTable) {
    const std::vector<Row> rows = Rows();
    const std::map<long, int> counts = ValueCounts();
    for (const Row& r : rows) { // round trip of every value that is not shared
        if (counts.at(r.value) != 1) continue;
        EXPECT_EQ(gFn_EventName(r.value), r.name) << r.value;
    }
    // Every number in and around the catalogue's range: the first entry or nothing.
    for (LONG v = -1100; v <= 12000; ++v) {
        std::wstring expected = L"?????";
        for (const Row& r : rows) {
            if (r.value == v) {
                expected = r.name;
                break;
            }
        }
        ASSERT_EQ(gFn_EventName(v), expected) << v;
    }
}
