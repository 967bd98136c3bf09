#include "Intrinsic.h"
#include "Units.h"
#include "Ansi.h"
#include "Form.h"
#include "FormProps.h"
#include "Var.h"

namespace kxhost {

namespace {

// A property with a getter and a setter, for the automation object. What
// either raises is left to the object's own trap, which hands the caller
// the error whole (number, description, help).
template <class G, class S>
kx::MemberFn GetLet(G get, S set) {
    return [get, set](WORD flags, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT {
        if (flags & DISPATCH_PROPERTYPUT) {
            if (!p || p->cArgs < 1) return DISP_E_BADPARAMCOUNT;
            set(Var::Copy(p->rgvarg[0]));
            return S_OK;
        }
        return Return(r, get());
    };
}

template <class F>
kx::MemberFn Method(F f) {
    return [f](WORD, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT { return Return(r, f(p)); };
}

void DefineCaption(kx::AutoObject& o, const wchar_t* name, WindowedControl* c) {
    o.Define(name, GetLet([c] { return Var(c->WindowText()); }, [c](const Var& v) { c->PutWindowText(v.AsString()); }));
}

} // namespace

// ---- WindowedControl ------------------------------------------------------

WindowedControl::WindowedControl(Form& parent, const ControlDesc& desc, const char* cls, DWORD style)
    : Control(parent, desc), class_(cls), style_(style) {
    Automation().Define(L"hwnd",
                        GetLet([this] { return Var::LongPtr(reinterpret_cast<LONG_PTR>(hwnd_)); },
                               [](const Var&) { throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_MEMBERNOTFOUND)); }));
    Automation().Define(L"SetFocus", Method([this](DISPPARAMS*) {
                            SetFocus();
                            return Var();
                        }));
    Automation().Define(L"Enabled",
                        GetLet([this] { return Var(IsWindowEnabled(hwnd_) != FALSE); },
                               [this](const Var& v) { EnableWindow(hwnd_, v.AsBool()); }));
    Automation().Define(L"Visible",
                        GetLet([this] { return Var(IsWindowVisible(hwnd_) != FALSE); },
                               [this](const Var& v) { ShowWindow(hwnd_, v.AsBool() ? SW_SHOW : SW_HIDE); }));
}

WindowedControl::~WindowedControl() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void WindowedControl::Create() {
    Form& f = Parent();
    DWORD style = WS_CHILD | style_;
    if (PropBool(desc_.props, L"Visible", true)) style |= WS_VISIBLE;
    if (!PropBool(desc_.props, L"Enabled", true)) style |= WS_DISABLED;
    const std::string text = kx::ToAnsi(PropString(desc_.props, L"Caption", PropString(desc_.props, L"Text", L"")));
    hwnd_ =
        CreateWindowExA(0, class_, text.c_str(), style, kx::TwipsToPixelsX(twips_.left), kx::TwipsToPixelsY(twips_.top),
                        kx::TwipsToPixelsX(twips_.right - twips_.left), kx::TwipsToPixelsY(twips_.bottom - twips_.top),
                        f.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) throw kx::RaisedError(kx::ErrorFromStatus(HRESULT_FROM_WIN32(GetLastError())));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(f.FontFor(desc_.props)), FALSE);
    AfterCreate();
}

void WindowedControl::SetFocus() { ::SetFocus(hwnd_); }

std::wstring WindowedControl::WindowText() const {
    const int n = GetWindowTextLengthA(hwnd_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(hwnd_, &s[0], n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return kx::FromAnsi(s);
}

void WindowedControl::PutWindowText(const std::wstring& text) { ::SetWindowTextA(hwnd_, kx::ToAnsi(text).c_str()); }

// ---- ListBox ----------------------------------------------------------------

namespace {
DWORD ListStyle(const ControlDesc& d) {
    DWORD s = WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
    if (PropBool(d.props, L"Sorted", false)) s |= LBS_SORT;
    switch (PropLong(d.props, L"MultiSelect", 0)) {
    case 1:
        s |= LBS_MULTIPLESEL;
        break;
    case 2:
        s |= LBS_EXTENDEDSEL;
        break;
    default:
        break;
    }
    return s;
}
} // namespace

ListBox::ListBox(Form& parent, const ControlDesc& desc) : WindowedControl(parent, desc, "LISTBOX", ListStyle(desc)) {
    multi_ = PropLong(desc.props, L"MultiSelect", 0) != 0;
    kx::AutoObject& o = Automation();
    o.Define(L"AddItem", Method([this](DISPPARAMS* p) {
                 if (!p || p->cArgs < 1) throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_BADPARAMCOUNT));
                 const std::wstring item = kx::ArgString(p, 0);
                 if (p->cArgs >= 2) {
                     newIndex_ = static_cast<LONG>(SendMessageA(hwnd_, LB_INSERTSTRING, kx::ArgLong(p, 1),
                                                                reinterpret_cast<LPARAM>(kx::ToAnsi(item).c_str())));
                 } else {
                     AddItem(item);
                 }
                 return Var();
             }));
    o.Define(L"RemoveItem", Method([this](DISPPARAMS* p) {
                 RemoveItem(kx::ArgLong(p, 0));
                 return Var();
             }));
    o.Define(L"Clear", Method([this](DISPPARAMS*) {
                 Clear();
                 return Var();
             }));
    o.Define(L"ListCount", GetLet([this] { return Var(ListCount()); }, [](const Var&) {}));
    o.Define(L"NewIndex", GetLet([this] { return Var(newIndex_); }, [](const Var&) {}));
    o.Define(L"ListIndex",
             GetLet([this] { return Var(ListIndex()); }, [this](const Var& v) { SetListIndex(v.AsLong()); }));
    o.Define(L"List", Method([this](DISPPARAMS* p) { return Var(List(kx::ArgLong(p, 0))); }));
    o.Define(L"Text",
             GetLet([this] { return Var(ListIndex() >= 0 ? List(ListIndex()) : std::wstring()); }, [](const Var&) {}));
    o.Define(L"Selected", [this](WORD flags, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT {
        if (!p || p->cArgs < 1) return DISP_E_BADPARAMCOUNT;
        if (flags & DISPATCH_PROPERTYPUT) {
            // The new value comes first in rgvarg (the named argument), the index after it.
            if (p->cArgs < 2) return DISP_E_BADPARAMCOUNT;
            const bool on = Var::Copy(p->rgvarg[0]).AsBool();
            const LONG at = Var::Copy(p->rgvarg[1]).AsLong();
            if (multi_) SendMessageA(hwnd_, LB_SETSEL, on, at);
            else SendMessageA(hwnd_, LB_SETCURSEL, on ? at : -1, 0);
            return S_OK;
        }
        const LONG at = kx::ArgLong(p, 0);
        return Return(r, Var(SendMessageA(hwnd_, LB_GETSEL, at, 0) > 0));
    });
}

void ListBox::AddItem(const std::wstring& item) {
    newIndex_ =
        static_cast<LONG>(SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kx::ToAnsi(item).c_str())));
}

void ListBox::RemoveItem(LONG index) { SendMessageA(hwnd_, LB_DELETESTRING, index, 0); }
void ListBox::Clear() { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }
LONG ListBox::ListCount() const { return static_cast<LONG>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

LONG ListBox::ListIndex() const {
    if (multi_) return static_cast<LONG>(SendMessageA(hwnd_, LB_GETCARETINDEX, 0, 0));
    return static_cast<LONG>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
}

void ListBox::SetListIndex(LONG index) {
    if (multi_) {
        SendMessageA(hwnd_, LB_SETCARETINDEX, index, FALSE);
        SendMessageA(hwnd_, LB_SETSEL, TRUE, index);
    } else {
        SendMessageA(hwnd_, LB_SETCURSEL, index, 0);
    }
    // VB raises Click when the program changes the selection too.
    Raise(L"Click");
}

std::wstring ListBox::List(LONG index) const {
    const LRESULT n = SendMessageA(hwnd_, LB_GETTEXTLEN, index, 0);
    if (n == LB_ERR) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&s[0]));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return kx::FromAnsi(s);
}

void ListBox::OnCommand(WORD code) {
    if (code == LBN_SELCHANGE) Raise(L"Click");
    else if (code == LBN_DBLCLK) Raise(L"DblClick");
}


// ---- CommandButton ----------------------------------------------------------

CommandButton::CommandButton(Form& parent, const ControlDesc& desc)
    : WindowedControl(parent, desc, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP) {
    DefineCaption(Automation(), L"Caption", this);
}

void CommandButton::Click() { SendMessageA(hwnd_, BM_CLICK, 0, 0); }

void CommandButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) Raise(L"Click");
}

// ---- TextBox ------------------------------------------------------------------

namespace {
DWORD EditStyle(const ControlDesc& d) {
    DWORD s = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    if (PropBool(d.props, L"MultiLine", false)) s |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    return s;
}
} // namespace

TextBox::TextBox(Form& parent, const ControlDesc& desc) : WindowedControl(parent, desc, "EDIT", EditStyle(desc)) {
    DefineCaption(Automation(), L"Text", this);
}

void TextBox::OnCommand(WORD code) {
    if (code == EN_CHANGE) Raise(L"Change");
}

// ---- CheckBox ------------------------------------------------------------------

CheckBox::CheckBox(Form& parent, const ControlDesc& desc)
    : WindowedControl(parent, desc, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP) {
    DefineCaption(Automation(), L"Caption", this);
    Automation().Define(L"Value",
                        GetLet([this] { return Var(Value()); }, [this](const Var& v) { SetValue(v.AsLong()); }));
}

void CheckBox::AfterCreate() { SetValue(PropLong(desc_.props, L"Value", 0)); }

LONG CheckBox::Value() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

void CheckBox::SetValue(LONG v) {
    const LONG before = Value();
    SendMessageA(hwnd_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (before != Value()) Raise(L"Click"); // VB raises Click for a change made by code
}

void CheckBox::OnCommand(WORD code) {
    if (code == BN_CLICKED) Raise(L"Click");
}

// ---- Label ------------------------------------------------------------------------

Label::Label(Form& parent, const ControlDesc& desc) : Control(parent, desc) {
    caption_ = PropString(desc.props, L"Caption", L"");
    Automation().Define(L"Caption",
                        GetLet([this] { return Var(caption_); }, [this](const Var& v) { SetCaption(v.AsString()); }));
}

void Label::SetCaption(const std::wstring& c) {
    caption_ = c;
    if (Parent().hwnd()) InvalidateRect(Parent().hwnd(), nullptr, TRUE);
}

void Label::Paint(HDC dc) {
    if (!PropBool(desc_.props, L"Visible", true)) return;
    Form& f = Parent();
    RECT r{kx::TwipsToPixelsX(twips_.left), kx::TwipsToPixelsY(twips_.top), kx::TwipsToPixelsX(twips_.right),
           kx::TwipsToPixelsY(twips_.bottom)};
    HGDIOBJ old = SelectObject(dc, f.FontFor(desc_.props));
    SetBkMode(dc, TRANSPARENT);
    UINT align = DT_LEFT;
    switch (PropLong(desc_.props, L"Alignment", 0)) {
    case 1:
        align = DT_RIGHT;
        break;
    case 2:
        align = DT_CENTER;
        break;
    default:
        break;
    }
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, align | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
}

} // namespace kxhost
