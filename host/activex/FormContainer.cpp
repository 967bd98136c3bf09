#include "FormContainer.h"
#include "ReturnIf.h"
#include "ActiveXControl.h"
#include "Form.h"
#include <vector>

namespace kxhost {

namespace {

// A walk over a snapshot of the controls, so it is stable while controls come and go.
class UnknownEnum : public kx::ComObject<UnknownEnum, IEnumUnknown> {
public:
    UnknownEnum(std::vector<kx::ComPtr<IUnknown>> items, ULONG pos) : items_(std::move(items)), pos_(pos) {}

    STDMETHODIMP Next(ULONG n, IUnknown** out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        if (n > 1 && !fetched) return E_INVALIDARG;
        ULONG got = 0;
        for (; got < n && pos_ < items_.size(); ++got, ++pos_) {
            out[got] = items_[pos_].Get();
            out[got]->AddRef();
        }
        if (fetched) *fetched = got;
        return got == n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        const size_t left = items_.size() - pos_;
        pos_ += static_cast<ULONG>(n < left ? n : left);
        return n <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumUnknown** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        try {
            kx::ComPtr<UnknownEnum> copy;
            RETURN_IF_FAILED(Make(copy, items_, pos_));
            *out = copy.Detach();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

private:
    std::vector<kx::ComPtr<IUnknown>> items_;
    ULONG pos_;
};

} // namespace

STDMETHODIMP FormContainer::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG* eaten, IMoniker** out) {
    if (eaten) *eaten = 0;
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FormContainer::EnumObjects(DWORD flags, IEnumUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        std::vector<kx::ComPtr<IUnknown>> items;
        // The form holds embedded objects only: its ActiveX controls.
        if (form_ && (flags & OLECONTF_EMBEDDINGS)) {
            for (const auto& c : form_->Controls()) {
                auto* x = dynamic_cast<ActiveXControl*>(c.get());
                kx::ComPtr<IUnknown> unknown;
                if (x && x->OleObject() && SUCCEEDED(x->OleObject()->QueryInterface(IID_PPV_ARGS(&unknown))))
                    items.push_back(std::move(unknown));
            }
        }
        kx::ComPtr<UnknownEnum> e;
        RETURN_IF_FAILED(UnknownEnum::Make(e, std::move(items), 0u));
        *out = e.Detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace kxhost
