// WriteForm: the text ParseForm reads back as the same form. A form that
// text could not hold (a name that is no identifier, a duplicate, an index
// out of range, NaN) is refused with Unwritable (a std::invalid_argument)
// rather than written as a file that would not load.
#include "FormFileWrite.h"
#include "Text.h"
#include "FormFile.h"
#include "FormFileNames.h"
#include "FormFileUtf8.h"
#include "FormFileValues.h"
#include <cmath>

namespace kxhost {

using namespace formfile;

namespace formfile {
Unwritable::Unwritable(const std::wstring& reason)
    : std::invalid_argument("WriteForm: " + EncodeUtf8(reason)), reason_(reason) {}
} // namespace formfile

namespace {

constexpr LONG kMaxIndex = 32767;
const wchar_t kIndent[] = L"    ";
const wchar_t kNewLine[] = L"\r\n";

[[noreturn]] void Refuse(const std::wstring& reason) { throw Unwritable(reason); }

void CheckName(const std::wstring& name, const std::wstring& what) {
    if (!IsIdentifier(name)) Refuse(what + L" \"" + name + L"\" is not an identifier");
}

void WriteProps(std::wstring& out, const std::vector<Property>& props, const wchar_t* indent, const wchar_t* prefix,
                const std::wstring& owner) {
    std::vector<std::wstring> seen;
    for (const Property& p : props) {
        CheckName(p.name, L"a property name in " + owner);
        std::wstring folded = kx::LowerCase(p.name);
        for (const std::wstring& s : seen) {
            if (s == folded) Refuse(L"property " + p.name + L" appears twice in " + owner);
        }
        seen.push_back(std::move(folded));
        if (const double* d = std::get_if<double>(&p.value); d && !std::isfinite(*d))
            Refuse(L"property " + p.name + L" in " + owner + L" is not a finite number");
        out += indent;
        out += prefix;
        out += *prefix ? kx::LowerCase(p.name) : p.name;
        out += L" = " + FormatValue(p.value) + kNewLine;
    }
}

// Checks controls[i] against itself and the controls before it.
void CheckControl(const std::vector<ControlDesc>& controls, size_t i) {
    const ControlDesc& c = controls[i];
    CheckName(c.kind, L"the kind of control " + c.name);
    CheckName(c.name, L"a control name");
    if (c.index && (*c.index < 0 || *c.index > kMaxIndex))
        Refuse(L"the index of " + c.name + L" is " + std::to_wstring(*c.index) + L", outside 0 to 32767");
    const bool activeX = IsKeyword(c.kind, L"Control");
    if (activeX && c.progId.empty()) Refuse(L"ActiveX control " + c.name + L" has no ProgID");
    if (!activeX && (!c.progId.empty() || !c.bag.empty()))
        Refuse(L"control " + c.name + L" has a ProgID or Bag entries but its kind is " + c.kind + L", not Control");
    for (wchar_t ch : c.progId) {
        if (ch < 0x20 || ch == 0x7F) Refuse(L"the ProgID of " + c.name + L" holds a control character");
    }
    for (size_t k = 0; k < i; ++k) {
        const ControlDesc& o = controls[k];
        if (kx::SameTextNoCase(o.name, c.name) &&
            (!o.index || !c.index || *o.index == *c.index || !kx::SameTextNoCase(o.kind, c.kind)))
            Refuse(L"control name " + c.name + L" is used twice outside one control array");
    }
}

std::wstring Quote(const std::wstring& s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) out += c == L'"' ? L"\"\"" : std::wstring(1, c);
    return out + L"\"";
}

} // namespace

std::wstring WriteForm(const FormDesc& form) {
    CheckName(form.name, L"the form name");
    std::wstring out = L"' Kestrix saved form";
    out += kNewLine;
    out += L"Form " + form.name + kNewLine;
    WriteProps(out, form.props, kIndent, L"", L"form " + form.name);
    for (size_t i = 0; i < form.controls.size(); ++i) {
        const ControlDesc& c = form.controls[i];
        CheckControl(form.controls, i);
        const bool activeX = IsKeyword(c.kind, L"Control");
        out += kIndent;
        out += L"Begin " + (activeX ? std::wstring(L"Control") : c.kind) + L" " + c.name;
        if (c.index) out += L"(" + std::to_wstring(*c.index) + L")";
        if (activeX) out += L" " + Quote(c.progId);
        out += kNewLine;
        const std::wstring inner = std::wstring(kIndent) + kIndent;
        WriteProps(out, c.props, inner.c_str(), L"", L"control " + c.name);
        WriteProps(out, c.bag, inner.c_str(), L"Bag ", L"the Bag of " + c.name);
        out += kIndent;
        out += L"End";
        out += kNewLine;
    }
    out += L"End";
    out += kNewLine;
    return out;
}

} // namespace kxhost
