// The sending end of the link between programs: every top-level window is
// searched for a direct child titled with the link name, which receives
// the text as its window text and a paint message.
#include "KestrixBas.h"
#include "Ansi.h"
#include "EnumReports.h"
#include "LateBound.h"

namespace {

// A receiver that does not answer is given up after this long, so that a
// hung program never hangs the sender.
constexpr UINT kDeliveryTimeoutMs = 5000;

// True when the receiver holds the data. A receiver whose handler is still
// running when the time is up has it (the paint waits in its queue and is
// handled in order), so only a receiver that never took the text is missed.
bool Deliver(HWND child, const std::string& data) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(data.c_str()), SMTO_ABORTIFHUNG,
                             kDeliveryTimeoutMs, &answer))
        return false;
    SetLastError(ERROR_SUCCESS);
    if (SendMessageTimeoutA(child, WM_PAINT, 0, 0, SMTO_ABORTIFHUNG, kDeliveryTimeoutMs, &answer)) return true;
    return GetLastError() == ERROR_TIMEOUT;
}

} // namespace

BOOL CALLBACK gFn_LinkEnumProc(HWND window, LPARAM param) {
    if (!param) return FALSE;
    try {
        LinkSendWork& work = *reinterpret_cast<LinkSendWork*>(param);
        if (window == work.skip) return TRUE;
        const HWND child = FindWindowExA(window, nullptr, nullptr, work.name.c_str());
        if (child && Deliver(child, work.data)) work.sent = true;
    } catch (const std::exception& ex) {
        EnumReports::Report(ex);
    } catch (...) {
        // Nothing else is thrown by what runs here; the next window is tried.
    }
    return TRUE;
}

bool gFn_LinkSendAll(const std::wstring& name, const std::wstring& data) {
    EngineState& e = gFn_Engine();
    LinkSendWork work;
    work.name = kx::ToAnsi(name);
    work.data = kx::ToAnsi(data);
    if (e.g_ParentForm) work.skip = reinterpret_cast<HWND>(gFn_CtlHwnd(e.g_ParentForm.Get()));
    EnumReports reports;
    // The enumeration carries its own work: a send inside another (a
    // receiver's handler may send in its turn while the outer send waits)
    // leaves the outer one's alone.
    reports.Run([&] { EnumWindows(gFn_LinkEnumProc, reinterpret_cast<LPARAM>(&work)); });
    reports.RaiseIfAny();
    return work.sent;
}
