// The property bag a form hands to an ActiveX control: the control's entries
// of the saved form, keys matched without regard to case, stored in lower case.
#pragma once
#include <ocidl.h>
#include <vector>

#include "ComObject.h"
#include "FormFile.h"

namespace kxhost {

class FormPropertyBag : public kx::ComObject<FormPropertyBag, IPropertyBag> {
public:
    explicit FormPropertyBag(std::vector<Property> entries = {}) : entries_(std::move(entries)) {}
    const std::vector<Property>& Entries() const { return entries_; }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

private:
    std::vector<Property> entries_;
};

// Conversions between a saved form's values and variants.
HRESULT ValueToVariant(const Value& v, VARIANT* out);
HRESULT VariantToValue(const VARIANT& v, Value* out);

} // namespace kxhost
