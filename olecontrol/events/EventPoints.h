// The control's two connection points, made on first use: the default
// source (event) interface and IPropertyNotifySink. Firing never fails
// because of a sink: a sink's error or exception stays with it.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <ocidl.h>

#include "ComPtr.h"
#include "ConnectionPoint.h"

namespace kx::ole {

class EventPoints : private kx::NonCopyable {
public:
    // eventIid: nullptr for a control without events.
    EventPoints(IConnectionPointContainer* owner, const IID* eventIid) : owner_(owner), eventIid_(eventIid) {}
    ~EventPoints();

    HRESULT Find(REFIID iid, IConnectionPoint** out);
    HRESULT Enum(IEnumConnectionPoints** out);

    // Invokes every event sink with DISPATCH_METHOD. args are in call order
    // (first argument first) and go as given: VT_BYREF arguments let the
    // handlers' changes come back. S_FALSE: nobody listens.
    HRESULT Fire(DISPID id, VARIANTARG* args, UINT count);
    void NotifyChanged(DISPID id);
    // False when a sink refuses the change (OnRequestEdit answers S_FALSE).
    bool RequestEdit(DISPID id);

private:
    HRESULT Ensure();

    IConnectionPointContainer* owner_;
    const IID* eventIid_;
    ComPtr<ConnectionPoint> events_;
    ComPtr<ConnectionPoint> notify_;
};

} // namespace kx::ole
