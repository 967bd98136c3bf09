// The stand-in control of the bench: the four members the engine calls by
// name (DoGetEvents, FileDropMode, gFn_ErrMsg, Name), answered through a
// minimal IDispatch. DoGetEvents does nothing but count, so a watched
// message costs what the engine's call-back path costs and no more.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>

#include "ComObject.h"
#include "ComPtr.h"

namespace kxbench {

class BenchControl : public kx::ComObject<BenchControl, IDispatch> {
public:
    static kx::ComPtr<BenchControl> New(const std::wstring& name);

    long events = 0; // DoGetEvents calls
    long errors = 0; // gFn_ErrMsg calls: each one means a broken run
    std::wstring lastError; // the text of the last one

    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* ei,
                        UINT* argErr) override;

private:
    friend class kx::ComObject<BenchControl, IDispatch>;
    explicit BenchControl(std::wstring name) : name_(std::move(name)) {}

    std::wstring name_;
};

} // namespace kxbench
