// Helpers for reading a saved form's property values.
#pragma once
#include <string>

#include "FormFile.h"

namespace kxhost {

LONG PropLong(const std::vector<Property>& props, const wchar_t* name, LONG def);
bool PropBool(const std::vector<Property>& props, const wchar_t* name, bool def);
double PropDouble(const std::vector<Property>& props, const wchar_t* name, double def);
std::wstring PropString(const std::vector<Property>& props, const wchar_t* name, const std::wstring& def);

} // namespace kxhost
