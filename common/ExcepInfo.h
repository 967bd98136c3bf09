// Owner of the EXCEPINFO an IDispatch::Invoke may fill in: what the callee
// deferred is filled in before it is read or let go, and its strings are
// freed when it goes, whether or not anyone read them.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <initializer_list>

namespace kx {

class ExcepInfo {
public:
    ExcepInfo() = default;
    ~ExcepInfo() {
        Filled();
        // Most calls raise nothing: no string to free, no call to make.
        for (BSTR s : {ei_.bstrSource, ei_.bstrDescription, ei_.bstrHelpFile})
            if (s) SysFreeString(s);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;

    // For the call to fill in.
    EXCEPINFO* get() { return &ei_; }
    // The whole exception, deferred part included. Strings taken out of it
    // (set to null) are the taker's to free.
    EXCEPINFO& Filled() {
        if (auto fill = ei_.pfnDeferredFillIn) {
            ei_.pfnDeferredFillIn = nullptr;
            fill(&ei_);
        }
        return ei_;
    }

private:
    EXCEPINFO ei_{};
};

// IDispatch takes its arguments last first: a shallow copy of args in that
// order, owning nothing, for calls of at most N arguments.
template <UINT N>
struct ReversedArgs {
    VARIANTARG items[N];
    ReversedArgs(const VARIANTARG* args, UINT count) {
        for (UINT i = 0; i < count && i < N; ++i) items[i] = args[count - 1 - i];
    }
};

} // namespace kx
