// A base for classes that hold something that must not be duplicated (a
// window, a timer, a registration): neither copied nor moved.
#pragma once

namespace kx {

class NonCopyable {
public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;

protected:
    NonCopyable() = default;
    ~NonCopyable() = default;
};

} // namespace kx
