// Small look-ups shared by the engine, the control and its pages.
#include "KestrixBas.h"
#include "Ansi.h"
#include "LateBound.h"
#include "ModulePath.h"
#include "Text.h"
#include "Variant.h"
#include <algorithm>

IDispatch* gFn_TargetCtl(const EngineState& e, HWND h) noexcept {
    const size_t n = std::min(e.g_Ctls.size(), e.g_CtlHwnds.size());
    for (size_t i = 0; i < n; ++i) {
        if (e.g_CtlHwnds[i] == h) return e.g_Ctls[i].Get();
    }
    return e.g_CallbackCtl.Get();
}

kx::ComPtr<IDispatch> gFn_TargetCtl(HWND h) noexcept {
    const EngineState* const e = gFn_EngineIfAny();
    return kx::ComPtr<IDispatch>(e ? gFn_TargetCtl(*e, h) : nullptr);
}

LONG gFn_Split(const std::wstring& text, wchar_t delimiter, std::vector<std::wstring>& pieces) {
    try {
        pieces.assign(1, std::wstring());
        if (text.empty()) return 0;
        size_t start = 0;
        LONG i = 0;
        for (;;) {
            const size_t found = text.find(delimiter, start);
            const size_t end = found == std::wstring::npos ? text.size() : found;
            if (pieces.size() < static_cast<size_t>(i) + 1) pieces.resize(static_cast<size_t>(i) + 1);
            pieces[static_cast<size_t>(i)] = text.substr(start, end - start);
            ++i;
            if (found == std::wstring::npos) break;
            start = found + 1;
        }
        return i - 1;
    } catch (const std::exception& e) {
        // Reported like any trapped failure; at run time the report raises.
        const kx::AutomationError err = kx::ErrorFromException(e);
        gFn_Engine().g_CallbackCtl.ErrMsg(err.number, err.description, 0);
        return 0;
    }
}

LONG_PTR gFn_CtlHwnd(IDispatch* ctl) noexcept {
    try {
        kx::Variant v;
        LONG_PTR h = 0;
        if (FAILED(kx::GetProperty(ctl, L"hwnd", v.get())) || !v.toLongPtr(h)) return 0;
        return h;
    } catch (...) {
        return 0; // no window: the module procedure's neutral value
    }
}

bool gFn_FileExists(const std::wstring& path) noexcept {
    const DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return false;
    // Only the classic attribute bits count: a plain directory is no file,
    // one that is also read-only, hidden, system or archive counts as one.
    constexpr DWORD kClassic = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
    return (attrs & kClassic) != FILE_ATTRIBUTE_DIRECTORY;
}

bool gFn_IsDevEnvPath(const std::wstring& exePath) {
    const std::wstring upper = kx::UpperCase(exePath);
    const std::wstring tail = upper.size() > 8 ? upper.substr(upper.size() - 8) : upper;
    for (const wchar_t* host : {L"VB32.EXE", L"\\VB5.EXE", L"\\VB6.EXE", L"\\VB7.EXE", L"5CCE.EXE"}) {
        if (tail == host) return true;
    }
    return false;
}

bool gFn_IsStandAlone() { return !gFn_IsDevEnvPath(kx::ModulePath(nullptr)); }
