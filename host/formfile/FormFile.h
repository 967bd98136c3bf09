// Saved forms: a text file that describes a form, its controls and the
// persisted properties of each ActiveX control on it.
#pragma once
#include <windows.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kxhost {

// A property value as a saved form holds it.
using Value = std::variant<bool, LONG, double, std::wstring>;

struct Property {
    std::wstring name;
    Value value;
};

struct ControlDesc {
    std::wstring kind; // ListBox, CommandButton, TextBox, CheckBox, Label, or Control (ActiveX)
    std::wstring progId; // ActiveX only: a ProgID or a {CLSID}
    std::wstring name;
    std::optional<LONG> index; // member of a control array
    std::vector<Property> props; // Left, Top, Width, Height, Caption, Text, TabIndex, Sorted, MultiSelect, Font...
    std::vector<Property> bag; // ActiveX only: the control's persisted properties, keys in lower case
    int line = 0; // where the control begins in the file
};

struct FormDesc {
    std::wstring name;
    std::vector<Property> props; // Caption, ClientWidth, ClientHeight, Left, Top, Font...
    std::vector<ControlDesc> controls; // in file order
    std::wstring source; // the file (or resource) it was read from, for errors; not written
};

// A saved form that cannot be read: names the file and the line.
class FormFileError : public std::runtime_error {
public:
    FormFileError(std::wstring file, int line, std::wstring message);
    const std::wstring& file() const { return file_; }
    int line() const { return line_; }
    const std::wstring& message() const { return message_; }
    // "<file>(<line>): <message>"
    std::wstring text() const;

private:
    std::wstring file_;
    int line_;
    std::wstring message_;
};

FormDesc ParseForm(const std::wstring& text, const std::wstring& sourceName);
std::wstring WriteForm(const FormDesc& form);

// UTF-8 files and resources (type RCDATA) hold the text.
FormDesc LoadFormFile(const std::wstring& path);
void SaveFormFile(const FormDesc& form, const std::wstring& path);
// module null: the running program.
FormDesc LoadFormResource(HMODULE module, const wchar_t* resourceName);

// Look-ups by name without regard to case; null when absent.
const Value* FindProp(const std::vector<Property>& props, const std::wstring& name);
void SetProp(std::vector<Property>& props, const std::wstring& name, Value value);

} // namespace kxhost
