// Reading and writing saved forms: what the text means, and the text written.
#include "FormFileTestSupport.h"
#include <cfloat>
#include <climits>
#include <cmath>

using namespace kxhost;
using namespace kxtest;

namespace {

const Value& Prop(const std::vector<Property>& props, const wchar_t* name) {
    const Value* v = FindProp(props, name);
    if (!v) throw std::runtime_error("missing property");
    return *v;
}

// The value of "X = <text>" in a form of its own.
Value ValueOf(const std::wstring& text) {
    return ParseForm(L"Form F\n X = " + text + L"\nEnd\n", L"value").props.at(0).value;
}

} // namespace

TEST(FormFileParse, SampleFormGivesEveryControlPropertyAndBagEntry) {
    const FormDesc f = ParseForm(kSampleForm, L"sample");
    EXPECT_EQ(f.name, L"DragDropFrm");
    ASSERT_EQ(f.props.size(), 5u);
    EXPECT_EQ(Prop(f.props, L"caption"), Value(std::wstring(L"ドラッグ＆ドロップ")));
    EXPECT_EQ(Prop(f.props, L"ClientWidth"), Value(LONG(4680)));
    EXPECT_EQ(Prop(f.props, L"FONTNAME"), Value(std::wstring(L"ＭＳ Ｐゴシック")));
    EXPECT_EQ(f.props[4].name, L"FontSize");

    ASSERT_EQ(f.controls.size(), 3u);
    const ControlDesc& list = f.controls[0];
    EXPECT_EQ(list.kind, L"ListBox");
    EXPECT_EQ(list.name, L"List1");
    EXPECT_FALSE(list.index.has_value());
    EXPECT_EQ(list.line, 8);
    EXPECT_EQ(list.props.size(), 6u);
    EXPECT_EQ(Prop(list.props, L"Sorted"), Value(false));
    EXPECT_TRUE(list.progId.empty());

    const ControlDesc& button = f.controls[1];
    EXPECT_EQ(button.name, L"Command1");
    EXPECT_EQ(button.index, std::optional<LONG>(0));
    EXPECT_EQ(button.line, 16);

    const ControlDesc& kx = f.controls[2];
    EXPECT_EQ(kx.kind, L"Control");
    EXPECT_EQ(kx.progId, L"Kestrix32.Kestrix");
    EXPECT_EQ(kx.props.size(), 2u);
    ASSERT_EQ(kx.bag.size(), 3u);
    EXPECT_EQ(kx.bag[0].name, L"targetcontrols");
    EXPECT_EQ(kx.bag[0].value, Value(std::wstring(L"DragDropFrm,Command1,List1")));
    EXPECT_EQ(kx.bag[2].value, Value(LONG(0)));
}

TEST(FormFileParse, KeywordsAndNamesIgnoreCaseAndLayoutIsFree) {
    const FormDesc f = ParseForm(
        L"\xFEFF\r\n' comment\r\n\t  form  フォーム1 ' trailing comment\r\n"
        L"\r\n  begin CONTROL  Kx1 \"{12345678-1234-1234-1234-123456789ABC}\"\r\n"
        L"BAG TargetControls=TRUE\r\n\tcaption=\"x\"' note\r\n  end\r\nEND\r\n",
        L"loose");
    EXPECT_EQ(f.name, L"フォーム1");
    ASSERT_EQ(f.controls.size(), 1u);
    EXPECT_EQ(f.controls[0].kind, L"Control");
    EXPECT_EQ(f.controls[0].line, 5);
    ASSERT_EQ(f.controls[0].bag.size(), 1u);
    EXPECT_EQ(f.controls[0].bag[0].name, L"targetcontrols");
    EXPECT_EQ(f.controls[0].bag[0].value, Value(true));
    EXPECT_EQ(f.controls[0].props.at(0).name, L"caption");
}

TEST(FormFileParse, KeywordFollowedByEqualsIsAnOrdinaryProperty) {
    const FormDesc f = ParseForm(
        L"Form F\n End = 1\n Begin = 2\n Bag = 3\n Form = 4\n"
        L" Begin Control Begin \"P\"\n  Bag End = 5\n End\nEnd\n",
        L"names");
    ASSERT_EQ(f.props.size(), 4u);
    EXPECT_EQ(f.props[0].name, L"End");
    EXPECT_EQ(f.props[2].name, L"Bag");
    ASSERT_EQ(f.controls.size(), 1u);
    EXPECT_EQ(f.controls[0].name, L"Begin");
    EXPECT_EQ(f.controls[0].bag.at(0).name, L"end");
}

TEST(FormFileParse, IntegersInDecimalAndVbHexadecimal) {
    EXPECT_EQ(ValueOf(L"-2147483648"), Value(LONG(INT_MIN)));
    EXPECT_EQ(ValueOf(L"2147483647"), Value(LONG(INT_MAX)));
    EXPECT_EQ(ValueOf(L"007"), Value(LONG(7)));
    EXPECT_EQ(ValueOf(L"&HFF"), Value(LONG(255)));
    EXPECT_EQ(ValueOf(L"&h00ff&"), Value(LONG(255)));
    EXPECT_EQ(ValueOf(L"&H8000000F&"), Value(LONG(0x8000000F - 0x100000000LL)));
    EXPECT_EQ(ValueOf(L"&HFFFFFFFF"), Value(LONG(-1)));
    EXPECT_EQ(ValueOf(L"&H0000000000FF"), Value(LONG(255))); // leading zeros do not count
}

TEST(FormFileParse, DecimalsAreDoubles) {
    EXPECT_EQ(ValueOf(L"9.75"), Value(9.75));
    EXPECT_EQ(ValueOf(L"-0.5"), Value(-0.5));
    EXPECT_EQ(ValueOf(L"1E3"), Value(1000.0));
    EXPECT_EQ(ValueOf(L"2.5e-3"), Value(0.0025));
    EXPECT_EQ(ValueOf(L"0.1"), Value(0.1));
}

TEST(FormFileParse, StringsWithQuotesPiecesAndAnyText) {
    EXPECT_EQ(ValueOf(L"\"\""), Value(std::wstring()));
    EXPECT_EQ(ValueOf(L"\"He said \"\"hi\"\"\""), Value(std::wstring(L"He said \"hi\"")));
    EXPECT_EQ(ValueOf(L"\"\"\"\""), Value(std::wstring(L"\"")));
    EXPECT_EQ(ValueOf(L"\"a ' b\" ' a comment"), Value(std::wstring(L"a ' b")));
    EXPECT_EQ(ValueOf(L"\"一行目\" & vbCrLf & \"二行目\" & VBTAB & vbcr&vbLf"),
              Value(std::wstring(L"一行目\r\n二行目\t\r\n")));
    EXPECT_EQ(ValueOf(L"ChrW(12354) & ChrW( &H3044 ) & ChrW(0)"), Value(std::wstring(L"あい", 2) + L'\0'));
    EXPECT_EQ(ValueOf(L"\"😀\""), Value(std::wstring(L"😀")));
    EXPECT_EQ(ValueOf(L"True"), Value(true));
    EXPECT_EQ(ValueOf(L"fAlSe"), Value(false));
}

TEST(FormFileWrite, WritesTheFormatWithFourSpaceIndentsAndCrLf) {
    const FormDesc f = ParseForm(
        L"form Form1 ' loose\n\tCaption=\"say \"\"はい\"\"\"\n ScaleWidth = 2E0\n Ratio = 0.10\n"
        L"begin ListBox List1( 2 )\nSorted = TRUE\nLeft = &HFFFFFF88\nend\n"
        L"BEGIN control Kestrix1 \"Kestrix32.Kestrix\"\n BAG TargetControls = \"a\"&vbCrLf&\"b\"\n"
        L" bag debugmode = false\n end\n Begin Label Label1\n End\nEnd",
        L"loose");
    EXPECT_EQ(WriteForm(f),
              L"' Kestrix saved form\r\n"
              L"Form Form1\r\n"
              L"    Caption = \"say \"\"はい\"\"\"\r\n"
              L"    ScaleWidth = 2.0\r\n"
              L"    Ratio = 0.1\r\n"
              L"    Begin ListBox List1(2)\r\n"
              L"        Sorted = True\r\n"
              L"        Left = -120\r\n"
              L"    End\r\n"
              L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\r\n"
              L"        Bag targetcontrols = \"a\" & vbCrLf & \"b\"\r\n"
              L"        Bag debugmode = False\r\n"
              L"    End\r\n"
              L"    Begin Label Label1\r\n"
              L"    End\r\n"
              L"End\r\n");
    EXPECT_EQ(WriteForm(ParseForm(L"form Empty\nend", L"empty")), L"' Kestrix saved form\r\nForm Empty\r\nEnd\r\n");
}

TEST(FormFileWrite, RoundTripKeepsHardValuesExactly) {
    FormDesc f = ParseForm(
        L"Form Hard\n Begin TextBox Text1(32767)\n End\n"
        L" Begin Control _x \"odd \"\"id\"\" ｐｒｏｇ\"\n Bag _extentx = 1.5\n Bag ｋｅｙ = \"\"\n End\n"
        L" Begin TextBox Text1(0)\n End\nEnd",
        L"hard");
    const std::wstring loneHigh(1, wchar_t(0xD800)), loneLow(1, wchar_t(0xDC00));
    f.props = {
        {L"Empty", std::wstring()},
        {L"Quotes", std::wstring(L"\"\"x\"")},
        {L"Japanese", std::wstring(L"日本語のテキスト　全角スペース")},
        {L"Controls", std::wstring(L"\r\r\n\n\t\x01\x1F\x7F end")},
        {L"Surrogates", loneLow + L"a" + loneHigh + L"😀" + loneHigh},
        {L"Nul", std::wstring(L"a\0b", 3)},
        {L"Min", LONG(INT_MIN)},
        {L"HexRange", LONG(0x80000001 - 0x100000000LL)},
        {L"Third", 1.0 / 3.0},
        {L"Max", DBL_MAX},
        {L"Denormal", 4.9406564584124654e-324},
        {L"NegZero", -0.0},
        {L"Big", 1e300},
        {L"Exact", 123456789.125},
        {L"Whole", -7.0},
        {L"Yes", true},
    };
    ExpectSameForm(ParseForm(WriteForm(f), L"hard"), f);
}

TEST(FormFileWrite, RefusesFormsTheTextCouldNotHold) {
    FormDesc base;
    base.name = L"F";
    auto refused = [&](auto change) {
        FormDesc f = base;
        change(f);
        EXPECT_THROW(WriteForm(f), std::invalid_argument);
    };
    ControlDesc c;
    c.kind = L"ListBox";
    c.name = L"List1";
    refused([](FormDesc& f) { f.name = L"1Form"; });
    refused([](FormDesc& f) { f.props = {{L"X", std::nan("")}}; });
    refused([](FormDesc& f) { f.props = {{L"X", HUGE_VAL}}; });
    refused([](FormDesc& f) { f.props = {{L"Caption", LONG(1)}, {L"CAPTION", LONG(2)}}; });
    refused([](FormDesc& f) { f.props = {{L"Two words", LONG(1)}}; });
    refused([&](FormDesc& f) { f.controls = {c, c}; });
    refused([&](FormDesc& f) {
        f.controls = {c};
        f.controls[0].index = 32768;
    });
    refused([&](FormDesc& f) {
        f.controls = {c};
        f.controls[0].progId = L"P";
    });
    refused([&](FormDesc& f) {
        f.controls = {c};
        f.controls[0].kind = L"Control";
    });
    refused([&](FormDesc& f) {
        f.controls = {c, c};
        f.controls[0].index = 1;
        f.controls[1].index = 2;
        f.controls[1].kind = L"TextBox";
    });
    FormDesc fine = base;
    fine.controls = {c, c};
    fine.controls[0].index = 1;
    fine.controls[1].index = 2;
    EXPECT_NO_THROW(WriteForm(fine));
}

TEST(FormFileProps, FindAndSetIgnoreCaseAndKeepOrder) {
    std::vector<Property> props{{L"Left", LONG(1)}, {L"Caption", std::wstring(L"a")}};
    ASSERT_NE(FindProp(props, L"CAPTION"), nullptr);
    EXPECT_EQ(*FindProp(props, L"caption"), Value(std::wstring(L"a")));
    EXPECT_EQ(FindProp(props, L"Top"), nullptr);
    SetProp(props, L"LEFT", 2.5);
    SetProp(props, L"Top", false);
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[0].name, L"Left");
    EXPECT_EQ(props[0].value, Value(2.5));
    EXPECT_EQ(props[2].name, L"Top");
    EXPECT_EQ(*FindProp(props, L"top"), Value(false));
}
