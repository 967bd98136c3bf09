// Small text helpers with the rules the control's texts follow.
#pragma once
#include <windows.h>
#include <string>

namespace kx {

// Removes leading and trailing U+0020 only: tabs and other blanks stay.
std::wstring TrimBlanks(const std::wstring& s);
// Case folding of the system's (CharUpperBuffW, CharLowerBuffW), one way for all.
std::wstring UpperCase(std::wstring s);
std::wstring LowerCase(std::wstring s);
// The same text but for case: how names and keys of controls are matched.
bool SameTextNoCase(const std::wstring& a, const std::wstring& b);
// Signed decimal text with no padding ("-5", "0", "2147483647"); pointer-
// sized values of a 64-bit build in full ("-4294967296").
std::wstring Decimal(LONGLONG v);
// Writes the signed decimal of v into buf (at least 12 chars); returns its length.
int DecimalInto(LONG v, wchar_t* buf);
// The same in ASCII digits, which every ANSI code page spells alike, for
// texts written in it (at least 21 chars); returns its length.
int DecimalInto(LONGLONG v, char* buf);

} // namespace kx
