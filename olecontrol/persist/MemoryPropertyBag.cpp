#include "MemoryPropertyBag.h"

#include "ComTrap.h"
#include "ReturnIf.h"
#include "Text.h"
#include "VariantStream.h"

namespace kx::ole {

namespace {
constexpr DWORD kMagic = 0x4250584B; // "KXPB"
constexpr DWORD kVersion = 1;
constexpr DWORD kMaxCount = 0x100000;
} // namespace

const MemoryPropertyBag::Item* MemoryPropertyBag::Find(const wchar_t* name) const {
    const std::wstring key = UpperCase(name);
    for (const Item& item : items_) {
        if (item.key == key) return &item;
    }
    return nullptr;
}

bool MemoryPropertyBag::Has(const wchar_t* name) const { return name && Find(name); }

HRESULT MemoryPropertyBag::Get(const wchar_t* name, VARIANT* value) const {
    RETURN_HR_IF_NULL(E_POINTER, name);
    RETURN_HR_IF_NULL(E_POINTER, value);
    const Item* item = Find(name);
    RETURN_HR_IF_NULL(E_INVALIDARG, item);
    return VariantCopy(value, const_cast<VARIANT*>(&item->value));
}

HRESULT MemoryPropertyBag::Set(const wchar_t* name, const VARIANT& value) {
    RETURN_HR_IF_NULL(E_POINTER, name);
    Item fresh;
    RETURN_IF_FAILED(VariantCopyInd(&fresh.value, const_cast<VARIANT*>(&value)));
    if (auto existing = const_cast<Item*>(Find(name))) {
        std::swap(existing->value, fresh.value); // the old value leaves with fresh
        return S_OK;
    }
    fresh.name = name;
    fresh.key = UpperCase(name);
    items_.push_back(std::move(fresh));
    return S_OK;
}

bool MemoryPropertyBag::Remove(const wchar_t* name) {
    const Item* item = name ? Find(name) : nullptr;
    if (!item) return false;
    items_.erase(items_.begin() + (item - items_.data()));
    return true;
}

void MemoryPropertyBag::Clear() { items_.clear(); }

STDMETHODIMP MemoryPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    return Trap(IID_IPropertyBag, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, name);
        RETURN_HR_IF_NULL(E_POINTER, value);
        const VARTYPE wanted = V_VT(value);
        const Item* item = Find(name);
        RETURN_HR_IF_NULL(E_INVALIDARG, item);
        // On entry only the type is meaningful: nothing to clear.
        VariantInit(value);
        if (wanted == VT_EMPTY || wanted == V_VT(&item->value)) {
            return VariantCopy(value, const_cast<VARIANT*>(&item->value));
        }
        return VariantChangeType(value, const_cast<VARIANT*>(&item->value), 0, wanted);
    });
}

STDMETHODIMP MemoryPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    return Trap(IID_IPropertyBag, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, value);
        return Set(name, *value);
    });
}

HRESULT MemoryPropertyBag::Save(IStream* s) const {
    RETURN_HR_IF_NULL(E_POINTER, s);
    const DWORD header[3] = {kMagic, kVersion, static_cast<DWORD>(items_.size())};
    RETURN_IF_FAILED(WriteBytes(s, header, sizeof header));
    for (const Item& item : items_) {
        RETURN_IF_FAILED(WriteText(s, item.name.c_str(), static_cast<UINT>(item.name.size())));
        RETURN_IF_FAILED(WriteVariant(s, item.value));
    }
    return S_OK;
}

HRESULT MemoryPropertyBag::LoadFrom(IStream* s) {
    RETURN_HR_IF_NULL(E_POINTER, s);
    items_.clear();
    DWORD header[3] = {};
    RETURN_IF_FAILED(ReadBytes(s, header, sizeof header));
    RETURN_HR_IF(STG_E_INVALIDHEADER, header[0] != kMagic || header[1] != kVersion || header[2] > kMaxCount);
    std::vector<Item> loaded;
    loaded.reserve(header[2]);
    for (DWORD i = 0; i < header[2]; ++i) {
        Item item;
        RETURN_IF_FAILED(ReadText(s, &item.name));
        RETURN_IF_FAILED(ReadVariant(s, &item.value));
        item.key = UpperCase(item.name);
        loaded.push_back(std::move(item));
    }
    items_ = std::move(loaded);
    return S_OK;
}

} // namespace kx::ole
