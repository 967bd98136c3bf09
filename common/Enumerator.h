// The one COM enumerator: over a snapshot taken when it is made, so a walk
// is stable while the items come and go (connections, connection points,
// a form's controls). Traits give the stored type, how an item is handed
// out (with its own reference) and whether Next may go without a count.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <utility>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"
#include "ReturnIf.h"

namespace kx {

template <class IEnum, class Item, class Traits>
class Enumerator : public ComObject<Enumerator<IEnum, Item, Traits>, IEnum> {
public:
    using Stored = typename Traits::Stored;

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
        RETURN_HR_IF_NULL(E_POINTER, out);
        RETURN_HR_IF(E_INVALIDARG, count > 1 && !fetched && !Traits::kFetchedOptional);
        ULONG n = 0;
        while (n < count && pos_ < items_.size()) out[n++] = Traits::HandOut(items_[pos_++]);
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        const size_t left = items_.size() - pos_;
        pos_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        pos_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnum** out) override {
        RETURN_HR_IF_NULL(E_POINTER, out);
        *out = nullptr;
        try {
            ComPtr<Enumerator> copy;
            RETURN_IF_FAILED(Enumerator::Make(copy, items_, pos_));
            *out = copy.Detach();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

private:
    friend class ComObject<Enumerator<IEnum, Item, Traits>, IEnum>;
    Enumerator(std::vector<Stored> items, size_t pos) : items_(std::move(items)), pos_(pos) {}

    std::vector<Stored> items_;
    size_t pos_;
};

} // namespace kx
