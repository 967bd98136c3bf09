// What WriteForm throws for a form the text cannot hold, with the reason in
// full Unicode, so SaveFormFile can report it as a FormFileError.
#pragma once
#include <stdexcept>
#include <string>

namespace kxhost::formfile {

class Unwritable : public std::invalid_argument {
public:
    explicit Unwritable(const std::wstring& reason);
    const std::wstring& reason() const { return reason_; }

private:
    std::wstring reason_;
};

} // namespace kxhost::formfile
