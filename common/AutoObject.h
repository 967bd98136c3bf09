// An automation object whose members are defined by name at run time and
// answered through IDispatch: the form runtime builds its forms, controls
// and extenders on it, and tests use it as a stand-in control.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <functional>
#include <string>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"

namespace kx {

// params.rgvarg holds the arguments last first, as IDispatch passes them.
using MemberFn = std::function<HRESULT(WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* ei)>;

class AutoObject : public ComObject<AutoObject, IDispatch> {
public:
    static ComPtr<AutoObject> New();

    // Defines or replaces a member; names are matched without regard to case.
    // A member gets a dispatch id of its own unless one is given (DISPID_VALUE,
    // DISPID_NEWENUM and the like).
    void Define(const std::wstring& name, MemberFn fn, DISPID id = DISPID_UNKNOWN);
    // A read-only property answering a copy of value.
    void DefineValue(const std::wstring& name, const VARIANT& value);
    void DefineLong(const std::wstring& name, LONG value);
    void DefineString(const std::wstring& name, const std::wstring& value);
    void DefineBool(const std::wstring& name, bool value);
    void Remove(const std::wstring& name);
    // Drops every member and the fallback: an object whose owner has gone
    // answers nothing any more (its callers get "member not found").
    void Clear();
    // Names this object does not define are looked up on, and calls
    // forwarded to, another object: by-reference arguments pass through.
    void SetFallback(IDispatch* target);

    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* ei,
                        UINT* argErr) override;

    // Fills ei for a raised error numbered like a VB error, and returns DISP_E_EXCEPTION.
    static HRESULT Raise(EXCEPINFO* ei, LONG number, const std::wstring& description);

private:
    friend class ComObject<AutoObject, IDispatch>;
    AutoObject() = default;
    struct Entry {
        std::wstring upper;
        MemberFn fn;
        DISPID id;
    };
    Entry* Find(DISPID id);
    // Own ids stay clear of the small ids and the 0x6..../0x8...... ranges
    // that controls use, so forwarded ids never collide with them.
    static constexpr DISPID kFirstOwnId = 0x20000001;
    std::vector<Entry> members_;
    ComPtr<IDispatch> fallback_;
};

// Reads argument i (in call order) of an IDispatch call as a 32-bit integer,
// through one level of reference.
LONG ArgLong(DISPPARAMS* p, UINT i);
std::wstring ArgString(DISPPARAMS* p, UINT i);
// The LONG a by-reference argument refers to, or null when it is not one.
LONG* ArgLongRef(DISPPARAMS* p, UINT i);
// The same for a pointer-sized argument (VT_BYREF|VT_I8 in a 64-bit process).
LONG_PTR* ArgLongPtrRef(DISPPARAMS* p, UINT i);

} // namespace kx
