#include "Form.h"
#include "WindowProc.h"
#include "Units.h"
#include "ActiveXControl.h"
#include "Ansi.h"
#include "ControlCollection.h"
#include "FormContainer.h"
#include "Intrinsic.h"
#include "Runtime.h"
#include "Text.h"
#include "FormProps.h"
#include <algorithm>

namespace kxhost {

namespace {

const char kFormClass[] = "KestrixForm";

ATOM RegisterFormClass() {
    static const ATOM atom = kx::RegisterObjectClass(kFormClass, Form::WndProc, COLOR_BTNFACE, CS_DBLCLKS);
    return atom;
}

std::unique_ptr<Control> MakeControl(Form& f, const ControlDesc& d) {
    const std::wstring kind = kx::UpperCase(d.kind);
    if (kind == L"LISTBOX") return std::make_unique<ListBox>(f, d);
    if (kind == L"COMMANDBUTTON") return std::make_unique<CommandButton>(f, d);
    if (kind == L"TEXTBOX") return std::make_unique<TextBox>(f, d);
    if (kind == L"CHECKBOX") return std::make_unique<CheckBox>(f, d);
    if (kind == L"LABEL") return std::make_unique<Label>(f, d);
    if (kind == L"CONTROL") return std::make_unique<ActiveXControl>(f, d);
    throw FormFileError(f.Source(), d.line, L"unknown control kind '" + d.kind + L"' for " + d.name);
}

} // namespace

Form::Form(Runtime& rt, const FormDesc& desc)
    : rt_(rt), desc_(desc), name_(desc.name), object_(kx::AutoObject::New()) {}

std::unique_ptr<Form> Form::Create(Runtime& rt, const FormDesc& desc) {
    std::unique_ptr<Form> f(new Form(rt, desc));
    f->DefineMembers();
    f->CreateWindowAndControls();
    rt.AddForm(f.get());
    // What controls reported while reading their saved properties is no change of the user's.
    f->SetDirty(false);
    return f;
}

Form::~Form() {
    // Controls end before the windows they may be watching.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) it->reset();
    controls_.clear();
    rt_.RemoveForm(this);
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_.get(), GWLP_USERDATA, 0);
        hwnd_.reset();
    }
    object_->Clear();
    if (container_) container_->Detach();
}

void Form::DefineMembers() {
    kx::AutoObject& o = *object_.Get();
    o.DefineString(L"Name", name_);
    o.Define(L"hwnd", [this](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) {
        return Return(r, Var::LongPtr(reinterpret_cast<LONG_PTR>(hwnd())));
    });
    o.Define(L"Caption", [this](WORD flags, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT {
        if (flags & DISPATCH_PROPERTYPUT) {
            SetWindowTextA(hwnd(), kx::ToAnsi(kx::ArgString(p, 0)).c_str());
            return S_OK;
        }
        char buf[1024] = {};
        GetWindowTextA(hwnd(), buf, sizeof buf);
        return Return(r, Var(kx::FromAnsi(buf)));
    });
    o.Define(L"Controls",
             [this](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) { return Return(r, Var(controlsCollection_.Get())); });
    o.Define(L"Show", [this](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
        Show();
        return S_OK;
    });
    o.Define(L"Hide", [this](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
        Hide();
        return S_OK;
    });
    o.Define(L"SetFocus", [this](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
        SetFocus(hwnd());
        return S_OK;
    });
    o.Define(L"Refresh", [this](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
        return S_OK;
    });
    controlsCollection_ = MakeControlCollection(*this);
    if (FAILED(FormContainer::Make(container_, this))) throw std::bad_alloc();
}

IOleContainer* Form::Container() const { return container_.Get(); }

void Form::CreateWindowAndControls() {
    RegisterFormClass();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT r{0, 0, kx::TwipsToPixelsX(PropLong(desc_.props, L"ClientWidth", 4800)),
           kx::TwipsToPixelsY(PropLong(desc_.props, L"ClientHeight", 3600))};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const Value* left = FindProp(desc_.props, L"Left");
    const Value* top = FindProp(desc_.props, L"Top");
    const int x = left ? kx::TwipsToPixelsX(PropLong(desc_.props, L"Left", 0)) : CW_USEDEFAULT;
    const int y = top ? kx::TwipsToPixelsY(PropLong(desc_.props, L"Top", 0)) : CW_USEDEFAULT;
    HWND h =
        CreateWindowExA(exStyle, kFormClass, kx::ToAnsi(PropString(desc_.props, L"Caption", name_)).c_str(), style, x,
                        y, r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (!h) throw kx::RaisedError(kx::ErrorFromStatus(HRESULT_FROM_WIN32(GetLastError())));
    hwnd_.reset(h);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(desc_.props)), FALSE);

    for (const ControlDesc& d : desc_.controls) controls_.push_back(MakeControl(*this, d));
    // Windows are made in tab order, which is the order Tab moves the focus in.
    std::vector<Control*> order;
    for (auto& c : controls_) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (Control* c : order) c->Create();
}

void Form::On(const std::wstring& source, const std::wstring& event, Handler h) {
    handlers_[{kx::UpperCase(source), kx::UpperCase(event)}] = std::move(h);
}

bool Form::Raise(const std::wstring& source, const std::wstring& event, EventArgs& args) {
    return RaiseUpper(kx::UpperCase(source), kx::UpperCase(event), args);
}

bool Form::RaiseUpper(const std::wstring& sourceUpper, const std::wstring& eventUpper, EventArgs& args) {
    const auto it = handlers_.find(std::pair<const std::wstring&, const std::wstring&>(sourceUpper, eventUpper));
    if (it == handlers_.end()) return false;
    const Handler h = it->second; // the handler may replace itself
    try {
        h(args);
    } catch (const kx::RaisedError& e) {
        rt_.ReportUnhandled(e.error());
    } catch (const std::exception& e) {
        rt_.ReportUnhandled(kx::ErrorFromException(e));
    }
    return true;
}

void Form::Load() {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EventArgs args(&none);
    Raise(name_, L"Load", args);
}

void Form::Show() {
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

void Form::Hide() { ShowWindow(hwnd(), SW_HIDE); }

bool Form::Unload() {
    if (!hwnd_ || unloading_) return !hwnd_;
    SHORT cancel = 0;
    VARIANTARG arg;
    V_VT(&arg) = VT_BYREF | VT_I2;
    V_I2REF(&arg) = &cancel;
    DISPPARAMS dp{&arg, nullptr, 1, 0};
    EventArgs args(&dp);
    Raise(name_, L"Unload", args);
    if (cancel) return false;
    unloading_ = true;
    // Controls end while every window they watch still exists.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) it->reset();
    controls_.clear();
    rt_.RemoveForm(this);
    SetWindowLongPtrA(hwnd_.get(), GWLP_USERDATA, 0);
    hwnd_.reset();
    return true;
}

ActiveXControl& Form::AddControl(const ControlDesc& desc, bool fresh) {
    // As in a saved form: only members of one array of ActiveX controls share a name.
    const std::wstring upper = kx::UpperCase(desc.name);
    for (const auto& c : controls_) {
        if (!c || kx::UpperCase(c->Name()) != upper) continue;
        if (!c->Index() || !desc.index || *c->Index() == *desc.index || !dynamic_cast<ActiveXControl*>(c.get()))
            throw FormFileError(Source(), desc.line, L"a control named " + desc.name + L" is already on the form");
    }
    auto c = std::make_unique<ActiveXControl>(*this, desc, fresh);
    ActiveXControl& ref = *c;
    controls_.push_back(std::move(c));
    try {
        ref.Create();
    } catch (...) {
        controls_.pop_back();
        throw;
    }
    return ref;
}

Control* Form::Find(const std::wstring& name, std::optional<LONG> index) const {
    const std::wstring upper = kx::UpperCase(name);
    for (const auto& c : controls_) {
        if (c && kx::UpperCase(c->Name()) == upper && (!index || c->Index() == index)) return c.get();
    }
    return nullptr;
}

kx::AutomationError Form::NotFound(const std::wstring& name) {
    kx::AutomationError e;
    e.number = 730;
    e.hr = kx::VbErrorStatus(730);
    e.description = L"コントロール '" + name + L"' が見つかりません。";
    return e;
}

Object Form::Ctl(const std::wstring& name, std::optional<LONG> index) const {
    Control* c = Find(name, index);
    if (!c) throw kx::RaisedError(NotFound(name));
    return Object(c->Dispatch());
}

HFONT Form::FontFor(const std::vector<Property>& props) const {
    const std::wstring face = PropString(props, L"FontName", PropString(desc_.props, L"FontName", L"ＭＳ Ｐゴシック"));
    const double size = PropDouble(props, L"FontSize", PropDouble(desc_.props, L"FontSize", 9.0));
    const bool bold = PropBool(props, L"FontBold", PropBool(desc_.props, L"FontBold", false));
    const LONG charset = PropLong(props, L"FontCharset", PropLong(desc_.props, L"FontCharset", SHIFTJIS_CHARSET));
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(size * kx::ScreenDpi(LOGPIXELSY) / 72.0 + 0.5);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = static_cast<BYTE>(charset);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    // One font per look: labels ask again at every paint, controls at every ambient read.
    for (const auto& known : fonts_) {
        const LOGFONTW& k = known.first;
        if (k.lfHeight == lf.lfHeight && k.lfWeight == lf.lfWeight && k.lfCharSet == lf.lfCharSet &&
            lstrcmpW(k.lfFaceName, lf.lfFaceName) == 0)
            return static_cast<HFONT>(known.second.get());
    }
    HFONT f = CreateFontIndirectW(&lf);
    if (f) fonts_.emplace_back(lf, kx::UniqueGdi(f));
    return f;
}

FormDesc Form::Describe() const {
    FormDesc d = desc_;
    d.controls.clear();
    for (const auto& c : controls_) d.controls.push_back(c->Describe());
    return d;
}

LRESULT CALLBACK Form::WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return kx::ObjectWindowMessage(h, m, w, l, &Form::Handle);
}

LRESULT Form::Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_COMMAND:
        if (l) {
            for (const auto& c : controls_) {
                if (c && c->hwnd() == reinterpret_cast<HWND>(l)) {
                    c->OnCommand(HIWORD(w));
                    break;
                }
            }
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        for (const auto& c : controls_) {
            if (c && !c->hwnd()) c->Paint(dc);
        }
        EndPaint(h, &ps);
        return 0;
    }
    case WM_CLOSE:
        // At design time no code of the form runs: closing only puts the form away.
        if (rt_.mode() == Mode::Design) Hide();
        else Unload();
        return 0;
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace kxhost
