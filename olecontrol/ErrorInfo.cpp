#include "ErrorInfo.h"
#include "ReturnIf.h"

#include "Bstr.h"
#include "ComPtr.h"

namespace kx::ole {

namespace {
HRESULT SetError(const IID& iid, const std::wstring& description, const std::wstring& helpFile, DWORD helpContext) {
    ComPtr<ICreateErrorInfo> create;
    RETURN_IF_FAILED(CreateErrorInfo(&create));
    create->SetGUID(iid);
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    if (!helpFile.empty()) create->SetHelpFile(const_cast<LPOLESTR>(helpFile.c_str()));
    create->SetHelpContext(helpContext);
    ComPtr<IErrorInfo> info;
    RETURN_IF_FAILED(create.As(&info));
    return SetErrorInfo(0, info.Get());
}
} // namespace

HRESULT RaiseError(const IID& iid, LONG number, const std::wstring& description, const std::wstring& helpFile,
                   DWORD helpContext) {
    SetError(iid, description, helpFile, helpContext);
    return VbErrorStatus(number);
}

HRESULT RaiseError(const IID& iid, const AutomationError& error) {
    const HRESULT status = (error.number > 0 && error.number <= 0xFFFF) ? VbErrorStatus(error.number)
        : FAILED(error.hr)                                              ? error.hr
                                                                        : E_FAIL;
    SetError(iid, error.description, error.helpFile, error.helpContext);
    return status;
}

void ClearErrorInfo() { SetErrorInfo(0, nullptr); }

} // namespace kx::ole
