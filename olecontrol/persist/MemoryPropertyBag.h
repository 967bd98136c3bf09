// A property bag held in memory: what a container hands a control to load
// from and save into, and what the control base uses under
// IPersistStreamInit. Names are matched without regard to case (a saved
// "DebugFile" answers a read of "Debugfile"); values are VARIANTs.
// Save/LoadFrom give it a stream form (see VariantStream.h):
//   DWORD 'KXPB' (0x4250584B), DWORD version 1, DWORD count,
//   then per property: its name as a text, its value as a variant.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <string>
#include <utility>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"

namespace kx::ole {

class MemoryPropertyBag : public ComObject<MemoryPropertyBag, IPropertyBag> {
public:
    static HRESULT Create(ComPtr<MemoryPropertyBag>& out) { return Make(out); }

    // IPropertyBag. Read: pVar's type on entry is the type wanted
    // (VT_EMPTY: as stored); E_INVALIDARG when the name is not there.
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

    // The same from C++. Names keep the spelling of their first write.
    HRESULT Get(const wchar_t* name, VARIANT* value) const; // value: empty on entry
    HRESULT Set(const wchar_t* name, const VARIANT& value);
    bool Has(const wchar_t* name) const;
    bool Remove(const wchar_t* name);
    void Clear();
    size_t Count() const { return items_.size(); }
    const std::wstring& NameAt(size_t i) const { return items_[i].name; }

    // Writes every property to s. Fails (writing part) with
    // DISP_E_BADVARTYPE for a value with no stream form.
    HRESULT Save(IStream* s) const;
    // Replaces the contents with what s holds; on failure the bag is empty.
    HRESULT LoadFrom(IStream* s);

private:
    friend class ComObject<MemoryPropertyBag, IPropertyBag>;
    MemoryPropertyBag() = default;

    // One property; owns its value and moves it along with itself.
    struct Item {
        Item() { VariantInit(&value); }
        ~Item() { VariantClear(&value); }
        Item(Item&& o) noexcept : name(std::move(o.name)), key(std::move(o.key)), value(o.value) {
            VariantInit(&o.value);
        }
        Item& operator=(Item&& o) noexcept {
            if (this != &o) {
                name = std::move(o.name);
                key = std::move(o.key);
                VariantClear(&value);
                value = o.value;
                VariantInit(&o.value);
            }
            return *this;
        }
        Item(const Item&) = delete;
        Item& operator=(const Item&) = delete;

        std::wstring name;
        std::wstring key; // upper case, for matching
        VARIANT value;
    };
    const Item* Find(const wchar_t* name) const;

    std::vector<Item> items_;
};

} // namespace kx::ole
