#include "PageCore.h"
#include "Units.h"

#include <commctrl.h>
#include <prsht.h>

#include "Ansi.h"
#include "Bstr.h"
#include "ComTrap.h"
#include "ErrorTexts.h"

namespace kestrix::pages {

const forms::FontDesc kPageFont = {L"ＭＳ ゴシック", 1125, false};

namespace {

// Each page hooks a window under its own id: pages that share a window
// never replace each other's hook.
UINT_PTR HookId(const void* page) { return reinterpret_cast<UINT_PTR>(page); }

bool HasClass(HWND h, const char* name) {
    char cls[32] = {};
    return h && GetClassNameA(h, cls, sizeof cls) && lstrcmpiA(cls, name) == 0;
}

// The description of the error a COM method of ours has just set.
std::wstring LastErrorDescription(HRESULT hr) {
    kx::ComPtr<IErrorInfo> info;
    kx::Bstr text;
    if (GetErrorInfo(0, &info) == S_OK && info && SUCCEEDED(info->GetDescription(text.put())) && text.length())
        return text.str();
    return kx::ErrorFromStatus(hr).description;
}

} // namespace

PageCore::PageCore(const PageLayout& layout, HMODULE module) : layout_(layout), module_(module) {}

PageCore::~PageCore() {
    // A frame that lets go of the page without deactivating it: the
    // page's handlers are gone, so the window goes without them.
    Unhook();
    DestroyQuietly();
}

// ---- IPropertyPage ---------------------------------------------------------

HRESULT PageCore::SetPageSite(IPropertyPageSite* site) noexcept {
    site_ = site;
    return S_OK;
}

HRESULT PageCore::Activate(HWND parent, LPCRECT rect, BOOL) noexcept {
    return kx::ole::Trap(IID_IPropertyPage, [&]() -> HRESULT {
        if (hwnd()) return E_UNEXPECTED;
        if (!CreateChildForm(module_, parent) || !hwnd()) {
            const DWORD e = GetLastError();
            return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
        }
        if (rect) Move(rect);
        // The frame's own window of this page learns about Apply and the
        // flag (see the header).
        if (SetWindowSubclass(parent, FrameProc, HookId(this), reinterpret_cast<DWORD_PTR>(this))) parent_ = parent;
        if (!objects_.empty()) SelectionChanged();
        return S_OK;
    });
}

HRESULT PageCore::Deactivate() noexcept {
    Unhook();
    Destroy();
    return S_OK;
}

HRESULT PageCore::GetPageInfo(PROPPAGEINFO* info) noexcept {
    if (!info) return E_POINTER;
    const size_t bytes = (wcslen(layout_.caption) + 1) * sizeof(wchar_t);
    auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!title) return E_OUTOFMEMORY;
    memcpy(title, layout_.caption, bytes);
    info->cb = sizeof *info;
    info->pszTitle = title;
    info->size.cx = kx::TwipsToPixelsX(layout_.width);
    info->size.cy = kx::TwipsToPixelsY(layout_.height);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

HRESULT PageCore::SetObjects(ULONG count, IUnknown** objects) noexcept {
    return kx::ole::Trap(IID_IPropertyPage, [&]() -> HRESULT {
        if (count && !objects) return E_POINTER;
        std::vector<kx::ComPtr<IUnknown>> taken(objects, objects + count);
        objects_.swap(taken);
        // A new selection while the page is shown fills it again; the frame
        // letting go of its objects (none) changes nothing on the page.
        if (hwnd() && !objects_.empty()) SelectionChanged();
        return S_OK;
    });
}

HRESULT PageCore::Show(UINT cmd) noexcept {
    if (!hwnd()) return E_UNEXPECTED;
    ShowWindow(hwnd(), static_cast<int>(cmd));
    return S_OK;
}

HRESULT PageCore::Move(LPCRECT rect) noexcept {
    if (!rect) return E_POINTER;
    if (!hwnd()) return E_UNEXPECTED;
    MoveWindow(hwnd(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

HRESULT PageCore::IsPageDirty() noexcept { return dirty_ ? S_OK : S_FALSE; }

HRESULT PageCore::Apply() noexcept {
    return kx::ole::Trap(IID_IPropertyPage, [&]() -> HRESULT {
        // The rows and boxes that are applied live in the page's window.
        if (!hwnd() || objects_.empty()) return E_UNEXPECTED;
        ApplyChanges();
        // Applied: nothing is left unapplied. A failed apply keeps the flag.
        ClearChanged();
        return S_OK;
    });
}

HRESULT PageCore::TranslateAccelerator(MSG*) noexcept {
    // The frame's dialog navigation reaches our controls (DS_CONTROL).
    return S_FALSE;
}

// ---- for the handlers --------------------------------------------------------

kx::ComPtr<IDispatch> PageCore::Selected() const {
    kx::ComPtr<IDispatch> d;
    if (!objects_.empty() && objects_[0]) objects_[0]->QueryInterface(IID_PPV_ARGS(&d));
    if (!d) throw kx::RaisedError(kx::ErrorFromStatus(E_POINTER));
    return d;
}

void PageCore::MarkChanged() {
    dirty_ = true;
    Tell(PROPPAGESTATUS_DIRTY);
}

void PageCore::ClearChanged() {
    dirty_ = false;
    Tell(PROPPAGESTATUS_CLEAN);
}

void PageCore::Tell(DWORD status) {
    if (site_) site_->OnStatusChange(status);
    if (HWND sheet = Sheet())
        SendMessageA(sheet, status == PROPPAGESTATUS_DIRTY ? PSM_CHANGED : PSM_UNCHANGED,
                     reinterpret_cast<WPARAM>(parent_), 0);
}

HWND PageCore::Sheet() const {
    if (!parent_) return nullptr;
    HWND sheet = GetParent(parent_);
    if (!HasClass(sheet, "#32770") || !FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr)) return nullptr;
    return sheet;
}

void PageCore::Message(const std::wstring& text, UINT style) const {
    MessageBoxA(hwnd(), kx::ToAnsi(text).c_str(), kx::ToAnsi(kTitle).c_str(), style);
}

LONG PageCore::Rows(int list) const {
    const LRESULT n = SendMessageA(Item(list), LB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<LONG>(n) : 0;
}

bool PageCore::RowSelected(int list, LONG row) const { return SendMessageA(Item(list), LB_GETSEL, row, 0) > 0; }

void PageCore::AddRow(int list, const std::wstring& text) {
    const std::string ansi = kx::ToAnsi(text);
    const LRESULT at = SendMessageA(Item(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) throw kx::RaisedError(kx::ErrorFromStatus(E_OUTOFMEMORY));
}

std::wstring PageCore::RowText(int list, LONG row) const {
    const LRESULT n = SendMessageA(Item(list), LB_GETTEXTLEN, row, 0);
    if (n <= 0) return std::wstring();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(Item(list), LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return kx::FromAnsi(text);
}

LONG PageCore::CurrentRow(int list) const {
    if (Rows(list) == 0) return -1;
    return static_cast<LONG>(SendMessageA(Item(list), LB_GETCARETINDEX, 0, 0));
}

void PageCore::SetLabel(int id, const std::wstring& text) { forms::SetText(Item(id), text); }

// ---- the page's window -------------------------------------------------------------

BOOL PageCore::OnInit() {
    SetWindowPos(hwnd(), nullptr, 0, 0, kx::TwipsToPixelsX(layout_.width), kx::TwipsToPixelsY(layout_.height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    forms::CreateChildren(hwnd(), layout_.children, layout_.childCount, kPageFont, fonts_);
    if (layout_.keyedList) {
        SetWindowSubclass(Item(layout_.keyedList), ListKeysProc, HookId(this), reinterpret_cast<DWORD_PTR>(this));
    }
    // The frame decides where the focus goes.
    return FALSE;
}

bool PageCore::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) {
    if (msg != WM_COMMAND || !lp) return false;
    // The handlers trap nothing; what they raise is shown, as the
    // designer shows an error nobody handled.
    try {
        Command(LOWORD(wp), HIWORD(wp));
    } catch (const std::exception& e) {
        ReportError(kx::ErrorFromException(e));
    } catch (...) {
        // nothing else is thrown; nothing crosses the frame's dispatch
    }
    *result = 0;
    return true;
}

void PageCore::ReportError(const kx::AutomationError& e) const {
    try {
        Message(e.description, MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        // the box itself failed (no memory): there is nobody left to tell
    }
}

LRESULT CALLBACK PageCore::ListKeysProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    if (msg == WM_KEYDOWN || msg == WM_CHAR) {
        try {
            reinterpret_cast<PageCore*>(self)->MarkChanged();
        } catch (...) {
            // the key still reaches the list; only the Apply button stays as it was
        }
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, ListKeysProc, id);
    }
    return DefSubclassProc(h, msg, wp, lp);
}

LRESULT CALLBACK PageCore::FrameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    auto* page = reinterpret_cast<PageCore*>(self);
    if (msg == WM_NOTIFY && lp && reinterpret_cast<const NMHDR*>(lp)->code == static_cast<UINT>(PSN_APPLY))
        return page->ApplyForSheet();
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, FrameProc, id);
        page->parent_ = nullptr;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

LRESULT PageCore::ApplyForSheet() {
    // OK or Apply: only a page with unapplied changes writes them.
    if (!dirty_) return PSNRET_NOERROR;
    const HRESULT hr = Apply();
    if (SUCCEEDED(hr)) return PSNRET_NOERROR;
    // The control's error comes back to the frame: shown, and the frame
    // stays open on this page so the user can correct it or cancel.
    kx::AutomationError e;
    e.description = LastErrorDescription(hr);
    ReportError(e);
    return PSNRET_INVALID_NOCHANGEPAGE;
}

void PageCore::Unhook() {
    if (parent_) RemoveWindowSubclass(parent_, FrameProc, HookId(this));
    parent_ = nullptr;
}

} // namespace kestrix::pages
