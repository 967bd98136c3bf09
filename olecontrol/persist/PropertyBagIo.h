// Reading and writing one property of a control through an IPropertyBag,
// with a default the way VB's ReadProperty and WriteProperty take one:
// a property the bag does not hold (E_INVALIDARG) reads as the default;
// a value equal to its default is not written unless saveAll.
// Other failures of the bag (a value that does not convert) are returned.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <string>

namespace kx::ole {

// value: VT_EMPTY on entry; receives the stored value converted to vt, or
// a copy of def. S_FALSE: the default was taken.
HRESULT ReadProperty(IPropertyBag* bag, const wchar_t* name, VARTYPE vt, const VARIANT& def, VARIANT* value,
                     IErrorLog* log = nullptr);
HRESULT WriteProperty(IPropertyBag* bag, const wchar_t* name, const VARIANT& value, const VARIANT& def, BOOL saveAll);

// One name per operation, overloaded by the value's type (a text, a Long,
// a Boolean), so code generic over the type calls it as it is.
HRESULT ReadValue(IPropertyBag* bag, const wchar_t* name, const std::wstring& def, std::wstring* value,
                  IErrorLog* log = nullptr);
HRESULT ReadValue(IPropertyBag* bag, const wchar_t* name, const LONG& def, LONG* value, IErrorLog* log = nullptr);
HRESULT ReadValue(IPropertyBag* bag, const wchar_t* name, const bool& def, bool* value, IErrorLog* log = nullptr);
HRESULT WriteValue(IPropertyBag* bag, const wchar_t* name, const std::wstring& value, const std::wstring& def,
                   BOOL saveAll);
HRESULT WriteValue(IPropertyBag* bag, const wchar_t* name, const LONG& value, const LONG& def, BOOL saveAll);
HRESULT WriteValue(IPropertyBag* bag, const wchar_t* name, const bool& value, const bool& def, BOOL saveAll);

} // namespace kx::ole
