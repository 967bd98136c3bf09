// The control's ends of the link between programs: LinkSend, and the
// receiver's paint that raises LinkReceive.
#include "Kestrix.h"
#include "Defaults.h"
#include "Ansi.h"
#include "Bstr.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "ScopeExit.h"
#include "Text.h"

namespace kestrix {

namespace {
constexpr DISPID kEventLinkReceive = 2;
} // namespace

bool Kestrix::SendLink(std::wstring& name, const std::wstring& data) {
    if (kx::TrimBlanks(name).empty()) name = kDefaultLinkName;
    if (kx::TrimBlanks(data).empty()) {
        ErrMsg(kErrLinkDataRequired, kMsgLinkDataRequired, 0);
        return false;
    }
    return gFn_LinkSendAll(name, data);
}

STDMETHODIMP Kestrix::LinkSend(BSTR* LinkName, BSTR* LinkData, VARIANT_BOOL* result) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!LinkName || !LinkData || !result) return E_POINTER;
        *result = VARIANT_FALSE;
        std::wstring name = kx::FromBstr(*LinkName);
        const std::wstring data = kx::FromBstr(*LinkData);
        bool sent = false;
        {
            // The caller's link-name variable learns the name that was used,
            // also when the send then fails (blank data, a failure during the
            // enumeration).
            kx::ScopeExit writeBack([&, before = name] {
                if (name == before) return;
                if (BSTR copy = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()))) {
                    SysFreeString(*LinkName);
                    *LinkName = copy;
                }
            });
            sent = SendLink(name, data);
        }
        *result = sent ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

void Kestrix::ReceiveLink() {
    HWND own = Hwnd();
    if (!own) return;
    // The link name goes back as the window text once the delivery has been
    // handled, whatever happened while it was.
    kx::ScopeExit back([own] {
        try {
            SetWindowTextA(own, kx::ToAnsi(gFn_Engine().g_LinkName).c_str());
        } catch (const std::bad_alloc&) {
            // no memory for the text: the window keeps what it has
        }
    });
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
