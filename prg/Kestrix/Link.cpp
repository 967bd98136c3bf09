// The control's ends of the link between programs: LinkSend, and the
// receiver's paint that raises LinkReceive.
#include "Kestrix.h"
#include "Ansi.h"
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

STDMETHODIMP Kestrix::LinkSend(BSTR* LinkName, BSTR* LinkData, VARIANT_BOOL* result) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!LinkName || !LinkData || !result) return E_POINTER;
        *result = VARIANT_FALSE;
        std::wstring name = *LinkName ? std::wstring(*LinkName, SysStringLen(*LinkName)) : std::wstring();
        const std::wstring before = name;
        const std::wstring data = *LinkData ? std::wstring(*LinkData, SysStringLen(*LinkData)) : std::wstring();
        bool sent = false;
        try {
            sent = SendLink(name, data);
        } catch (...) {
            if (name != before) {
                SysFreeString(*LinkName);
                *LinkName = SysAllocString(name.c_str());
            }
            throw;
        }
        if (name != before) {
            // The caller's variable holds the name that was used.
            SysFreeString(*LinkName);
            *LinkName = SysAllocString(name.c_str());
        }
        *result = sent ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

void Kestrix::ReceiveLink() {
    HWND own = Hwnd();
    if (!own) return;
    // The whole text, however long it is.
    const int length = GetWindowTextLengthA(own);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    const int got = GetWindowTextA(own, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    if (!text.empty()) {
        const std::wstring data = kx::FromAnsi(text);
        BSTR arg = SysAllocStringLen(data.data(), static_cast<UINT>(data.size()));
        VARIANTARG v;
        V_VT(&v) = VT_BYREF | VT_BSTR;
        V_BSTRREF(&v) = &arg;
        FireEvent(kEventLinkReceive, &v, 1);
        SysFreeString(arg);
    }
    SetWindowTextA(own, kx::ToAnsi(g_LinkName).c_str());
}

STDMETHODIMP Kestrix::ShowAboutDlg() {
    // The version dialog is not part of this build yet.
    return E_NOTIMPL;
}

} // namespace kestrix
