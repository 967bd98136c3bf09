// Failures inside a callback of a system enumeration (EnumWindows): each is
// reported through the control as it happens, but a report that raises (at
// run time) must not unwind through the system's code, so the first raised
// report is kept and raised once the enumeration has ended. Each thread has
// its own innermost enumeration, in its engine state.
#pragma once
#include <exception>
#include <optional>

#include "LateBound.h"
#include "ScopedSlot.h"

class EnumReports {
public:
    // Runs the enumeration with this as the collector of its callbacks'
    // reports; a nested enumeration has its own, and the outer one's is
    // back when it ends.
    template <class Enumerate>
    void Run(Enumerate&& enumerate) {
        const kx::ScopedSlot<EnumReports> innermost(Innermost(), this);
        enumerate();
    }
    // From inside a callback: reports the failure through the control.
    static void Report(const std::exception& e) noexcept;
    // After the enumeration: raises the first raised report, if any.
    void RaiseIfAny() const;

private:
    // The slot of the thread's innermost collector.
    static EnumReports*& Innermost();

    std::optional<kx::AutomationError> first_;
};
