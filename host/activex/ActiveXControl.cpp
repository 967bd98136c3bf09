#include "ActiveXControl.h"
#include "Units.h"
#include "ControlSite.h"
#include "EventSink.h"
#include "Form.h"
#include "FormPropertyBag.h"
#include "Runtime.h"
#include "FormProps.h"
#include "Var.h"

namespace kxhost {

namespace {

[[noreturn]] void Fail(const Form& f, const ControlDesc& d, const std::wstring& what, HRESULT hr) {
    wchar_t code[16];
    wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr));
    throw FormFileError(f.Source(), d.line, what + L" (" + code + L")");
}

} // namespace

ActiveXControl::ActiveXControl(Form& parent, const ControlDesc& desc, bool fresh)
    : Control(parent, desc), fresh_(fresh) {
    const HRESULT hr = desc.progId.size() && desc.progId[0] == L'{' ? CLSIDFromString(desc.progId.c_str(), &clsid_)
                                                                    : CLSIDFromProgID(desc.progId.c_str(), &clsid_);
    if (FAILED(hr))
        Fail(parent, desc, L"control class '" + desc.progId + L"' of " + desc.name + L" is not registered", hr);
    DefineExtenderMembers();
}

ActiveXControl::~ActiveXControl() { Teardown(); }

void ActiveXControl::DefineExtenderMembers() {
    // Name, Index, Parent, Left, Top, Width, Height and TabIndex come from
    // Control; the rest of the extender's own members are these, and every
    // other name goes to the control itself.
    kx::AutoObject& o = Automation();
    o.Define(L"hwnd", [this](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) {
        return Return(r, Var::LongPtr(reinterpret_cast<LONG_PTR>(hwnd())));
    });
    o.Define(L"Object", [this](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) { return Return(r, Var(dispatch_.Get())); });
    o.Define(L"Visible", [this](WORD flags, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT {
        HWND h = hwnd();
        if (flags & DISPATCH_PROPERTYPUT) {
            if (h) ShowWindow(h, kx::ArgLong(p, 0) ? SW_SHOW : SW_HIDE);
            return S_OK;
        }
        return Return(r, Var(h && IsWindowVisible(h)));
    });
}

void ActiveXControl::Create() {
    Form& f = Parent();
    HRESULT hr = CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&ole_));
    if (FAILED(hr)) Fail(f, desc_, L"cannot create control " + Name() + L" of class '" + desc_.progId + L"'", hr);
    ole_.As(&dispatch_);
    Automation().SetFallback(dispatch_.Get());
    hr = ControlSite::Make(site_, this);
    if (FAILED(hr)) Fail(f, desc_, L"out of memory", hr);

    DWORD misc = 0;
    ole_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) ole_->SetClientSite(site_.Get());

    // Connected before the control starts: a newly placed control tells the
    // designer of the defaults it sets.
    kx::ComPtr<IConnectionPointContainer> cpc;
    if (SUCCEEDED(ole_.As(&cpc))) {
        kx::ComPtr<IConnectionPoint> cp;
        if (SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, &cp)))
            cp->Advise(static_cast<IPropertyNotifySink*>(site_.Get()), &notifyCookie_);
    }

    // A control loaded from a saved form reads its properties; a newly placed one starts fresh.
    kx::ComPtr<IPersistPropertyBag> ppb;
    kx::ComPtr<IPersistStreamInit> psi;
    if (SUCCEEDED(ole_.As(&ppb))) {
        if (fresh_) {
            hr = ppb->InitNew();
        } else {
            kx::ComPtr<FormPropertyBag> bag;
            hr = FormPropertyBag::Make(bag, desc_.bag);
            if (SUCCEEDED(hr)) hr = ppb->Load(bag.Get(), nullptr);
        }
    } else if (SUCCEEDED(ole_.As(&psi))) {
        hr = psi->InitNew();
    }
    if (FAILED(hr)) Fail(f, desc_, L"control " + Name() + L" could not read its properties", hr);
    if (!siteFirst) ole_->SetClientSite(site_.Get());

    ApplyExtent();

    if (SUCCEEDED(EventSink::Make(sink_, this)) && FAILED(sink_->Connect(ole_.Get()))) sink_.Reset();

    RECT pos = PixelRect();
    hr = ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, f.hwnd(), &pos);
    if (FAILED(hr)) Fail(f, desc_, L"control " + Name() + L" could not be activated", hr);
}

void ActiveXControl::ApplyExtent() {
    if (!ole_) return;
    SIZEL want{kx::TwipsToHimetric(twips_.right - twips_.left), kx::TwipsToHimetric(twips_.bottom - twips_.top)};
    if (const Value* x = FindProp(desc_.props, L"ExtentX"))
        want.cx = PropLong(desc_.props, L"ExtentX", want.cx), (void)x;
    if (const Value* y = FindProp(desc_.props, L"ExtentY"))
        want.cy = PropLong(desc_.props, L"ExtentY", want.cy), (void)y;
    ole_->SetExtent(DVASPECT_CONTENT, &want);
    SyncExtent();
}

void ActiveXControl::SyncExtent() {
    if (!ole_) return;
    // The control may insist on a size of its own.
    SIZEL got{};
    if (SUCCEEDED(ole_->GetExtent(DVASPECT_CONTENT, &got))) {
        twips_.right = twips_.left + kx::HimetricToTwips(got.cx);
        twips_.bottom = twips_.top + kx::HimetricToTwips(got.cy);
    }
    kx::ComPtr<IOleInPlaceObject> ipo;
    if (SUCCEEDED(ole_.As(&ipo)) && Parent().hwnd()) {
        RECT pos = PixelRect(), clip;
        GetClientRect(Parent().hwnd(), &clip);
        ipo->SetObjectRects(&pos, &clip);
    }
}

RECT ActiveXControl::PixelRect() const {
    return {kx::TwipsToPixelsX(twips_.left), kx::TwipsToPixelsY(twips_.top), kx::TwipsToPixelsX(twips_.right),
            kx::TwipsToPixelsY(twips_.bottom)};
}

void ActiveXControl::OnPosRectChange(const RECT& px) {
    const Form& f = Parent();
    twips_ = {kx::PixelsToTwipsX(px.left), kx::PixelsToTwipsY(px.top), kx::PixelsToTwipsX(px.right),
              kx::PixelsToTwipsY(px.bottom)};
    kx::ComPtr<IOleInPlaceObject> ipo;
    if (ole_ && SUCCEEDED(ole_.As(&ipo))) {
        RECT clip;
        GetClientRect(f.hwnd(), &clip);
        ipo->SetObjectRects(&px, &clip);
    }
}

void ActiveXControl::Move(LONG left, LONG top, LONG width, LONG height) {
    twips_ = {left, top, left + width, top + height};
    SetProp(desc_.props, L"ExtentX", kx::TwipsToHimetric(width));
    SetProp(desc_.props, L"ExtentY", kx::TwipsToHimetric(height));
    ApplyExtent();
}

HWND ActiveXControl::hwnd() const {
    kx::ComPtr<IOleWindow> w;
    HWND h = nullptr;
    if (ole_ && SUCCEEDED(ole_.As(&w))) w->GetWindow(&h);
    return h;
}

void ActiveXControl::OnChanged(DISPID id) {
    changes_.push_back(id);
    Parent().SetDirty();
}

ControlDesc ActiveXControl::Describe() const {
    ControlDesc d = Control::Describe();
    SIZEL ext{};
    if (ole_ && SUCCEEDED(ole_->GetExtent(DVASPECT_CONTENT, &ext))) {
        SetProp(d.props, L"ExtentX", ext.cx);
        SetProp(d.props, L"ExtentY", ext.cy);
    }
    // Values equal to their defaults may stay out (saveAll = FALSE). A
    // control that cannot save must not leave its old bag in the saved form
    // as though it had.
    kx::ComPtr<IPersistPropertyBag> ppb;
    if (ole_ && SUCCEEDED(ole_.As(&ppb))) {
        kx::ComPtr<FormPropertyBag> bag;
        HRESULT hr = FormPropertyBag::Make(bag);
        if (SUCCEEDED(hr)) hr = ppb->Save(bag.Get(), TRUE, FALSE);
        if (FAILED(hr)) Fail(Parent(), desc_, L"control " + Name() + L" could not save its properties", hr);
        d.bag = bag->Entries();
    }
    return d;
}

void ActiveXControl::Teardown() noexcept {
    if (sink_) {
        sink_->Disconnect();
        sink_.Reset();
    }
    if (ole_ && notifyCookie_) {
        kx::ComPtr<IConnectionPointContainer> cpc;
        kx::ComPtr<IConnectionPoint> cp;
        if (SUCCEEDED(ole_.As(&cpc)) && SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, &cp)))
            cp->Unadvise(notifyCookie_);
        notifyCookie_ = 0;
    }
    if (ole_) {
        ole_->Close(OLECLOSE_NOSAVE);
        ole_->SetClientSite(nullptr);
    }
    if (site_) site_->Detach();
    Automation().Clear();
    dispatch_.Reset();
    ole_.Reset();
    site_.Reset();
}

} // namespace kxhost
