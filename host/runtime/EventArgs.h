// The arguments of one event as a handler sees them: in call order, readable
// as values, and writable where the source passed them by reference.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include <vector>

#include "Object.h"
#include "Var.h"

namespace kxhost {

class EventArgs {
public:
    // params.rgvarg holds the arguments last first, as IDispatch passes them.
    explicit EventArgs(DISPPARAMS* params) : params_(params) {}
    UINT Count() const { return params_ ? params_->cArgs : 0; }
    Var operator[](UINT i) const { return Var::Copy(Raw(i)); }
    LONG Long(UINT i) const { return (*this)[i].AsLong(); }
    LONG_PTR LongPtr(UINT i) const { return (*this)[i].AsLongPtr(); }
    std::wstring String(UINT i) const { return (*this)[i].AsString(); }
    bool Bool(UINT i) const { return (*this)[i].AsBool(); }
    Object Obj(UINT i) const { return Object((*this)[i]); }
    // A safe array of strings (FileDrop's Files) as a vector.
    std::vector<std::wstring> Strings(UINT i) const;

    // Writes through a by-reference argument; raises 424-like errors when it is by value.
    void SetLong(UINT i, LONG v);
    void SetLongPtr(UINT i, LONG_PTR v);
    void SetBool(UINT i, bool v);

    VARIANTARG& Raw(UINT i) const;

private:
    DISPPARAMS* params_;
};

} // namespace kxhost
