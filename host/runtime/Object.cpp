#include "Object.h"
#include "Bstr.h"
#include "ByName.h"
#include "LateBound.h"
#include "ScopeExit.h"
#include <vector>

namespace kxhost {

bool Object::Is(const Object& o) const { return kx::SameObject(d_.Get(), o.d_.Get()); }

Var Object::Invoke(const wchar_t* name, WORD flags, std::initializer_list<Arg> args) const {
    if (!d_) throw kx::RaisedError(kx::ErrorFromStatus(E_POINTER));
    // Referenced variables travel as variants of their own and are copied back after the call.
    std::vector<Var> held(args.size());
    std::vector<VARIANTARG> va(args.size());
    size_t i = 0;
    for (const Arg& a : args) {
        Var& h = held[i];
        VARIANTARG& v = va[i];
        if (a.long_) {
            h = Var(*a.long_);
            V_VT(&v) = VT_BYREF | VT_I4;
            V_I4REF(&v) = &V_I4(h.get());
        } else if (a.string_) {
            h = Var(*a.string_);
            V_VT(&v) = VT_BYREF | VT_BSTR;
            V_BSTRREF(&v) = &V_BSTR(h.get());
        } else if (a.bool_) {
            h = Var(*a.bool_);
            V_VT(&v) = VT_BYREF | VT_BOOL;
            V_BOOLREF(&v) = &V_BOOL(h.get());
        } else if (a.var_) {
            V_VT(&v) = VT_BYREF | VT_VARIANT;
            V_VARIANTREF(&v) = a.var_->get();
        } else {
            v = *a.value_.get();
        }
        ++i;
    }
    // The caller's variables learn what the callee left in them, also when it raised.
    kx::ScopeExit copyBack([&] {
        size_t k = 0;
        for (const Arg& a : args) {
            const Var& h = held[k++];
            if (a.long_) *a.long_ = V_I4(h.get());
            else if (a.string_) {
                try {
                    *a.string_ = kx::FromBstr(V_BSTR(h.get()));
                } catch (const std::bad_alloc&) {
                    // no memory for the text: the variable keeps what it had
                }
            } else if (a.bool_) *a.bool_ = V_BOOL(h.get()) != VARIANT_FALSE;
        }
    });
    Var result;
    kx::byname::Invoke(d_.Get(), name, flags, va.data(), static_cast<UINT>(va.size()),
                       (flags & DISPATCH_PROPERTYPUT) ? nullptr : result.get());
    return result;
}

Var Object::Call(const wchar_t* name, std::initializer_list<Arg> args) const {
    return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
}

void Object::Let(const wchar_t* name, const Arg& value) const { Invoke(name, DISPATCH_PROPERTYPUT, {value}); }

void Object::Set(const wchar_t* name, IDispatch* value) const { Invoke(name, DISPATCH_PROPERTYPUTREF, {Arg(value)}); }

} // namespace kxhost
