// The development environment's main window, found by its title: the
// window the version dialog is shown over.
#include "KestrixBas.h"

#include <optional>
#include <string_view>
#include <utility>

HWND g_DevEnvWnd = nullptr;

namespace {

constexpr std::string_view kDevEnvTitleMark = "- Microsoft Visual Basic [";

// The first failure reported during the running search, raised once the
// enumeration has ended.
std::optional<kx::AutomationError>* g_SearchFailure = nullptr;

void Report(const std::exception& e) {
    // Reported through the control; at run time the report raises, which
    // must not unwind through the system's enumeration.
    try {
        const kx::AutomationError err = kx::ErrorFromException(e);
        g_CallbackCtl.ErrMsg(err.number, err.description, 0);
    } catch (const kx::RaisedError& raised) {
        if (g_SearchFailure && !*g_SearchFailure) *g_SearchFailure = raised.error();
    } catch (...) {
    }
}

class SearchScope {
public:
    explicit SearchScope(std::optional<kx::AutomationError>& slot) : outer_(std::exchange(g_SearchFailure, &slot)) {}
    ~SearchScope() { g_SearchFailure = outer_; }
    SearchScope(const SearchScope&) = delete;
    SearchScope& operator=(const SearchScope&) = delete;

private:
    std::optional<kx::AutomationError>* outer_;
};

} // namespace

BOOL CALLBACK gFn_DevEnvEnumProc(HWND window, LPARAM) {
    try {
        if (g_DevEnvWnd) return TRUE;
        char title[256];
        const int n = GetWindowTextA(window, title, sizeof title);
        if (n <= 0) return TRUE;
        const std::string_view text(title, static_cast<size_t>(n));
        if (text.find(kDevEnvTitleMark) == std::string_view::npos) return TRUE;
        g_DevEnvWnd = window;
        return FALSE;
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
    }
    return FALSE;
}

HWND gFn_FindDevEnvWnd() {
    std::optional<kx::AutomationError> failure;
    {
        SearchScope scope(failure);
        g_DevEnvWnd = nullptr;
        EnumWindows(gFn_DevEnvEnumProc, 0);
    }
    if (failure) throw kx::RaisedError(*failure);
    return g_DevEnvWnd;
}
