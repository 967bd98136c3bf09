// The sending end of the link between programs: every top-level window is
// searched for a direct child titled with the link name, which receives
// the text as its window text and a paint message.
#include "KestrixBas.h"
#include "Ansi.h"
#include "LateBound.h"
#include <optional>

std::wstring g_LinkSendName;
std::wstring g_LinkSendData;
bool g_LinkSent = false;
namespace {

// The first failure reported during an enumeration, raised once it ends.
std::optional<kx::AutomationError> g_LinkFailure;

// A receiver that does not answer is given up after this long, so that a
// hung program never hangs the sender.
constexpr UINT kDeliveryTimeoutMs = 5000;

bool Deliver(HWND child, const std::string& data) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(data.c_str()), SMTO_ABORTIFHUNG,
                             kDeliveryTimeoutMs, &answer))
        return false;
    return SendMessageTimeoutA(child, WM_PAINT, 0, 0, SMTO_ABORTIFHUNG, kDeliveryTimeoutMs, &answer) != 0;
}

} // namespace

BOOL CALLBACK gFn_LinkEnumProc(HWND window, LPARAM) {
    try {
        if (g_ParentForm && window == reinterpret_cast<HWND>(static_cast<LONG_PTR>(gFn_CtlHwnd(g_ParentForm.Get()))))
            return TRUE;
        const HWND child = FindWindowExA(window, nullptr, nullptr, kx::ToAnsi(g_LinkSendName).c_str());
        if (child && Deliver(child, kx::ToAnsi(g_LinkSendData))) g_LinkSent = true;
    } catch (const std::exception& e) {
        // Reported through the control, but never unwound through the
        // system's enumeration: a raised report waits for the caller.
        try {
            const kx::AutomationError err = kx::ErrorFromException(e);
            g_CallbackCtl.ErrMsg(err.number, err.description, 0);
        } catch (const kx::RaisedError& raised) {
            if (!g_LinkFailure) g_LinkFailure = raised.error();
        } catch (...) {
        }
    }
    return TRUE;
}

bool gFn_LinkSendAll(const std::wstring& name, const std::wstring& data) {
    g_LinkSendName = name;
    g_LinkSendData = data;
    g_LinkSent = false;
    g_LinkFailure.reset();
    LONG unused = 0;
    EnumWindows(gFn_LinkEnumProc, reinterpret_cast<LPARAM>(&unused));
    if (g_LinkFailure) {
        const kx::AutomationError err = *g_LinkFailure;
        g_LinkFailure.reset();
        throw kx::RaisedError(err);
    }
    return g_LinkSent;
}
