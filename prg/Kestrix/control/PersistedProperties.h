// The seven properties a saved form holds, said once: their keys, their
// defaults and the store they live in. Creating, loading and saving a
// control all go through this one table, in its order.
#pragma once
#include <windows.h>
#include <string>
#include <variant>

namespace kestrix {

class Kestrix;

// A value of the store: TargetHandle is a Long, the modes are Booleans, the rest texts.
using StoreValue = std::variant<LONG, bool, std::wstring>;

// What a default may depend on: the form's Name and the control's own.
struct DefaultNames {
    std::wstring form;
    std::wstring own;
};

struct PersistedProperty {
    const wchar_t* key; // as saved forms hold it; bags match it without case
    StoreValue (*fallback)(const DefaultNames&); // a new control's value, and what is not saved
    StoreValue (*get)(); // the store's value
    void (*put)(const StoreValue&); // straight into the store: no rules, no notifications
    void (*place)(Kestrix&, const StoreValue&); // a control newly placed in a designer: the set operation
};

} // namespace kestrix
