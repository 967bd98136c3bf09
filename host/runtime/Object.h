// Late-bound calls from C++ on any automation object, the way VB code calls
// an Object: members by name, arguments by value or by reference, and a
// failing call raises kx::RaisedError with the number, description, help
// file and help context that VB's Err would show.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <initializer_list>
#include <string>

#include "ComPtr.h"
#include "Var.h"

namespace kxhost {

// One argument of a call: a value, or a reference to a caller's variable
// that the callee may change.
class Arg {
public:
    Arg(const Var& v) : value_(v) {}
    Arg(LONG v) : value_(v) {}
    Arg(int v) : value_(static_cast<LONG>(v)) {}
    Arg(bool v) : value_(v) {}
    Arg(const wchar_t* v) : value_(v) {}
    Arg(const std::wstring& v) : value_(v) {}
    Arg(IDispatch* v) : value_(v) {}
    static Arg Ref(LONG& v) {
        Arg a;
        a.long_ = &v;
        return a;
    }
    static Arg Ref(std::wstring& v) {
        Arg a;
        a.string_ = &v;
        return a;
    }
    static Arg Ref(bool& v) {
        Arg a;
        a.bool_ = &v;
        return a;
    }
    static Arg Ref(Var& v) {
        Arg a;
        a.var_ = &v;
        return a;
    }

private:
    friend class Object;
    Arg() = default;
    Var value_;
    LONG* long_ = nullptr;
    std::wstring* string_ = nullptr;
    bool* bool_ = nullptr;
    Var* var_ = nullptr;
};

class Object {
public:
    Object() = default;
    Object(IDispatch* d) : d_(d) {}
    Object(kx::ComPtr<IDispatch> d) : d_(std::move(d)) {}
    explicit Object(const Var& v) : d_(v.AsObject()) {}

    IDispatch* get() const { return d_.Get(); }
    explicit operator bool() const { return d_ != nullptr; }
    bool Is(const Object& o) const; // identity, as VB's Is compares

    Var Call(const wchar_t* name, std::initializer_list<Arg> args = {}) const;
    void Let(const wchar_t* name, const Arg& value) const;
    void Set(const wchar_t* name, IDispatch* value) const;

private:
    Var Invoke(const wchar_t* name, WORD flags, std::initializer_list<Arg> args) const;
    kx::ComPtr<IDispatch> d_;
};

} // namespace kxhost
