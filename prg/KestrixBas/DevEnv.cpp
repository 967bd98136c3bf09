// The development environment's main window, found by its title: the
// window the version dialog is shown over.
#include "KestrixBas.h"
#include "EnumReports.h"

#include <string_view>
#include <utility>

namespace {

constexpr std::string_view kDevEnvTitleMark = "- Microsoft Visual Basic [";

} // namespace

BOOL CALLBACK gFn_DevEnvEnumProc(HWND window, LPARAM) {
    try {
        HWND& found = gFn_Engine().g_DevEnvWnd;
        if (found) return TRUE;
        char title[256];
        const int n = GetWindowTextA(window, title, sizeof title);
        if (n <= 0) return TRUE;
        const std::string_view text(title, static_cast<size_t>(n));
        if (text.find(kDevEnvTitleMark) == std::string_view::npos) return TRUE;
        found = window;
        return FALSE;
    } catch (const std::exception& e) {
        EnumReports::Report(e);
    } catch (...) {
        // Nothing else is thrown by what runs here; the search ends.
    }
    return FALSE;
}

HWND gFn_FindDevEnvWnd() {
    HWND& found = gFn_Engine().g_DevEnvWnd;
    EnumReports reports;
    found = nullptr;
    reports.Run([] { EnumWindows(gFn_DevEnvEnumProc, 0); });
    reports.RaiseIfAny();
    return found;
}
