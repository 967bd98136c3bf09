#include "ConnectionPoint.h"

#include "Enumerator.h"
#include "ReturnIf.h"

namespace kx::ole {

bool ConnectionPoint::HasSinks() const {
    for (const auto& s : sinks_) {
        if (s) return true;
    }
    return false;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    RETURN_HR_IF_NULL(E_POINTER, iid);
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = owner_;
    RETURN_HR_IF_NULL(E_UNEXPECTED, owner_);
    owner_->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    RETURN_HR_IF_NULL(E_POINTER, cookie);
    *cookie = 0;
    RETURN_HR_IF_NULL(E_POINTER, sink);
    ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(typed.GetAddressOf())))) {
        if (!acceptDispatch_ ||
            FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(typed.GetAddressOf())))) {
            return CONNECT_E_CANNOTCONNECT;
        }
    }
    try {
        size_t slot = 0;
        while (slot < sinks_.size() && sinks_[slot]) ++slot;
        if (slot == sinks_.size()) sinks_.emplace_back();
        sinks_[slot] = std::move(typed);
        *cookie = static_cast<DWORD>(slot + 1);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    RETURN_HR_IF(CONNECT_E_NOCONNECTION, cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1]);
    // Released after the slot is cleared: the sink's Release may call back.
    ComPtr<IUnknown> gone = std::move(sinks_[cookie - 1]);
    sinks_[cookie - 1] = nullptr;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    try {
        std::vector<ConnectionTraits::Stored> items;
        for (size_t i = 0; i < sinks_.size(); ++i) {
            if (sinks_[i]) items.push_back({sinks_[i], static_cast<DWORD>(i + 1)});
        }
        ComPtr<ConnectionEnumerator> e;
        RETURN_IF_FAILED(ConnectionEnumerator::Make(e, std::move(items), size_t{0}));
        *out = e.Detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace kx::ole
