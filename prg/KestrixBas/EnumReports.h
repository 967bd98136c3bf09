// Failures inside a callback of a system enumeration (EnumWindows): each is
// reported through the control as it happens, but a report that raises (at
// run time) must not unwind through the system's code, so the first raised
// report is kept and raised once the enumeration has ended.
#pragma once
#include <exception>
#include <optional>

#include "LateBound.h"
#include "ScopeExit.h"

class EnumReports {
public:
    // Runs the enumeration with this as the collector of its callbacks'
    // reports; a nested enumeration has its own, and the outer one's is
    // back when it ends.
    template <class Enumerate>
    void Run(Enumerate&& enumerate) {
        EnumReports* const outer = current_;
        current_ = this;
        kx::ScopeExit back([outer] { current_ = outer; });
        enumerate();
    }
    // From inside a callback: reports the failure through the control.
    static void Report(const std::exception& e) noexcept;
    // After the enumeration: raises the first raised report, if any.
    void RaiseIfAny() const;

private:
    std::optional<kx::AutomationError> first_;
    static EnumReports* current_;
};
