// Names in saved forms: what an identifier is, and keywords. Names are
// compared without regard to case with kx::SameTextNoCase (Text.h).
#pragma once
#include <string>

namespace kxhost::formfile {

// Identifiers start with a letter or "_" (controls persist keys such as
// _ExtentX); letters include non-ASCII ones, since Japanese forms name their
// controls in Japanese.
bool IsIdentStart(wchar_t c);
bool IsIdentChar(wchar_t c);
bool IsIdentifier(const std::wstring& s);

// ASCII-only comparison for keywords.
bool IsKeyword(const std::wstring& word, const wchar_t* keyword);

} // namespace kxhost::formfile
