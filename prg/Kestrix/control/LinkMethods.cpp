// The control's ends of the link between programs: LinkSend, and the
// receiver's paint that raises LinkReceive.
#include "Kestrix.h"
#include "Ansi.h"
#include "Bstr.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "Text.h"

namespace kestrix {

namespace {
constexpr DISPID kEventLinkReceive = 2;
constexpr wchar_t kDefaultLinkName[] = L"Kestrix";
}

bool Kestrix::SendLink(std::wstring& name, const std::wstring& data) {
    if (kx::TrimBlanks(name).empty()) name = kDefaultLinkName;
    if (kx::TrimBlanks(data).empty()) {
        ErrMsg(kErrLinkDataRequired, kMsgLinkDataRequired, 0);
        return false;
    }
    return gFn_LinkSendAll(name, data);
}

namespace {

// The caller's link-name variable learns the name that was used, also when
// the send then fails (blank data, a failure during the enumeration).
class NameWriteBack {
public:
    NameWriteBack(BSTR* slot, const std::wstring& name) : slot_(slot), name_(name), before_(name) {}
    ~NameWriteBack() {
        if (name_ == before_) return;
        if (BSTR copy = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()))) {
            SysFreeString(*slot_);
            *slot_ = copy;
        }
    }
    NameWriteBack(const NameWriteBack&) = delete;
    NameWriteBack& operator=(const NameWriteBack&) = delete;

private:
    BSTR* slot_;
    const std::wstring& name_;
    const std::wstring before_;
};

std::wstring FromBstr(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

} // namespace

STDMETHODIMP Kestrix::LinkSend(BSTR* LinkName, BSTR* LinkData, VARIANT_BOOL* result) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!LinkName || !LinkData || !result) return E_POINTER;
        *result = VARIANT_FALSE;
        std::wstring name = FromBstr(*LinkName);
        const std::wstring data = FromBstr(*LinkData);
        bool sent = false;
        {
            NameWriteBack writeBack(LinkName, name);
            sent = SendLink(name, data);
        }
        *result = sent ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

namespace {

// Puts the link name back as the window text when a delivery has been
// handled, whatever happened while it was.
class LinkNameBack {
public:
    explicit LinkNameBack(HWND own) : own_(own) {}
    ~LinkNameBack() {
        try {
            SetWindowTextA(own_, kx::ToAnsi(g_LinkName).c_str());
        } catch (...) {
        }
    }
    LinkNameBack(const LinkNameBack&) = delete;
    LinkNameBack& operator=(const LinkNameBack&) = delete;

private:
    HWND own_;
};

} // namespace

void Kestrix::ReceiveLink() {
    HWND own = Hwnd();
    if (!own) return;
    LinkNameBack back(own);
    // The whole text, however long it is: a sender's data is not cut at 255 bytes.
    const int length = GetWindowTextLengthA(own);
    if (length <= 0) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(own, &text[0], length + 1);
    if (got <= 0) return;
    text.resize(static_cast<size_t>(got));
    const std::wstring data = kx::FromAnsi(text);
    // A handler may put another string in the argument: the owner frees
    // whatever is left in it.
    kx::Bstr arg;
    BSTR* slot = arg.put();
    *slot = SysAllocStringLen(data.data(), static_cast<UINT>(data.size()));
    if (!*slot) return;
    VARIANTARG v;
    V_VT(&v) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&v) = slot;
    FireEvent(kEventLinkReceive, &v, 1);
}

} // namespace kestrix
