#include "KestrixVerDlg.h"
#include "Units.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "Ansi.h"
#include "KestrixVersion.h"
#include "MakerInfo.h"
#include "VerDlgControls.h"
#include "VersionText.h"

namespace kestrix {

namespace {

using forms::Kind;

const forms::FontDesc kFormFont = {L"ＭＳ ゴシック", 1200, false};
const forms::FontDesc kProductFont = {L"ＭＳ Ｐ明朝", 4800, true};
const forms::FontDesc kVersionFont = {L"ＭＳ Ｐ明朝", 2400, false};
const forms::FontDesc kCaptionFont = {L"ＭＳ ゴシック", 1425, false};

const forms::ChildDesc kChildren[] = {
    {kVdProduct, Kind::Label, L"Kestrix", 120, 120, 3555, 930, 0, &kProductFont},
    {kVdVersion, Kind::Label, L"Ver " KX_VERSION_TEXT, 3840, 480, 1740, 495, 1, &kVersionFont},
    {kVdOk, Kind::Button, L"OK", 6000, 240, 1575, 615, 3, nullptr},
    {kVdAuthorCaption, Kind::Label, L"作成者", 120, 1200, 1095, 375, 2, &kCaptionFont},
    {kVdAuthor, Kind::TextBox, kMakerName, 1200, 1200, 6375, 375, 6, nullptr},
    {kVdHomeCaption, Kind::Label, L"Ｈ  Ｐ", 120, 1680, 1095, 255, 4, &kCaptionFont},
    {kVdHome, Kind::TextBox, kMakerHomePage, 1200, 1680, 6375, 375, 7, nullptr},
    {kVdMailCaption, Kind::Label, L"メール", 120, 2160, 1095, 255, 5, &kCaptionFont},
    {kVdMail, Kind::TextBox, kMakerMail, 1200, 2160, 6375, 375, 8, nullptr},
    {kVdVisit, Kind::Button, L"作者のホームページを見に行く", 1200, 2760, 6375, 615, 9, nullptr},
};

constexpr LONG kClientWidth = 7680; // twips
constexpr LONG kClientHeight = 3555;
constexpr COLORREF kBlue = RGB(0, 0, 255); // &H00FF0000 in VB's BGR order

// The version label is one line high: a text wider than the label (a
// substitute font's wider digits) would wrap its number onto a hidden
// second line. The label grows to its text, up to the OK button, and
// never wraps.
void FitOneLineLabel(HWND dialog, HWND label, HWND stop) {
    SetWindowLongA(label, GWL_STYLE, (GetWindowLongA(label, GWL_STYLE) & ~SS_TYPEMASK) | SS_LEFTNOWORDWRAP);
    const int n = GetWindowTextLengthA(label);
    std::string text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(label, &text[0], n + 1)));
    HDC dc = GetDC(label);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE need{};
    const BOOL measured = GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &need);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT r{}, limit{};
    GetWindowRect(label, &r);
    GetWindowRect(stop, &limit);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&limit), 2);
    if (!measured || need.cx <= r.right - r.left) return;
    const int width = std::min<int>(need.cx, limit.left - r.left);
    if (width > r.right - r.left)
        SetWindowPos(label, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Keeps the dialog out of the task bar: an owned window has no button
// there, and this owner is never shown.
kx::UniqueHwnd HiddenOwner(HMODULE module) {
    return kx::UniqueHwnd(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, nullptr));
}

} // namespace

void KestrixVerDlg::LoadUnshown() {
    if (CreatePopupForm(module_, nullptr)) Destroy();
}

void KestrixVerDlg::ShowModal() {
    const kx::UniqueHwnd owner = HiddenOwner(module_);
    showing_ = true;
    RunModal(module_, owner.get());
    showing_ = false;
}

void KestrixVerDlg::Focus() {
    if (hwnd()) SetFocus(hwnd());
}

BOOL KestrixVerDlg::OnInit() {
    forms::SetText(hwnd(), kVerDlgCaption);
    forms::CreateChildren(hwnd(), kChildren, std::size(kChildren), kFormFont, fonts_);
    RECT r{0, 0, kx::TwipsToPixelsX(kClientWidth), kx::TwipsToPixelsY(kClientHeight)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)));
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FormLoad();
    // Shown, the first tab stop (OK) takes the focus. Only loaded, the
    // dialog takes nothing: focusing a child would activate it.
    return showing_ ? TRUE : FALSE;
}

void KestrixVerDlg::FormLoad() {
    WORD major = 0, minor = 0;
    if (ModuleVersion(module_, &major, &minor)) forms::SetText(Item(kVdVersion), VersionCaption(major, minor));
    FitOneLineLabel(hwnd(), Item(kVdVersion), Item(kVdOk));
    RECT r{};
    GetWindowRect(hwnd(), &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Coming to the foreground waits for the dialog to be shown
    // (WM_SHOWWINDOW): a dialog loaded only to be unloaded again must not
    // take the activation from the program's own window.
}

void KestrixVerDlg::Command(int id, WORD code) {
    if (id == kVdOk && code == BN_CLICKED) {
        Close();
    } else if (id == IDCANCEL) {
        // Esc, and the close box: the form's KeyPress with 27.
        Close();
    } else if (id == kVdVisit && code == BN_CLICKED) {
        // Whatever happens here is ignored: a missing browser or a bad
        // address shows nothing.
        try {
            const std::string address = kx::ToAnsi(forms::GetText(Item(kVdHome)));
            ShellExecuteA(GetDesktopWindow(), "open", address.c_str(), nullptr, "", SW_SHOW);
        } catch (...) {
            // as above: the address opens nothing
        }
    } else if ((id == kVdAuthor || id == kVdHome || id == kVdMail) && code == EN_SETFOCUS) {
        // The whole text, ready to be copied.
        SendMessageA(Item(id), EM_SETSEL, 0, -1);
    }
}

bool KestrixVerDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) {
    switch (msg) {
    case WM_COMMAND:
        try {
            Command(LOWORD(wp), HIWORD(wp));
        } catch (...) {
            // a button that failed does nothing; nothing crosses the dialog's dispatch
        }
        *result = 0;
        return true;
    case WM_CHAR:
        if (wp != VK_ESCAPE) return false;
        Close();
        *result = 0;
        return true;
    case WM_SHOWWINDOW:
        if (wp) SetForegroundWindow(hwnd());
        return false;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        if (id != kVdProduct && id != kVdVersion) return false;
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, kBlue);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        *result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    default:
        return false;
    }
}

} // namespace kestrix
