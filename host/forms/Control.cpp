#include "Control.h"
#include "Units.h"
#include "Form.h"
#include "FormProps.h"
#include "Text.h"
#include "Var.h"

namespace kxhost {

Control::Control(Form& parent, const ControlDesc& desc)
    : desc_(desc), object_(kx::AutoObject::New()), parent_(parent), name_(desc.name),
      upperName_(kx::UpperCase(desc.name)), index_(desc.index) {
    tabIndex_ = PropLong(desc.props, L"TabIndex", 0);
    twips_ = {PropLong(desc.props, L"Left", 0), PropLong(desc.props, L"Top", 0), 0, 0};
    twips_.right = twips_.left + PropLong(desc.props, L"Width", 1215);
    twips_.bottom = twips_.top + PropLong(desc.props, L"Height", 495);

    kx::AutoObject& o = *object_.Get();
    o.DefineString(L"Name", name_);
    if (index_) o.DefineLong(L"Index", *index_);
    o.Define(L"Parent",
             [this](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) { return Return(r, Var(parent_.Dispatch())); });
    o.DefineLong(L"TabIndex", tabIndex_);
    auto coord = [this](LONG RECT::*a, LONG RECT::*b, bool size) {
        return [this, a, b, size](WORD flags, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT {
            RECT t = twips_;
            if (flags & DISPATCH_PROPERTYPUT) {
                const LONG v = kx::ArgLong(p, 0);
                if (size) {
                    t.*b = t.*a + v;
                } else {
                    const LONG extent = t.*b - t.*a;
                    t.*a = v;
                    t.*b = v + extent;
                }
                Move(t.left, t.top, t.right - t.left, t.bottom - t.top);
                return S_OK;
            }
            return Return(r, Var(size ? t.*b - t.*a : t.*a));
        };
    };
    o.Define(L"Left", coord(&RECT::left, &RECT::right, false));
    o.Define(L"Top", coord(&RECT::top, &RECT::bottom, false));
    o.Define(L"Width", coord(&RECT::left, &RECT::right, true));
    o.Define(L"Height", coord(&RECT::top, &RECT::bottom, true));
}

Control::~Control() {
    // Whoever still holds the automation object finds nothing behind it.
    object_->Clear();
}

void Control::Move(LONG left, LONG top, LONG width, LONG height) {
    twips_ = {left, top, left + width, top + height};
    if (HWND h = hwnd()) {
        MoveWindow(h, kx::TwipsToPixelsX(left), kx::TwipsToPixelsY(top), kx::TwipsToPixelsX(width),
                   kx::TwipsToPixelsY(height), TRUE);
    } else if (parent_.hwnd()) {
        InvalidateRect(parent_.hwnd(), nullptr, TRUE);
    }
}

void Control::Raise(const wchar_t* event) {
    VARIANTARG arg;
    if (index_) {
        V_VT(&arg) = VT_I2;
        V_I2(&arg) = static_cast<SHORT>(*index_);
    }
    DISPPARAMS dp{index_ ? &arg : nullptr, nullptr, index_ ? 1u : 0u, 0};
    EventArgs args(&dp);
    parent_.Raise(name_, event, args);
}

ControlDesc Control::Describe() const {
    ControlDesc d = desc_;
    SetProp(d.props, L"Left", twips_.left);
    SetProp(d.props, L"Top", twips_.top);
    SetProp(d.props, L"Width", twips_.right - twips_.left);
    SetProp(d.props, L"Height", twips_.bottom - twips_.top);
    return d;
}

} // namespace kxhost
