#include "FormProps.h"

namespace kxhost {

namespace {
struct AsDouble {
    double operator()(bool b) const { return b ? -1.0 : 0.0; }
    double operator()(LONG v) const { return static_cast<double>(v); }
    double operator()(double v) const { return v; }
    double operator()(const std::wstring& s) const { return _wtof(s.c_str()); }
};
} // namespace

double PropDouble(const std::vector<Property>& props, const wchar_t* name, double def) {
    const Value* v = FindProp(props, name);
    return v ? std::visit(AsDouble{}, *v) : def;
}

LONG PropLong(const std::vector<Property>& props, const wchar_t* name, LONG def) {
    const Value* v = FindProp(props, name);
    if (!v) return def;
    if (auto l = std::get_if<LONG>(v)) return *l;
    return static_cast<LONG>(std::visit(AsDouble{}, *v));
}

bool PropBool(const std::vector<Property>& props, const wchar_t* name, bool def) {
    const Value* v = FindProp(props, name);
    if (!v) return def;
    if (auto b = std::get_if<bool>(v)) return *b;
    return std::visit(AsDouble{}, *v) != 0.0;
}

std::wstring PropString(const std::vector<Property>& props, const wchar_t* name, const std::wstring& def) {
    const Value* v = FindProp(props, name);
    if (!v) return def;
    if (auto s = std::get_if<std::wstring>(v)) return *s;
    if (auto l = std::get_if<LONG>(v)) return std::to_wstring(*l);
    if (auto b = std::get_if<bool>(v)) return *b ? L"True" : L"False";
    return std::to_wstring(std::get<double>(*v));
}

} // namespace kxhost
