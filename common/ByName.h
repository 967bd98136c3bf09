// Properties and collections of automation objects read and written by
// name, the way the control reaches its container and the pages reach the
// selected control and the form: every
// failure is raised (kx::RaisedError) with what the object reported.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include <vector>

#include "ComPtr.h"

namespace kx::byname {

// A member called by name (arguments in call order, by value or by
// reference); raises what the object reports. Every call below goes
// through it, and so do the form runtime's late-bound objects.
void Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANTARG* args, UINT count, VARIANT* result);

std::wstring GetString(IDispatch* object, const wchar_t* name);
// The object's Name.
inline std::wstring NameOf(IDispatch* object) { return GetString(object, L"Name"); }
bool GetBool(IDispatch* object, const wchar_t* name);
// A window handle or another pointer-sized value (Long or LongPtr).
LONG_PTR GetLongPtr(IDispatch* object, const wchar_t* name);
kx::ComPtr<IDispatch> GetObject(IDispatch* object, const wchar_t* name);
void Let(IDispatch* object, const wchar_t* name, const std::wstring& value);
void Let(IDispatch* object, const wchar_t* name, bool value);
void LetLongPtr(IDispatch* object, const wchar_t* name, LONG_PTR value);
// The members of a collection in its own order (one For Each walk).
std::vector<kx::ComPtr<IDispatch>> Members(IDispatch* collection);

} // namespace kx::byname
