// Runs a piece of code when the scope ends, however it ends (as
// wil::scope_exit): for undoing what one function did, where no owner
// class fits. The code must not throw.
#pragma once
#include <utility>

namespace kx {

template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (armed_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    // The undo is no longer wanted.
    void Dismiss() { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

} // namespace kx
