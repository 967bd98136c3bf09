// The error reporter: a message box at design time, a raised error at run time.
#include "Kestrix.h"
#include "Bstr.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "ModuleInfo.h"
#include "ModulePath.h"

namespace kestrix {

namespace {

// The help file's place: beside the library.
std::wstring HelpFilePath() {
    std::wstring path = kx::ModulePath(kx::ole::ModuleOf(reinterpret_cast<const void*>(&HelpFilePath)));
    path.erase(path.find_last_of(L'\\') + 1);
    return path + kHelpChm;
}

// hhctrl.ocx from the system folder, loaded for the first help request
// only; it stays, since the help window it opens outlasts the request.
HMODULE g_HtmlHelp = nullptr;

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0; // HH_DISPLAY_TOPIC

HtmlHelpFn HtmlHelp() {
    if (!g_HtmlHelp) {
        wchar_t dir[MAX_PATH];
        const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return nullptr;
        g_HtmlHelp = LoadLibraryW((std::wstring(dir, n) + L"\\hhctrl.ocx").c_str());
    }
    return g_HtmlHelp ? reinterpret_cast<HtmlHelpFn>(GetProcAddress(g_HtmlHelp, "HtmlHelpW")) : nullptr;
}

// The Help button of an error message opens the errors topic of the help
// file beside the library (WinHelp files no longer open anywhere); the
// error itself keeps naming the help file and topic programs compare. When
// the file is missing, a box says where it should be; when the viewer shows
// no window for it (no HTML engine), a box names the topic it could not open.
void CALLBACK HelpButton(LPHELPINFO info) {
    // The viewer outlives the box: it belongs to the box's owner, not to the box.
    const HWND box = info ? GetAncestor(static_cast<HWND>(info->hItemHandle), GA_ROOT) : nullptr;
    const HWND owner = box ? GetWindow(box, GW_OWNER) : nullptr;
    const std::wstring chm = HelpFilePath();
    if (!gFn_FileExists(chm)) {
        MessageBoxW(owner, (kMsgHelpMissing + chm).c_str(), kTitle, MB_ICONINFORMATION);
        return;
    }
    const std::wstring topic = chm + kHelpTopic;
    const HtmlHelpFn open = HtmlHelp();
    const HWND viewer = open ? open(owner, topic.c_str(), kDisplayTopic, 0) : nullptr;
    if (viewer && IsWindow(viewer)) return;
    MessageBoxW(owner, (kMsgHelpNotOpened + topic).c_str(), kTitle, MB_ICONINFORMATION);
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
