// The value syntax of saved forms, read and written the same way:
//   integer  -?digits | &Hhex[&]        (32 bits; hex is the bit pattern)
//   double   -?digits.digits[E[+-]digits] | -?digitsE[+-]digits
//   boolean  True | False
//   string   piece { & piece }, piece = "text with "" for a quote"
//            | vbCrLf | vbCr | vbLf | vbTab | ChrW(integer 0..65535)
#pragma once
#include "FormFile.h"
#include "FormFileCursor.h"

namespace kxhost::formfile {

// what names the value in messages, e.g. "property Left".
Value ReadValue(LineCursor& in, const std::wstring& what);
// A decimal whole number from low to high, for control array indexes.
LONG ReadWholeNumber(LineCursor& in, LONG low, LONG high, const std::wstring& what);

// Text that ReadValue reads back as the same value. A double must be finite.
std::wstring FormatValue(const Value& value);

} // namespace kxhost::formfile
