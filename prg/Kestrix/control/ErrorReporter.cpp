// The error reporter: a message box at design time, a raised error at run time.
#include "Kestrix.h"
#include "Bstr.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"

namespace kestrix {

namespace {

// The Help button of an error message opens its topic.
void CALLBACK HelpButton(LPHELPINFO info) {
    WinHelpW(nullptr, kHelpFile, HELP_CONTEXT, static_cast<ULONG_PTR>(info ? info->dwContextId : kHelpContext));
}

} // namespace

void Kestrix::ErrMsg(LONG number, const std::wstring& text, LONG helpContext) {
    // Below 10000 a caught failure is handed on with its own description.
    const bool own = number >= 10000;
    const std::wstring helpFile = own ? kHelpFile : L"";
    const LONG context = own ? kHelpContext : helpContext;
    if (gFn_Engine().g_UserMode) {
        kx::AutomationError e;
        e.number = number;
        e.hr = kx::VbErrorStatus(number);
        e.description = text;
        e.helpFile = helpFile;
        e.helpContext = static_cast<DWORD>(context);
        throw kx::RaisedError(e);
    }
    MSGBOXPARAMSW box{};
    box.cbSize = sizeof box;
    box.hwndOwner = GetActiveWindow();
    box.lpszText = text.c_str();
    box.lpszCaption = kTitle;
    box.dwStyle = kMessageStyle;
    box.dwContextHelpId = static_cast<DWORD_PTR>(context);
    box.lpfnMsgBoxCallback = HelpButton;
    MessageBoxIndirectW(&box);
}

STDMETHODIMP Kestrix::gFn_ErrMsg(LONG* ml_ErrNo, BSTR* ms_Description, LONG* ml_HelpContext, VARIANT_BOOL* result) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!ml_ErrNo || !ms_Description || !ml_HelpContext || !result) return E_POINTER;
        *result = VARIANT_FALSE;
        const LONG number = *ml_ErrNo;
        if (number >= 10000) *ml_HelpContext = kHelpContext; // the caller's variable learns the topic used
        const std::wstring text = kx::FromBstr(*ms_Description);
        ErrMsg(number, text, *ml_HelpContext);
        return S_OK;
    });
}

} // namespace kestrix
