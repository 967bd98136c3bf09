// The sending end of the link between programs: every top-level window is
// searched for a direct child titled with the link name, which receives
// the text as its window text and a paint message.
#include "KestrixBas.h"
#include "Ansi.h"
#include "LateBound.h"
#include <optional>
#include <utility>

std::wstring g_LinkSendName;
std::wstring g_LinkSendData;
bool g_LinkSent = false;

namespace {

// What one LinkSend works with besides the three variables above: the texts
// as they cross the platform and the window to skip, worked out once per
// send instead of once per top-level window.
struct SendWork {
    std::string name;
    std::string data;
    HWND skip = nullptr;
    // The first failure reported during the enumeration, raised once it ends.
    std::optional<kx::AutomationError> failure;
};
SendWork* g_Work = nullptr;

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

void Report(const std::exception& e) {
    // Reported through the control, but never unwound through the
    // system's enumeration: a raised report waits for the caller.
    try {
        const kx::AutomationError err = kx::ErrorFromException(e);
        g_CallbackCtl.ErrMsg(err.number, err.description, 0);
    } catch (const kx::RaisedError& raised) {
        if (g_Work && !g_Work->failure) g_Work->failure = raised.error();
    } catch (...) {
    }
}

} // namespace

BOOL CALLBACK gFn_LinkEnumProc(HWND window, LPARAM) {
    if (!g_Work) return FALSE;
    try {
        if (window == g_Work->skip) return TRUE;
        const HWND child = FindWindowExA(window, nullptr, nullptr, g_Work->name.c_str());
        if (child && Deliver(child, g_Work->data)) g_LinkSent = true;
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
    }
    return TRUE;
}

namespace {

// Installs one send's state and, for a send inside another (a receiver's
// handler may send in its turn while the outer send waits for it, in its
// own program or through a message sent back to this thread), puts the
// outer send's state back when the inner one ends.
class SendScope {
public:
    SendScope(SendWork& work, const std::wstring& name, const std::wstring& data)
        : outerWork_(std::exchange(g_Work, &work)),
          outerName_(std::exchange(g_LinkSendName, name)),
          outerData_(std::exchange(g_LinkSendData, data)),
          outerSent_(std::exchange(g_LinkSent, false)) {}
    ~SendScope() {
        g_Work = outerWork_;
        if (!outerWork_) return;
        g_LinkSendName.swap(outerName_);
        g_LinkSendData.swap(outerData_);
        g_LinkSent = outerSent_;
    }
    SendScope(const SendScope&) = delete;
    SendScope& operator=(const SendScope&) = delete;

private:
    SendWork* outerWork_;
    std::wstring outerName_;
    std::wstring outerData_;
    bool outerSent_;
};

} // namespace

bool gFn_LinkSendAll(const std::wstring& name, const std::wstring& data) {
    SendWork work;
    bool sent = false;
    {
        SendScope scope(work, name, data);
        work.name = kx::ToAnsi(name);
        work.data = kx::ToAnsi(data);
        if (g_ParentForm) work.skip = reinterpret_cast<HWND>(static_cast<LONG_PTR>(gFn_CtlHwnd(g_ParentForm.Get())));
        LONG unused = 0;
        EnumWindows(gFn_LinkEnumProc, reinterpret_cast<LPARAM>(&unused));
        sent = g_LinkSent;
    }
    if (work.failure) throw kx::RaisedError(*work.failure);
    return sent;
}
