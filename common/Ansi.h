// The one place where UTF-16 meets the system's ANSI code page (and UTF-8,
// for the files the build writes).
#pragma once
#include <string>

namespace kx {
std::string ToAnsi(const std::wstring& s);
std::string ToUtf8(const std::wstring& s);
std::wstring FromAnsi(const std::string& s);
std::wstring FromAnsi(const char* s, size_t n);
} // namespace kx
