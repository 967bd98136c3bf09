// UTF-8 for saved forms: strict decoding with the line of the first bad byte,
// and encoding.
#pragma once
#include <string>

namespace kxhost::formfile {

// Skips a leading UTF-8 BOM. Rejects overlong forms, encoded surrogates,
// code points above U+10FFFF and cut sequences with a FormFileError that
// names sourceName and the line of the bad byte.
std::wstring DecodeUtf8(const char* bytes, size_t size, const std::wstring& sourceName);

// An unpaired surrogate (never in a written form) becomes U+FFFD.
std::string EncodeUtf8(const std::wstring& text);

} // namespace kxhost::formfile
