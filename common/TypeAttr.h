// The attributes of a type (TYPEATTR) or of a type library (TLIBATTR),
// given back to their owner when the holder goes. get() is null when they
// could not be read; status() tells why.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace kx {

template <class Owner, class Attr, HRESULT (STDMETHODCALLTYPE Owner::*Get)(Attr**),
          void (STDMETHODCALLTYPE Owner::*Release)(Attr*)>
class AttrHolder {
public:
    explicit AttrHolder(Owner* owner) : owner_(owner) {
        status_ = owner_ ? (owner_->*Get)(&attr_) : E_POINTER;
        if (FAILED(status_)) attr_ = nullptr;
    }
    ~AttrHolder() {
        if (attr_) (owner_->*Release)(attr_);
    }
    AttrHolder(const AttrHolder&) = delete;
    AttrHolder& operator=(const AttrHolder&) = delete;

    const Attr* get() const { return attr_; }
    const Attr* operator->() const { return attr_; }
    HRESULT status() const { return status_; }

private:
    Owner* owner_;
    Attr* attr_ = nullptr;
    HRESULT status_ = E_FAIL;
};

using TypeAttr = AttrHolder<ITypeInfo, TYPEATTR, &ITypeInfo::GetTypeAttr, &ITypeInfo::ReleaseTypeAttr>;
using LibAttr = AttrHolder<ITypeLib, TLIBATTR, &ITypeLib::GetLibAttr, &ITypeLib::ReleaseTLibAttr>;

} // namespace kx
