// Late-bound calls by member name on any IDispatch, the way VB code calls
// an Object: the caller sees a raised error as number and description.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include <stdexcept>

namespace kx {

// An error as an automation caller sees it (VB's Err object).
struct AutomationError {
    HRESULT hr = S_OK;
    LONG number = 0; // low word of an 0x800A.... status, else the status itself
    std::wstring description;
    std::wstring source;
    std::wstring helpFile;
    DWORD helpContext = 0;
};

// A raised error travelling up through our own code until a boundary
// (a COM method or a window procedure) turns it into a result.
class RaisedError : public std::exception {
public:
    explicit RaisedError(AutomationError e) : err_(std::move(e)) {}
    const AutomationError& error() const { return err_; }
    const char* what() const noexcept override { return "raised automation error"; }

private:
    AutomationError err_;
};

// Status of an error raised with a VB-style number.
inline HRESULT VbErrorStatus(LONG number) { return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number & 0xFFFF); }

// The error a VB caller sees for a failed call that carries no exception of its own.
AutomationError ErrorFromStatus(HRESULT hr);
// Turns a C++ failure caught at a trap into the runtime error VB would report.
AutomationError ErrorFromException(const std::exception& e);

HRESULT GetDispId(IDispatch* obj, const wchar_t* name, DISPID* id);

// args are given in call order (first argument first), as by-value or by-reference variants.
HRESULT InvokeId(IDispatch* obj, DISPID id, WORD flags, VARIANTARG* args, UINT count, VARIANT* result,
                 AutomationError* err);
HRESULT InvokeByName(IDispatch* obj, const wchar_t* name, WORD flags, VARIANTARG* args, UINT count, VARIANT* result,
                     AutomationError* err);

HRESULT GetProperty(IDispatch* obj, const wchar_t* name, VARIANT* result, AutomationError* err = nullptr);
HRESULT PutProperty(IDispatch* obj, const wchar_t* name, VARIANT value, AutomationError* err = nullptr);

// A member of an object that names its members from a table of its own.
struct NamedId {
    const wchar_t* name;
    DISPID id;
};
// IDispatch::GetIDsOfNames over such a table: one name, matched without
// regard to case; no named arguments.
HRESULT IdsOfNames(const NamedId* table, size_t size, LPOLESTR* names, UINT count, DISPID* ids);
template <size_t N>
HRESULT IdsOfNames(const NamedId (&table)[N], LPOLESTR* names, UINT count, DISPID* ids) {
    return IdsOfNames(table, N, names, count, ids);
}

} // namespace kx
