// Malformed saved forms: each names the source, the line, what was expected
// and what was found.
#include "FormFileTestSupport.h"

using namespace kxhost;

namespace {

// "<source>(<line>): <message>" of the error the text gives.
std::wstring ErrorOf(const std::wstring& text) {
    try {
        ParseForm(text, L"t.frm");
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.text(), e.file() + L"(" + std::to_wstring(e.line()) + L"): " + e.message());
        return e.text();
    }
    return L"(no error)";
}

// A form whose line 3 is the given property line.
std::wstring PropLine(const std::wstring& line) {
    return ErrorOf(L"Form F\n Begin Control K \"P\"\n" + line + L"\n End\nEnd\n");
}

// A text in error, and the message it must give.
struct ErrorCase {
    const wchar_t* text;
    std::wstring message;
};

// Each case through ErrorOf or PropLine.
void ExpectErrors(std::wstring (*errorOf)(const std::wstring&), const std::vector<ErrorCase>& cases) {
    for (const ErrorCase& c : cases) EXPECT_EQ(errorOf(c.text), c.message);
}

} // namespace

TEST(FormFileErrors, MissingOrBadHeader) {
    ExpectErrors(
        ErrorOf,
        {
            {L"", L"t.frm(1): expected the header \"Form <name>\", found the end of the text"},
            {L"' only a comment\n\n", L"t.frm(2): expected the header \"Form <name>\", found the end of the text"},
            {L"\n  Begin ListBox L\n", L"t.frm(2): expected the header \"Form <name>\", found \"Begin\""},
            {L"Form\nEnd\n", L"t.frm(1): expected the form name after Form, found the end of the line"},
            {L"Form F G\nEnd\n", L"t.frm(1): expected the end of the line after Form F, found \"G\""},
            {L"End\n", L"t.frm(1): stray End before the header: expected \"Form <name>\""},
        });
}

TEST(FormFileErrors, TruncatedTextNamesTheLastLineAndWhatIsOpen) {
    ExpectErrors(
        ErrorOf,
        {
            {L"Form F\n Caption = \"x\"\n",
             L"t.frm(2): unexpected end of the text after line 2: expected End to close form F (begun at line 1)"},
            {L"' c\nForm F\n Begin ListBox L(3)\n  Left = 1\n\n",
             L"t.frm(5): unexpected end of the text after line 5: expected End to close ListBox L(3) (begun at line "
             L"3), "
             L"then End to close form F (begun at line 2)"},
        });
}

TEST(FormFileErrors, StrayEndAndTextAfterTheFinalEnd) {
    ExpectErrors(
        ErrorOf,
        {
            {L"Form F\nEnd\n' fine\n  End\n", L"t.frm(4): stray End: form F was already closed by the End at line 2"},
            {L"Form F\nEnd\nForm G\n",
             L"t.frm(3): expected nothing after the End that closes form F (line 2), found \"Form\""},
            {L"Form F\nEnd now\n", L"t.frm(2): expected the end of the line after End, found \"now\""},
        });
}

TEST(FormFileErrors, BeginLines) {
    ExpectErrors(
        ErrorOf,
        {
            {L"Form F\n Begin\n",
             L"t.frm(2): Begin without a kind: expected \"Begin <kind> <name>\", found the end of the line"},
            {L"Form F\n Begin ListBox ' no name\n",
             L"t.frm(2): Begin ListBox without a name: expected \"Begin ListBox <name>\", found the end of the line"},
            {L"Form F\n Begin 3D\n", L"t.frm(2): expected a control kind after Begin, found \"3D\""},
            {L"Form F\n Begin Control K\n",
             L"t.frm(2): Begin Control K without a ProgID: expected a quoted ProgID or {CLSID}, found the end of the "
             L"line"},
            {L"Form F\n Begin Control K \"\"\n",
             L"t.frm(2): empty ProgID for K: expected a ProgID or {CLSID} between the quotes"},
            {L"Form F\n Begin Control K \"P\n",
             L"t.frm(2): unterminated string for the ProgID of K: expected a closing \" before the end of the line"},
            {L"Form F\n Begin ListBox L \"P\"\n",
             L"t.frm(2): expected the end of the line after Begin ListBox L, found \"\"P\"\""},
            {L"Form F\n Begin ListBox L\n Begin ListBox M\n",
             L"t.frm(3): expected End to close ListBox L (begun at line 2) before the next Begin: controls do not "
             L"nest"},
        });
}

TEST(FormFileErrors, ControlArrayIndexes) {
    const wchar_t* expected =
        L"t.frm(2): expected the control array index of C, a whole number from 0 to 32767, found ";
    EXPECT_EQ(ErrorOf(L"Form F\n Begin CommandButton C()\n"), std::wstring(expected) + L"\")\"");
    EXPECT_EQ(ErrorOf(L"Form F\n Begin CommandButton C(-1)\n"), std::wstring(expected) + L"\"-1)\"");
    EXPECT_EQ(ErrorOf(L"Form F\n Begin CommandButton C(1x)\n"), std::wstring(expected) + L"\"1x)\"");
    EXPECT_EQ(ErrorOf(L"Form F\n Begin CommandButton C(32768)\n"),
              L"t.frm(2): number \"32768\" for the control array index of C is out of range: "
              L"expected a whole number from 0 to 32767");
    EXPECT_EQ(ErrorOf(L"Form F\n Begin CommandButton C(1\n"),
              L"t.frm(2): expected \")\" after the control array index of C, found the end of the line");
}

TEST(FormFileErrors, DuplicateControlsAndProperties) {
    EXPECT_EQ(ErrorOf(L"Form F\n Begin ListBox L\n End\n Begin TextBox l\n"),
              L"t.frm(4): duplicate control name l: ListBox L at line 2 has it already "
              L"(only control array members may share a name)");
    EXPECT_EQ(ErrorOf(L"Form F\n Begin ListBox L(1)\n End\n Begin ListBox L(1)\n"),
              L"t.frm(4): duplicate control ListBox L(1): already defined at line 2");
    EXPECT_EQ(ErrorOf(L"Form F\n Begin ListBox L(1)\n End\n Begin TextBox L(2)\n"),
              L"t.frm(4): control array L mixes kinds: expected ListBox as at line 2, found TextBox");
    EXPECT_EQ(ErrorOf(L"Form F\n Caption = 1\n\n CAPTION = 2\n"),
              L"t.frm(4): duplicate property CAPTION in form F: already set at line 2");
    EXPECT_EQ(PropLine(L" Bag Depth = 1\n Left = 1\n Bag DEPTH = 2"),
              L"t.frm(5): duplicate Bag depth in Control K (begun at line 2): already set at line 3");
}

TEST(FormFileErrors, BagOutsideAnActiveXControl) {
    EXPECT_EQ(
        ErrorOf(L"Form F\n Bag x = 1\n"),
        L"t.frm(2): Bag line outside an ActiveX control: expected Bag entries only inside \"Begin Control\" blocks, "
        L"found one in form F");
    EXPECT_EQ(
        ErrorOf(L"Form F\n Begin ListBox L\n  Bag x = 1\n"),
        L"t.frm(3): Bag line outside an ActiveX control: expected Bag entries only inside \"Begin Control\" blocks, "
        L"found one in ListBox L (begun at line 2)");
    EXPECT_EQ(PropLine(L"Bag = 1"), L"(no error)"); // a property named Bag
    EXPECT_EQ(PropLine(L"Bag 1 = 1"), L"t.frm(3): expected a key after Bag, found \"1\"");
    EXPECT_EQ(PropLine(L"Bag k 1"), L"t.frm(3): expected \"=\" after Bag k, found \"1\"");
}

TEST(FormFileErrors, PropertyLines) {
    ExpectErrors(
        PropLine,
        {
            {L"  = 1", L"t.frm(3): expected a property, Begin, End or Bag, found \"=\""},
            {L"Left 1", L"t.frm(3): expected \"=\" after the property name Left, found \"1\""},
            {L"Left =",
             L"t.frm(3): expected a value for property Left (a number, True, False or a quoted string, vbCrLf, vbCr, "
             L"vbLf, vbTab or ChrW(code)), found the end of the line"},
            {L"Left = Yes",
             L"t.frm(3): expected a value for property Left (a number, True, False or a quoted string, vbCrLf, vbCr, "
             L"vbLf, vbTab or ChrW(code)), found \"Yes\""},
            {L"Left 123456789012345678901234567890 x",
             L"t.frm(3): expected \"=\" after the property name Left, found \"123456789012345678901234...\""},
            {L"Left = True False",
             L"t.frm(3): expected the end of the line after the value of property Left, found \"False\""},
        });
}

TEST(FormFileErrors, BadNumbers) {
    ExpectErrors(
        PropLine,
        {
            {L"X = 2147483648",
             L"t.frm(3): number \"2147483648\" for property X is out of range: "
             L"expected a whole number from -2147483648 to 2147483647"},
            {L"X = -99999999999999999999999",
             L"t.frm(3): number \"-99999999999999999999999\" for property X is out of range: "
             L"expected a whole number from -2147483648 to 2147483647"},
            {L"X = &H100000000",
             L"t.frm(3): number \"&H100000000\" for property X is out of range: "
             L"expected at most 8 hexadecimal digits (&HFFFFFFFF)"},
            {L"X = 1e999", L"t.frm(3): number \"1e999\" for property X is out of range for a double"},
            {L"X = 12x",
             L"t.frm(3): bad number for property X: expected a blank or the end of the line after \"12\", found \"x\""},
            {L"X = 1.2.3",
             L"t.frm(3): bad number for property X: expected a blank or the end of the line after \"1.2\", found "
             L"\".3\""},
            {L"X = 5.",
             L"t.frm(3): bad number for property X: expected digits after the decimal point after \"5.\", "
             L"found the end of the line"},
            {L"X = -", L"t.frm(3): bad number for property X: expected digits after \"-\", found the end of the line"},
            {L"X = &G1",
             L"t.frm(3): bad number for property X: expected H (a hexadecimal number is written &H...) after \"&\", "
             L"found \"G1\""},
            {L"X = &H",
             L"t.frm(3): bad number for property X: expected hexadecimal digits after \"&H\", found the end of the "
             L"line"},
            {L"X = 1e+",
             L"t.frm(3): bad number for property X: expected exponent digits after \"1e+\", found the end of the line"},
        });
}

TEST(FormFileErrors, BadStrings) {
    ExpectErrors(
        PropLine,
        {
            {L"Caption = \"open",
             L"t.frm(3): unterminated string for property Caption: expected a closing \" before the end of the line"},
            {L"Caption = \"a\"\"",
             L"t.frm(3): unterminated string for property Caption: expected a closing \" before the end of the line"},
            {L"Caption = \"a\" \"b\"",
             L"t.frm(3): expected \"&\" or the end of the line after the string for property Caption, found \"\"b\"\""},
            {L"Caption = \"a\" &",
             L"t.frm(3): expected a quoted string, vbCrLf, vbCr, vbLf, vbTab or ChrW(code) after \"&\" in property "
             L"Caption, found the end of the line"},
            {L"Caption = ChrW(65536)",
             L"t.frm(3): number \"65536\" for the ChrW code in property Caption is out of range: "
             L"expected a whole number from 0 to 65535"},
            {L"Caption = ChrW 65", L"t.frm(3): expected \"(\" after ChrW in property Caption, found \"65\""},
            {L"Caption = ChrW(65",
             L"t.frm(3): expected \")\" after the ChrW code in property Caption, found the end of the line"},
            {L"Caption = \"\x01\" \x02",
             L"t.frm(3): expected \"&\" or the end of the line after the string for property Caption, found "
             L"\"U+0002\""},
        });
}

TEST(FormFileErrors, WhatOfTheMessageIsUtf8) {
    try {
        ParseForm(L"Form F\n 名前 1\nEnd\n", L"フォーム.frm");
        FAIL() << "no error";
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.file(), L"フォーム.frm");
        EXPECT_EQ(e.line(), 2);
        EXPECT_STREQ(e.what(), u8"フォーム.frm(2): expected \"=\" after the property name 名前, found \"1\"");
    }
}
