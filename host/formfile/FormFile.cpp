// FormFileError and the property look-ups.
#include "FormFile.h"
#include "Text.h"
#include "FormFileNames.h"
#include "FormFileUtf8.h"

namespace kxhost {

FormFileError::FormFileError(std::wstring file, int line, std::wstring message)
    : std::runtime_error(formfile::EncodeUtf8(file + L"(" + std::to_wstring(line) + L"): " + message)),
      file_(std::move(file)), line_(line), message_(std::move(message)) {}

std::wstring FormFileError::text() const { return file_ + L"(" + std::to_wstring(line_) + L"): " + message_; }

const Value* FindProp(const std::vector<Property>& props, const std::wstring& name) {
    for (const Property& p : props) {
        if (kx::SameTextNoCase(p.name, name)) return &p.value;
    }
    return nullptr;
}

void SetProp(std::vector<Property>& props, const std::wstring& name, Value value) {
    for (Property& p : props) {
        if (kx::SameTextNoCase(p.name, name)) {
            p.value = std::move(value);
            return;
        }
    }
    props.push_back({name, std::move(value)});
}

} // namespace kxhost
