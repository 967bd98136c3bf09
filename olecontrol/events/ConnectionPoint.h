// One connection point: an array of sinks, cookie = index + 1 (a freed slot
// is reused). The owner fires through ForEachSink; the point keeps only a
// plain pointer to its owner, cleared by Detach when the owner goes.
#pragma once
#include <windows.h>
#include "Enumerator.h"
#include <ocidl.h>
#include <olectl.h>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"

namespace kx::ole {

class ConnectionPoint : public ComObject<ConnectionPoint, IConnectionPoint> {
public:
    void Detach() { owner_ = nullptr; }
    bool HasSinks() const;

    // Calls f(sink) for every sink: sink is the interface of this point's
    // IID (or IDispatch, see acceptDispatch). Sinks may advise or unadvise
    // during the walk; each is held while it is called.
    template <class F>
    void ForEachSink(F&& f) {
        for (size_t i = 0; i < sinks_.size(); ++i) {
            ComPtr<IUnknown> sink = sinks_[i];
            if (sink) f(sink.Get());
        }
    }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

private:
    friend class ComObject<ConnectionPoint, IConnectionPoint>;
    // acceptDispatch: a sink that does not answer iid but answers IDispatch
    // is taken as well (event dispinterfaces are called through IDispatch).
    ConnectionPoint(IConnectionPointContainer* owner, const IID& iid, bool acceptDispatch)
        : owner_(owner), iid_(iid), acceptDispatch_(acceptDispatch) {}

    IConnectionPointContainer* owner_;
    IID iid_;
    bool acceptDispatch_;
    std::vector<ComPtr<IUnknown>> sinks_;
};

// The enumerators of connections and connection points.
struct ConnectionTraits {
    static constexpr bool kFetchedOptional = false;
    struct Stored {
        ComPtr<IUnknown> sink;
        DWORD cookie;
    };
    static CONNECTDATA HandOut(const Stored& s) {
        if (s.sink) s.sink->AddRef();
        return CONNECTDATA{s.sink.Get(), s.cookie};
    }
};
using ConnectionEnumerator = kx::Enumerator<IEnumConnections, CONNECTDATA, ConnectionTraits>;

struct ConnectionPointTraits {
    static constexpr bool kFetchedOptional = false;
    using Stored = ComPtr<IConnectionPoint>;
    static IConnectionPoint* HandOut(const Stored& s) {
        if (s) s->AddRef();
        return s.Get();
    }
};
using ConnectionPointEnumerator = kx::Enumerator<IEnumConnectionPoints, IConnectionPoint*, ConnectionPointTraits>;

} // namespace kx::ole
