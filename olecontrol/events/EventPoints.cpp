#include "EventPoints.h"
#include "ExcepInfo.h"
#include "Variant.h"

#include <vector>

#include "Enumerator.h"
#include "ReturnIf.h"

namespace kx::ole {

namespace {
constexpr UINT kMaxEventArgs = 32;
}

EventPoints::~EventPoints() {
    if (events_) events_->Detach();
    if (notify_) notify_->Detach();
}

HRESULT EventPoints::Ensure() {
    if (!notify_) RETURN_IF_FAILED(ConnectionPoint::Make(notify_, owner_, IID_IPropertyNotifySink, false));
    if (eventIid_ && !events_) RETURN_IF_FAILED(ConnectionPoint::Make(events_, owner_, *eventIid_, true));
    return S_OK;
}

HRESULT EventPoints::Find(REFIID iid, IConnectionPoint** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    RETURN_IF_FAILED(Ensure());
    ConnectionPoint* point = nullptr;
    if (iid == IID_IPropertyNotifySink) point = notify_.Get();
    else if (eventIid_ && iid == *eventIid_) point = events_.Get();
    RETURN_HR_IF_NULL(CONNECT_E_NOCONNECTION, point);
    point->AddRef();
    *out = point;
    return S_OK;
}

HRESULT EventPoints::Enum(IEnumConnectionPoints** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    RETURN_IF_FAILED(Ensure());
    try {
        std::vector<ComPtr<IConnectionPoint>> points;
        if (events_) points.emplace_back(events_.Get());
        points.emplace_back(notify_.Get());
        ComPtr<ConnectionPointEnumerator> e;
        RETURN_IF_FAILED(ConnectionPointEnumerator::Make(e, std::move(points), size_t{0}));
        *out = e.Detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT EventPoints::Fire(DISPID id, VARIANTARG* args, UINT count) {
    RETURN_HR_IF(E_INVALIDARG, count > kMaxEventArgs || (count && !args));
    ComPtr<ConnectionPoint> point = events_; // held: a handler may release the control
    if (!point || !point->HasSinks()) return S_FALSE;
    ReversedArgs<kMaxEventArgs> reversed(args, count);
    point->ForEachSink([&](IUnknown* sink) {
        auto* handler = static_cast<IDispatch*>(sink); // what Advise asked the sink for
        DISPPARAMS dp{count ? reversed.items : nullptr, nullptr, count, 0};
        Variant result;
        ExcepInfo ei; // what a handler raises stays with its container
        UINT argErr = 0;
        handler->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, result.get(), ei.get(), &argErr);
    });
    return S_OK;
}

void EventPoints::NotifyChanged(DISPID id) {
    ComPtr<ConnectionPoint> point = notify_;
    if (!point) return;
    point->ForEachSink([&](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(id); });
}

bool EventPoints::RequestEdit(DISPID id) {
    ComPtr<ConnectionPoint> point = notify_;
    if (!point) return true;
    bool allowed = true;
    point->ForEachSink([&](IUnknown* sink) {
        if (allowed && static_cast<IPropertyNotifySink*>(sink)->OnRequestEdit(id) == S_FALSE) allowed = false;
    });
    return allowed;
}

} // namespace kx::ole
