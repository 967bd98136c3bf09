#include "ActivationContext.h"

namespace kx {

namespace {
HRESULT LastError() {
    const DWORD e = GetLastError();
    return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
}
} // namespace

ActivationContext::ActivationContext(const std::wstring& dllPath) {
    const std::wstring folder = dllPath.substr(0, dllPath.find_last_of(L"\\/"));
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_ASSEMBLY_DIRECTORY_VALID;
    request.lpSource = dllPath.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(2);
    request.lpAssemblyDirectory = folder.c_str();
    context_ = CreateActCtxW(&request);
    if (context_ == INVALID_HANDLE_VALUE) {
        status_ = LastError();
        return;
    }
    if (!ActivateActCtx(context_, &cookie_)) {
        status_ = LastError();
        return;
    }
    status_ = S_OK;
}

ActivationContext::~ActivationContext() {
    if (SUCCEEDED(status_)) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}

} // namespace kx
