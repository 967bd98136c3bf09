// A slot that names the innermost of nested runs (an enumeration inside an
// enumeration, a message inside a message): set for
// one scope, and the outer run's value put back when the scope ends.
#pragma once
#include <utility>

namespace kx {

template <class T>
class ScopedSlot {
public:
    ScopedSlot(T*& slot, T* value) : slot_(slot), outer_(std::exchange(slot, value)) {}
    ~ScopedSlot() { slot_ = outer_; }
    ScopedSlot(const ScopedSlot&) = delete;
    ScopedSlot& operator=(const ScopedSlot&) = delete;

private:
    T*& slot_;
    T* const outer_;
};

} // namespace kx
