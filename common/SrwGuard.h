// A system slim reader/writer lock held exclusively for a scope: the one lock
// of the control's paths, which must not use the thread library (its records
// per load outlive an unloaded library).
#pragma once
#include <windows.h>

namespace kx {

class SrwGuard {
public:
    explicit SrwGuard(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~SrwGuard() { ReleaseSRWLockExclusive(&lock_); }
    SrwGuard(const SrwGuard&) = delete;
    SrwGuard& operator=(const SrwGuard&) = delete;

private:
    SRWLOCK& lock_;
};

} // namespace kx
